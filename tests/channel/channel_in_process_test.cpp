// The whole channel in one process: master, slave loop on a worker thread and
// a user-interface thread whose timer runs the hand-over every 10 ms, with the
// real section handlers over the Palm Desktop stand-in.
#include "channel/command_master.h"
#include "channel/command_slave.h"
#include "channel/section_dispatch.h"
#include "channel_test_support.h"
#include "contact_records.h"
#include "record/repeat.h"
#include "sections/field_keys.h"
#include "sections/section_factory.h"
#include "standin/standin_desktop.h"
#include "stress_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>
#include <memory>
#include <thread>

namespace {

constexpr int contactCount = 30;

class InProcessChannel : public ::testing::Test {
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
        worker = std::thread([this] { slave.loop(); });
        userInterface = std::make_unique<UserInterfaceThread>(10);
    }
    void TearDown() override
    {
        slave.SetStopFlag();
        worker.join();
        userInterface.reset();
        sectionDispatch().reset();
        sharedApplication().reset();
    }

    /// Exports every contact; false when an operation failed.
    bool exportAll(std::vector<Record>& records)
    {
        records.clear();
        bool ok = master.beginExport(SectionContact) == ResponseOk;
        ResponseCode result = ResponseOk;
        for (Record record; ok && (result = master.getNextRecord(record)) == ResponseOk;)
            records.push_back(record);
        ok = ok && result == ResponseNoMoreRecords;
        return master.endExport() == ResponseOk && ok;
    }

    /// Imports `records` as contacts; false when an operation failed.
    bool importAll(const std::vector<Record>& records)
    {
        bool ok = master.beginImport(SectionContact) == ResponseOk;
        for (const Record& record : records) {
            std::string id;
            ok = master.sendRecord(record, id) == ResponseOk && ok;
        }
        return master.endImport() == ResponseOk && ok;
    }

    /// Imports `contactCount` random contacts and answers them as exported.
    std::vector<Record> importContacts(unsigned seed)
    {
        std::mt19937 random(seed);
        std::vector<Record> imported;
        for (int i = 0; i < contactCount; ++i)
            imported.push_back(randomContact(random, {"Business", "Personal"}));
        EXPECT_TRUE(importAll(imported));
        std::vector<Record> exported;
        EXPECT_TRUE(exportAll(exported));
        EXPECT_EQ(exported.size(), imported.size());
        return exported;
    }

    const std::string suffix = isolateChannel();
    standin::StandinDesktop desk;
    CommandMaster master;
    CommandSlave slave;
    std::thread worker;
    std::unique_ptr<UserInterfaceThread> userInterface;
};

TEST_F(InProcessChannel, HandlesAndPrivateBytesDoNotGrowOverALongRun)
{
    constexpr int measuredCycles = 15;
    const std::vector<Record> records = importContacts(30);
    const auto cycle = [&] {
        std::vector<Record> exported;
        return importAll(records) && exportAll(exported) && exported.size() == records.size() &&
               std::equal(exported.begin(), exported.end(), records.begin(),
                          [](const Record& a, const Record& b) { return a.save() == b.save(); });
    };
    EXPECT_TRUE(cycle()) << "warm-up cycle";
    const ProcessUsage before = processUsage();
    for (int i = 0; i < measuredCycles; ++i)
        EXPECT_TRUE(cycle()) << "cycle " << i;
    const ProcessUsage after = processUsage();
    std::printf("[figures] leak run: handles %lu -> %lu, private bytes %zu -> %zu\n", before.handles,
                after.handles, before.privateBytes, after.privateBytes);
    // 256 KB of room for the heaps' reuse; a leak of one record text a command would add over 2 MB.
    EXPECT_LE(after.handles, before.handles);
    EXPECT_LE(after.privateBytes, before.privateBytes + 256 * 1024);
}

constexpr int recordsPerSection = 60;

std::string junkText(std::mt19937& random, std::size_t most)
{
    return separatorFreeText(random, random() % (most + 1));
}

/// A recurrence text with fields out of range, or cut short.
std::string junkRepeat(std::mt19937& random)
{
    Repeat rule;
    rule.setStartDate(random() % 2 ? "20071399" : "abc");
    rule.setEndDate(random() % 2 ? "-1" : "00000000");
    rule.setFrequency(static_cast<long>(static_cast<int>(random())));
    rule.setRepeatType(static_cast<int>(random() % 20) - 2);
    rule.setDayOfMonth(static_cast<int>(random() % 40) - 4);
    rule.setExclusionDates({"20080229", "2007"});
    const std::string text = rule.save();
    return random() % 4 ? text : text.substr(0, random() % (text.size() + 1));
}

/// One junk value for any key.
std::string junkValue(std::mt19937& random)
{
    static const char* const values[] = {"",     "-1",   "99999999999999999999", "20071399", "00000000",
                                         "2500", "abc",  "7x",                   "Business", "no such category"};
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

TEST_F(InProcessChannel, EverySectionAnswersJunkRecordsAndStillExports)
{
    std::mt19937 random(2007);
    const auto attack = [&](Section section, const auto& keys, bool withRepeat) {
        SCOPED_TRACE("section " + std::to_string(section));
        std::vector<std::string> ids;
        int failed = 0;
        EXPECT_TRUE(isResult(master.beginImport(section)));
        for (int i = 0; i < recordsPerSection; ++i) {
            std::string id;
            const ResponseCode result = master.sendRecord(junkRecord(random, keys, withRepeat, ids), id);
            EXPECT_TRUE(isResult(result)) << "record " << i << " answered " << result;
            failed += result == ResponseFailed;
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
        std::printf("[figures] section %d: %d of %d junk records refused\n", section, failed, recordsPerSection);
    };
    attack(SectionContact, fieldkey::contact::all, false);
    attack(SectionMemo, fieldkey::memo::all, false);
    attack(SectionTodo, fieldkey::todo::all, true);
    attack(SectionCalendar, fieldkey::calendar::all, true);
    for (const Section section : {SectionContact, SectionMemo, SectionTodo, SectionCalendar}) {
        EXPECT_EQ(master.beginImport(section), ResponseOk);
        EXPECT_TRUE(isResult(master.deleteAll()));
    }
}

}  // namespace
