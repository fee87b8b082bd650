// The whole channel in one process with the real section handlers over the
// Palm Desktop stand-in (bench/ runs the same at length and measures growth).
#include "channel/command_master.h"
#include "channel_test_support.h"
#include "random_records.h"
#include "record/repeat.h"
#include "sections/field_keys.h"
#include "stress_support.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class InProcessChannel : public ::testing::Test {
protected:
    const std::string suffix = isolateChannel();
    StandinSlave standin;
    CommandMaster master;
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

bool isResult(ResponseCode result)
{
    return result == ResponseOk || result == ResponseFailed || result == ResponseNoMoreRecords;
}

// Records whose every field holds one kind of junk (to-dos and events with a
// broken recurrence too), new, under a junk id, or updating one: each is
// answered with a result, and the section still exports what it holds
// (bench/ sends random mixtures of junk).
TEST_F(InProcessChannel, EverySectionAnswersJunkRecordsAndStillExports)
{
    const std::string junk[] = {"",   "-1", "99999999999999999999", "20071399", "00000000", "2500", "abc",
                                "7x", "Business", "no such category", std::string(50000, 'x'), "\x01\xFF\xC0 \r\n"};
    Repeat rule;
    rule.setStartDate("20071399");
    rule.setEndDate("-1");
    rule.setFrequency(-7);
    rule.setRepeatType(17);
    rule.setDayOfMonth(-4);
    rule.setExclusionDates({"20080229", "2007"});
    const std::string repeats[] = {rule.save(), rule.save().substr(0, 9), "abc"};
    const auto attack = [&](Section section, const auto& keys, bool withRepeat) {
        SCOPED_TRACE("section " + std::to_string(section));
        std::vector<std::string> ids;
        EXPECT_EQ(master.beginImport(section), ResponseOk);
        for (std::size_t i = 0; i < std::size(junk); ++i) {
            Record record;
            for (const char* key : keys)
                record.putField(key, junk[i]);
            if (withRepeat)
                record.putField(fieldkey::Repeat, repeats[i % 3]);
            record.putField(fieldkey::RecordId, i % 3 == 0 ? "" : i % 3 == 1 || ids.empty() ? junk[i] : ids.back());
            std::string id;
            const ResponseCode result = master.sendRecord(record, id);
            EXPECT_TRUE(isResult(result)) << "junk " << i << " answered " << result;
            if (!id.empty())
                ids.push_back(id);
        }
        EXPECT_TRUE(isResult(master.deleteRecord("no such id")));
        EXPECT_TRUE(ids.empty() || isResult(master.deleteRecord(ids.front())));
        EXPECT_TRUE(isResult(master.endImport()));
        std::vector<std::string> names;
        EXPECT_EQ(master.readCategoryList(section, names), ResponseOk);
        EXPECT_TRUE(isResult(master.writeCategoryList({"\x01\xFF", "", std::string(300, 'c')})));

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
