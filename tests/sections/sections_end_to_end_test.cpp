// Every section end to end: CommandMaster in this process, the real handlers
// behind CommandSlave and the timer hand-over in section_slave_host, over an
// empty stand-in.
#include <windows.h>

#include <gtest/gtest.h>

#include "channel/command_master.h"
#include "channel_test_support.h"
#include "record/repeat.h"
#include "record_fields.h"
#include "sections/field_keys.h"

namespace {

namespace calendar = fieldkey::calendar;
namespace todo = fieldkey::todo;
using Names = std::vector<std::string>;
using Records = std::vector<Record>;
using sectiontest::withFields;

class SectionsEndToEnd : public ::testing::Test {
protected:
    Records exportAll(Section section) {
        Records records;
        int count = -1;
        EXPECT_EQ(master.beginExport(section), ResponseOk);
        EXPECT_EQ(master.getRecordCount(count), ResponseOk);
        for (Record record; master.getNextRecord(record) == ResponseOk;) records.push_back(record);
        EXPECT_EQ(master.endExport(), ResponseOk);
        EXPECT_EQ(count, static_cast<int>(records.size()));
        return records;
    }
    Names importAll(Section section, const Records& records) {
        Names ids;
        EXPECT_EQ(master.beginImport(section), ResponseOk);
        for (const Record& record : records) {
            std::string id;
            EXPECT_EQ(master.sendRecord(record, id), ResponseOk);
            ids.push_back(id);
        }
        EXPECT_EQ(master.endImport(), ResponseOk);
        return ids;
    }
    Names categories(Section section) {
        Names names;
        EXPECT_EQ(master.readCategoryList(section, names), ResponseOk);
        return names;
    }
    /// `key` of every record, or the whole saved text for a null key.
    static Names fields(const Records& records, const char* key) {
        Names values;
        for (const Record& r : records) values.push_back(key ? r.getField(key) : r.save());
        return values;
    }

    void TearDown() override { EXPECT_TRUE(host.quit()) << "section_slave_host ends with exit code 0"; }

    HelperProcess host{"section_slave_host.exe", isolateChannel(), "BrannockSectionHostQuit"};
    CommandMaster master;
};

// Per section: two records imported come back with every field they had
// (a to-do's rule comes back completed from its due date), under the
// identifiers the import gave; imported again they update in place; one is
// deleted, then all; category lists are read and written.
TEST_F(SectionsEndToEnd, EverySectionComesBackUnchanged) {
    Repeat weekly;
    weekly.setStartDate("20090105");
    weekly.setFrequency(1);
    weekly.setEndDate("20091231");
    weekly.setNumDaysToRepeat(1);
    weekly.setRepeatType(12);
    int mondayWednesday[7] = {0, 1, 0, 1, 0, 0, 0};
    weekly.setDayPattern(mondayWednesday);
    weekly.setExclusionDates({"20090112", "20090304"});
    Repeat monthly;
    monthly.setRepeatType(3);
    monthly.setFrequency(1);
    monthly.setEndDate("-1");
    const struct {
        Section section;
        Records records;
        Names categories;
    } cases[] = {
        {SectionContact,
         {withFields({{fieldkey::contact::LastName, "Baker"}, {fieldkey::contact::JobTitle, "Baker in chief"},
                      {fieldkey::contact::PhoneBusiness, "555-0100"}, {fieldkey::contact::Category, "Business"}}),
          withFields({{fieldkey::contact::LastName, "Dunn"}, {fieldkey::contact::Notes, "friend"},
                      {fieldkey::contact::Category, "Travel"}})},
         {"Business", "Travel"}},
        {SectionMemo,
         {withFields({{fieldkey::memo::Title, "Garden"}, {fieldkey::memo::Body, "roses\r\ntulips"},
                      {fieldkey::memo::Category, "Ideas"}}),
          withFields({{fieldkey::memo::Title, "Plain title"}, {fieldkey::memo::Category, "Unfiled"}})},
         {"Ideas", "Unfiled"}},
        {SectionCalendar,
         {withFields({{calendar::StartDate, "20090105"}, {calendar::StartTime, "0900"}, {calendar::EndDate, "20090105"},
                      {calendar::EndTime, "0930"}, {calendar::Description, "Stand-up"}, {calendar::Notes, "room 4"},
                      {calendar::AlarmFlag, "1"}, {calendar::AlarmDate, "20090105"}, {calendar::AlarmTime, "0845"},
                      {calendar::Location, "Office"}, {calendar::Category, "Work"}, {calendar::RecurringFlag, "1"},
                      {fieldkey::Repeat, weekly.save()}}),
          withFields({{calendar::StartDate, "20090106"}, {calendar::Description, "Holiday"}})},
         {"Work"}},
        {SectionTodo,
         {withFields({{todo::Description, "Pay rent"}, {todo::DueDate, "20080301"}, {todo::Priority, "2"},
                      {todo::Category, "Home"}, {todo::AlarmFlag, "1"}, {todo::AlarmDate, "20080229"},
                      {todo::AlarmTime, "0900"}, {fieldkey::Repeat, monthly.save()}}),
          withFields({{todo::Description, "Call Ann"}, {todo::Category, "Home"}, {todo::DueDate, ""}})},
         {"Home"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE("section " + std::to_string(c.section));
        const Names ids = importAll(c.section, c.records);
        const Records first = exportAll(c.section);
        ASSERT_EQ(first.size(), 2u);
        EXPECT_EQ(fields(first, fieldkey::RecordId), ids);
        EXPECT_EQ(ids[0].size(), 38u);
        for (int i = 0; i < 2; ++i)
            c.records[i].forEachField([&](const std::string& key, const std::string& value) {
                if (key != fieldkey::Repeat || c.section != SectionTodo) {
                    EXPECT_EQ(first[i].getField(key), value) << key;
                }
            });
        EXPECT_EQ(importAll(c.section, first), ids);
        EXPECT_EQ(fields(exportAll(c.section), nullptr), fields(first, nullptr));

        ASSERT_EQ(master.beginImport(c.section), ResponseOk);
        EXPECT_EQ(master.deleteRecord(ids[0]), ResponseOk);
        EXPECT_EQ(master.deleteRecord(ids[0]), ResponseOk);
        EXPECT_EQ(master.endImport(), ResponseOk);
        EXPECT_EQ(fields(exportAll(c.section), fieldkey::RecordId), Names{ids[1]});
        // The host's views are snapshots, so one deleteAll empties the section named last.
        EXPECT_EQ(master.deleteAll(), ResponseOk);
        EXPECT_TRUE(exportAll(c.section).empty());
        // Writing goes to the section read last; the calendar's categories are not written.
        Names names = c.categories;
        EXPECT_EQ(categories(c.section), names);
        EXPECT_EQ(master.writeCategoryList({"Golf"}), ResponseOk);
        if (c.section != SectionCalendar) names.push_back("Golf");
        EXPECT_EQ(categories(c.section), names);
        if (c.section == SectionTodo) {
            Repeat rule;
            rule.parse(first[0].getField(fieldkey::Repeat));
            EXPECT_EQ(std::to_string(rule.getRepeatType()) + "/" + std::to_string(rule.getDayOfMonth()), "3/1");
        }
    }
}

}  // namespace
