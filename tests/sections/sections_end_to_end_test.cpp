// Every section end to end: CommandMaster in this process, the real handlers
// behind CommandSlave and the timer hand-over in section_slave_host, over a
// stand-in seeded as that program's seedHostDesktop says.
#include <windows.h>

#include <gtest/gtest.h>

#include "channel/command_master.h"
#include "channel_test_support.h"
#include "record/repeat.h"
#include "record_fields.h"
#include "sections/field_keys.h"

namespace {

namespace contact = fieldkey::contact;
namespace memo = fieldkey::memo;
namespace calendar = fieldkey::calendar;
namespace todo = fieldkey::todo;
using Names = std::vector<std::string>;
using sectiontest::withFields;

class SectionsEndToEnd : public ::testing::Test {
protected:
    std::vector<Record> exportAll(Section section) {
        std::vector<Record> records;
        EXPECT_EQ(master.beginExport(section), ResponseOk);
        int count = -1;
        EXPECT_EQ(master.getRecordCount(count), ResponseOk);
        for (Record record; master.getNextRecord(record) == ResponseOk;) records.push_back(record);
        EXPECT_EQ(master.endExport(), ResponseOk);
        EXPECT_EQ(count, static_cast<int>(records.size()));
        return records;
    }
    Names importAll(Section section, const std::vector<Record>& records) {
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
    static Names fields(const std::vector<Record>& records, const char* key) {
        Names values;
        for (const Record& r : records) values.push_back(key ? r.getField(key) : r.save());
        return values;
    }

    void TearDown() override { EXPECT_TRUE(host.quit()) << "section_slave_host ends with exit code 0"; }

    HelperProcess host{"section_slave_host.exe", isolateChannel(), "BrannockSectionHostQuit"};
    CommandMaster master;
};

TEST_F(SectionsEndToEnd, ExportsEveryContactAndMemo) {
    const std::vector<Record> contacts = exportAll(SectionContact);
    EXPECT_EQ(fields(contacts, contact::LastName), (Names{"Archer", "Baker", "Cole"}));
    EXPECT_EQ(fields(contacts, contact::Category), (Names{"Business", "Business", "Personal"}));
    EXPECT_EQ(contacts[0].getField(contact::PhoneBusiness), "555-0100");
    EXPECT_EQ(contacts[2].getField(contact::Notes), "friend");

    const std::vector<Record> memos = exportAll(SectionMemo);
    EXPECT_EQ(fields(memos, memo::Title), (Names{"Shopping", "Plain title", "Garden"}));
    EXPECT_EQ(fields(memos, memo::Body), (Names{"milk", "", "roses"}));

    // The identifiers given on the first export stay.
    EXPECT_EQ(fields(exportAll(SectionContact), fieldkey::RecordId), fields(contacts, fieldkey::RecordId));
    EXPECT_EQ(fields(exportAll(SectionMemo), fieldkey::RecordId), fields(memos, fieldkey::RecordId));
}

TEST_F(SectionsEndToEnd, ImportsNewAndUpdatedRecords) {
    Record baker = exportAll(SectionContact).at(1);
    baker.putField(contact::JobTitle, "Baker in chief");
    const Names contactIds =
        importAll(SectionContact, {baker, withFields({{contact::LastName, "Dunn"}, {contact::Category, "Travel"}})});
    EXPECT_EQ(contactIds[0], baker.getField(fieldkey::RecordId));
    EXPECT_EQ(contactIds[1].size(), 38u);
    const std::vector<Record> contacts = exportAll(SectionContact);
    EXPECT_EQ(fields(contacts, contact::JobTitle), (Names{"", "Baker in chief", "", ""}));
    EXPECT_EQ(fields(contacts, contact::LastName), (Names{"Archer", "Baker", "Cole", "Dunn"}));
    EXPECT_EQ(contacts.at(3).getField(contact::Category), "Travel");
    EXPECT_EQ(contacts[3].getField(fieldkey::RecordId), contactIds[1]);

    Record garden = exportAll(SectionMemo).at(2);
    garden.putField(memo::Body, "roses and tulips");
    const Names memoIds =
        importAll(SectionMemo, {garden, withFields({{memo::Title, "Note"}, {memo::Category, "Ideas"}})});
    const std::vector<Record> memos = exportAll(SectionMemo);
    EXPECT_EQ(fields(memos, memo::Title), (Names{"Shopping", "Plain title", "Garden", "Note"}));
    EXPECT_EQ(memos[2].getField(memo::Body), "roses and tulips");
    EXPECT_EQ(fields(memos, fieldkey::RecordId)[2], memoIds[0]);
    EXPECT_EQ(fields(memos, fieldkey::RecordId)[3], memoIds[1]);
}

TEST_F(SectionsEndToEnd, DeletesOneThenAllAndWritesCategories) {
    const std::string coleId = exportAll(SectionContact).at(2).getField(fieldkey::RecordId);
    ASSERT_EQ(master.beginImport(SectionContact), ResponseOk);
    EXPECT_EQ(master.deleteRecord(coleId), ResponseOk);
    EXPECT_EQ(master.deleteRecord(coleId), ResponseOk);
    EXPECT_EQ(master.endImport(), ResponseOk);
    EXPECT_EQ(fields(exportAll(SectionContact), contact::LastName), (Names{"Archer", "Baker"}));

    // The host's views are snapshots, so one deleteAll empties a section.
    EXPECT_EQ(master.deleteAll(), ResponseOk);  // the section named last: contacts
    EXPECT_TRUE(exportAll(SectionContact).empty());
    EXPECT_EQ(exportAll(SectionMemo).size(), 3u);
    EXPECT_EQ(master.deleteAll(), ResponseOk);
    EXPECT_TRUE(exportAll(SectionMemo).empty());

    // Writing goes to the section read last.
    EXPECT_EQ(categories(SectionContact), (Names{"Business", "Empty", "Personal"}));
    EXPECT_EQ(master.writeCategoryList({"Personal", "Golf"}), ResponseOk);
    EXPECT_EQ(categories(SectionContact), (Names{"Business", "Empty", "Personal", "Golf"}));
    EXPECT_EQ(categories(SectionMemo), (Names{"Unfiled", "Ideas"}));
    EXPECT_EQ(master.writeCategoryList({"Recipes"}), ResponseOk);
    EXPECT_EQ(categories(SectionMemo), (Names{"Unfiled", "Ideas", "Recipes"}));
}

TEST_F(SectionsEndToEnd, RecurringEventComesBackUnchanged) {
    Repeat weekly;
    weekly.setStartDate("20090105");
    weekly.setFrequency(1);
    weekly.setEndDate("20091231");
    weekly.setNumDaysToRepeat(1);
    weekly.setRepeatType(12);
    int mondayWednesday[7] = {0, 1, 0, 1, 0, 0, 0};
    weekly.setDayPattern(mondayWednesday);
    weekly.setExclusionDates({"20090112", "20090304"});
    const Record meeting = withFields(
        {{calendar::StartDate, "20090105"}, {calendar::StartTime, "0900"}, {calendar::EndDate, "20090105"},
         {calendar::EndTime, "0930"}, {calendar::Description, "Stand-up"}, {calendar::Notes, "room 4"},
         {calendar::AlarmFlag, "1"}, {calendar::AlarmDate, "20090105"}, {calendar::AlarmTime, "0845"},
         {calendar::Location, "Office"}, {calendar::Category, "Work"}, {fieldkey::Repeat, weekly.save()}});
    const Record holiday = withFields({{calendar::StartDate, "20090106"}, {calendar::Description, "Holiday"}});
    const Names ids = importAll(SectionCalendar, {meeting, holiday});

    const std::vector<Record> first = exportAll(SectionCalendar);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(fields(first, fieldkey::RecordId), ids);
    for (const char* key : {calendar::StartTime, calendar::EndTime, calendar::AlarmDate, calendar::AlarmTime,
                            calendar::Location, calendar::Notes, fieldkey::Repeat})
        EXPECT_EQ(first[0].getField(key), meeting.getField(key)) << key;
    EXPECT_EQ(first[0].getField(calendar::RecurringFlag), "1");
    EXPECT_EQ(first[1].getField(calendar::EndDate), "");

    // Import the export (an update of both events) and export again.
    EXPECT_EQ(importAll(SectionCalendar, first), ids);
    EXPECT_EQ(fields(exportAll(SectionCalendar), nullptr), fields(first, nullptr));
    EXPECT_EQ(categories(SectionCalendar), Names{"Work"});

    ASSERT_EQ(master.beginImport(SectionCalendar), ResponseOk);
    EXPECT_EQ(master.deleteRecord(ids[1]), ResponseOk);
    EXPECT_EQ(master.endImport(), ResponseOk);
    ASSERT_EQ(exportAll(SectionCalendar).size(), 1u);
    EXPECT_EQ(master.deleteAll(), ResponseOk);  // the section named last: the calendar
    EXPECT_TRUE(exportAll(SectionCalendar).empty());
}

TEST_F(SectionsEndToEnd, TodoComesBackUnchanged) {
    Repeat monthly;
    monthly.setRepeatType(3);
    monthly.setFrequency(1);
    monthly.setEndDate("-1");
    const Record rent = withFields(
        {{todo::Description, "Pay rent"}, {todo::DueDate, "20080301"}, {todo::Priority, "2"}, {todo::Category, "Home"},
         {todo::AlarmFlag, "1"}, {todo::AlarmDate, "20080229"}, {todo::AlarmTime, "0900"},
         {fieldkey::Repeat, monthly.save()}});
    const Names ids =
        importAll(SectionTodo, {rent, withFields({{todo::Description, "Call Ann"}, {todo::Category, "Home"}})});

    const std::vector<Record> first = exportAll(SectionTodo);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(fields(first, fieldkey::RecordId), ids);
    for (const char* key : {todo::Priority, todo::AlarmDate, todo::AlarmTime})
        EXPECT_EQ(first[0].getField(key), rent.getField(key)) << key;
    Repeat exported;
    exported.parse(first[0].getField(fieldkey::Repeat));
    EXPECT_EQ(exported.getRepeatType(), 3);
    EXPECT_EQ(exported.getDayOfMonth(), 1);
    EXPECT_EQ(first[1].getField(todo::DueDate), "");
    EXPECT_EQ(first[1].getField(todo::Priority), "0");

    EXPECT_EQ(importAll(SectionTodo, first), ids);
    EXPECT_EQ(fields(exportAll(SectionTodo), nullptr), fields(first, nullptr));

    Record undated = first[0];
    undated.putField(todo::DueDate, "");
    undated.putField(todo::AlarmFlag, "0");
    importAll(SectionTodo, {undated});
    EXPECT_EQ(exportAll(SectionTodo).at(0).getField(todo::DueDate), "");
    EXPECT_EQ(master.deleteAll(), ResponseOk);
    EXPECT_TRUE(exportAll(SectionTodo).empty());
}

}  // namespace
