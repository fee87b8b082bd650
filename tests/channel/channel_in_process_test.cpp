// The whole channel in one process with the real section handlers over the
// Palm Desktop stand-in (bench/ runs the same at length and measures growth).
#include "channel/command_master.h"
#include "channel/section_dispatch.h"
#include "channel_test_support.h"
#include "random_records.h"
#include "record/repeat.h"
#include "sections/field_keys.h"
#include "sections/section_factory.h"
#include "standin/standin_desktop.h"
#include "stress_support.h"

#include <gtest/gtest.h>

#include <array>
#include <map>

namespace {

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
        sectionDispatch().reset();
        sectionDispatch().setMaker(createSectionHandler);
        slave = std::make_unique<InProcessSlave>();
    }
    void TearDown() override
    {
        slave.reset();
        sectionDispatch().reset();
        sharedApplication().reset();
    }

    const std::string suffix = isolateChannel();
    standin::StandinDesktop desk;
    CommandMaster master;
    std::unique_ptr<InProcessSlave> slave;
};

// Nothing lost: records with every field filled come back equal key for
// key under the ids their import gave them.
TEST_F(InProcessChannel, EveryImportedRecordIsExportedBackEqual)
{
    std::mt19937 random(2026);
    const auto roundTrip = [&](Section section, auto make, const std::vector<std::string>& keys) {
        SCOPED_TRACE("section " + std::to_string(section));
        std::map<std::string, Record> imported;
        ASSERT_EQ(master.beginImport(section), ResponseOk);
        for (int i = 0; i < 8; ++i) {
            Record record = make();
            std::string id;
            EXPECT_EQ(master.sendRecord(record, id), ResponseOk);
            EXPECT_EQ(id.size(), 38u);
            record.putField(fieldkey::RecordId, id);
            imported[id] = record;
        }
        EXPECT_EQ(master.endImport(), ResponseOk);
        ASSERT_EQ(master.beginExport(section), ResponseOk);
        int exported = 0;
        for (Record record; master.getNextRecord(record) == ResponseOk; ++exported)
            for (const std::string& key : keys)
                EXPECT_EQ(record.getField(key), imported[record.getField(fieldkey::RecordId)].getField(key)) << key;
        EXPECT_EQ(exported, 8);
        EXPECT_EQ(master.endExport(), ResponseOk);
    };
    roundTrip(SectionContact, [&] { return randomContact(random, {"Business", "Personal"}); }, contactKeys());
    roundTrip(SectionMemo, [&] { return randomMemo(random, {"Business", "Personal"}); }, memoKeys());
}

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

std::string junkValue(std::mt19937& random)
{
    static const char* const values[] = {"",     "-1",  "99999999999999999999", "20071399", "00000000",
                                         "2500", "abc", "7x",                   "Business", "no such category"};
    switch (random() % 6) {
    case 0: return junkText(random, 300);
    case 1: return random() % 10 ? junkText(random, 40) : std::string(50000, 'x');
    default: return values[random() % std::size(values)];
    }
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
        EXPECT_TRUE(isResult(master.beginImport(section)));
        for (int i = 0; i < 60; ++i) {
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
            std::string id;
            const ResponseCode result = master.sendRecord(record, id);
            EXPECT_TRUE(isResult(result)) << "record " << i << " answered " << result;
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
