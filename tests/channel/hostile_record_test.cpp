// Hostile records for the real section handlers: an engine that sends every
// field of every section filled with junk (dates like 20071399 or
// 00000000, times like 2500, numbers beyond 32 bits, 50 KB texts, broken
// recurrence texts, unknown categories, ids that are not ids), then deletes
// and exports. Each command is answered with a result, the handlers never
// take the process down, and every section still exports what it holds.
//
// Everything runs in this process, as in the leak test: the master, the
// slave's loop, and a user-interface thread running the hand-over every
// 10 ms, with the real dispatch and handlers over the Palm Desktop stand-in.
#include "channel/command_master.h"
#include "channel/command_slave.h"
#include "channel/section_dispatch.h"
#include "channel_test_support.h"
#include "record/repeat.h"
#include "sections/field_keys.h"
#include "sections/section_factory.h"
#include "standin/standin_desktop.h"
#include "stress_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <thread>

namespace {

constexpr int recordsPerSection = 60;

std::string junkText(std::mt19937& random, std::size_t most)
{
    std::string text(random() % (most + 1), ' ');
    for (char& byte : text) {
        byte = static_cast<char>(1 + random() % 255);
        if (byte == '\xB5' || byte == '\xBA' || byte == '\xB6' || byte == '\xA3')
            byte = '#';
    }
    return text;
}

std::string junkRepeat(std::mt19937& random)
{
    Repeat rule;
    const char* dates[] = {"", "20071399", "00000000", "99991231", "-1", "2007", "20080229", "abc"};
    rule.setStartDate(dates[random() % 8]);
    rule.setEndDate(dates[random() % 8]);
    rule.setFrequency(static_cast<long>(static_cast<int>(random())));
    rule.setRepeatType(static_cast<int>(random() % 20) - 2);
    rule.setNumDaysToRepeat(static_cast<int>(random() % 20) - 5);
    int pattern[Repeat::dayPatternSize];
    for (int& flag : pattern)
        flag = static_cast<int>(random() % 3) - 1;
    rule.setDayPattern(pattern);
    rule.setDayOfWeek(static_cast<int>(random() % 12) - 2);
    rule.setWeekOfMonth(static_cast<int>(random() % 9) - 2);
    rule.setDayOfMonth(static_cast<int>(random() % 40) - 4);
    rule.setMonth(static_cast<int>(random() % 16) - 2);
    std::vector<std::string> exclusions(random() % 4);
    for (std::string& date : exclusions)
        date = dates[random() % 8];
    rule.setExclusionDates(exclusions);
    const std::string text = rule.save();
    return random() % 4 ? text : text.substr(0, random() % (text.size() + 1));
}

/// One junk value for any key.
std::string junkValue(std::mt19937& random)
{
    static const char* const values[] = {
        "", "0", "1", "-1", "2", "99999999999999999999", "-2147483648", "2147483647", "20071399", "20070230",
        "00000000", "99991231", "01000101", "0001", "2", "20080229", "2359", "2500", "0060", "-130", "abc",
        "7x", " 12", "Business", "Personal", "no such category"};
    switch (random() % 6) {
    case 0: return junkText(random, 300);
    case 1: return random() % 10 ? junkText(random, 40) : std::string(50000, 'x');
    default: return values[random() % std::size(values)];
    }
}

template <std::size_t N>
Record junkRecord(std::mt19937& random, const std::array<const char*, N>& keys, bool withRepeat,
                  const std::vector<std::string>& ids)
{
    Record record;
    for (const char* key : keys)
        if (random() % 5)
            record.putField(key, junkValue(random));
    if (withRepeat && random() % 2)
        record.putField(fieldkey::Repeat, junkRepeat(random));
    const unsigned pick = random() % 4;
    record.putField(fieldkey::RecordId, pick == 0 && !ids.empty() ? ids[random() % ids.size()]
                                        : pick == 1                 ? junkText(random, 50)
                                                                    : "");
    return record;
}

bool isResult(ResponseCode result)
{
    return result == ResponseOk || result == ResponseFailed || result == ResponseNoMoreRecords;
}

class HostileRecords : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (auto name : {L"Business", L"Personal"}) {
            desk.contacts().addCategory(name);
            desk.memos().addCategory(name);
            desk.todos().addCategory(name);
            desk.calendar().addCategory(name);
        }
        sharedApplication() = desk.application();
    }
    void TearDown() override
    {
        sectionDispatch().reset();
        sharedApplication().reset();
    }

    /// Sends `recordsPerSection` junk records into `section`, deletes some
    /// of what they became, then exports; every answer must be a result.
    template <std::size_t N>
    void attack(Section section, const std::array<const char*, N>& keys, bool withRepeat)
    {
        SCOPED_TRACE("section " + std::to_string(section));
        std::vector<std::string> ids;
        EXPECT_TRUE(isResult(master.beginImport(section)));
        for (int i = 0; i < recordsPerSection; ++i) {
            std::string id;
            const ResponseCode result = master.sendRecord(junkRecord(random, keys, withRepeat, ids), id);
            EXPECT_TRUE(isResult(result)) << "record " << i << " answered " << result;
            failed += result == ResponseFailed;
            ++sent;
            if (!id.empty())
                ids.push_back(id);
        }
        for (int i = 0; i < 5 && !ids.empty(); ++i)
            EXPECT_TRUE(isResult(master.deleteRecord(random() % 2 ? ids[random() % ids.size()] : junkText(random, 40))));
        EXPECT_TRUE(isResult(master.endImport()));
        std::vector<std::string> names;
        EXPECT_EQ(master.readCategoryList(section, names), ResponseOk);
        EXPECT_TRUE(isResult(master.writeCategoryList({junkText(random, 30), "", std::string(300, 'c')})));

        EXPECT_EQ(master.beginExport(section), ResponseOk);
        int count = -1;
        EXPECT_EQ(master.getRecordCount(count), ResponseOk);
        int exported = 0;
        ResponseCode result = ResponseOk;
        for (Record record; (result = master.getNextRecord(record)) == ResponseOk;)
            ++exported;
        EXPECT_EQ(result, ResponseNoMoreRecords);
        EXPECT_EQ(exported, count);
        EXPECT_EQ(master.endExport(), ResponseOk);
        std::printf("[figures] section %d: %d junk records sent, %d refused, %d items exported after\n", section,
                    recordsPerSection, failed, exported);
        failed = 0;
    }

    const std::string suffix = isolateChannel();
    standin::StandinDesktop desk;
    CommandMaster master;
    std::mt19937 random{2007};
    int sent = 0;
    int failed = 0;
};

TEST_F(HostileRecords, EverySectionAnswersJunkRecordsAndStillExports)
{
    CommandSlave slave;
    std::thread worker([&] { slave.loop(); });
    {
        UserInterfaceThread userInterface(10);
        attack(SectionContact, fieldkey::contact::all, false);
        attack(SectionMemo, fieldkey::memo::all, false);
        attack(SectionTodo, fieldkey::todo::all, true);
        attack(SectionCalendar, fieldkey::calendar::all, true);
        for (const Section section : {SectionContact, SectionMemo, SectionTodo, SectionCalendar}) {
            EXPECT_EQ(master.beginImport(section), ResponseOk);
            EXPECT_TRUE(isResult(master.deleteAll()));
        }
        slave.SetStopFlag();
        worker.join();
    }
}

}  // namespace
