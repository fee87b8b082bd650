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
    /// Deletes `id` (twice over: the second finds nothing) in an import bracket.
    void deleteRecord(Section section, const std::string& id) {
        ASSERT_EQ(master.beginImport(section), ResponseOk);
        EXPECT_EQ(master.deleteRecord(id), ResponseOk);
        EXPECT_EQ(master.deleteRecord(id), ResponseOk);
        EXPECT_EQ(master.endImport(), ResponseOk);
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

TEST_F(SectionsEndToEnd, ContactsAndMemos) {
    const Records contacts = exportAll(SectionContact);
    EXPECT_EQ(fields(contacts, contact::LastName), (Names{"Archer", "Baker", "Cole"}));
    EXPECT_EQ(fields(contacts, contact::Category), (Names{"Business", "Business", "Personal"}));
    EXPECT_EQ(contacts[0].getField(contact::PhoneBusiness) + "/" + contacts[2].getField(contact::Notes),
              "555-0100/friend");
    const Records memos = exportAll(SectionMemo);
    EXPECT_EQ(fields(memos, memo::Title), (Names{"Shopping", "Plain title", "Garden"}));
    EXPECT_EQ(fields(memos, memo::Body), (Names{"milk", "", "roses"}));
    // The identifiers given on the first export stay.
    EXPECT_EQ(fields(exportAll(SectionContact), fieldkey::RecordId), fields(contacts, fieldkey::RecordId));
    EXPECT_EQ(fields(exportAll(SectionMemo), fieldkey::RecordId), fields(memos, fieldkey::RecordId));

    // New and updated records.
    Record baker = contacts[1];
    baker.putField(contact::JobTitle, "Baker in chief");
    const Names contactIds =
        importAll(SectionContact, {baker, withFields({{contact::LastName, "Dunn"}, {contact::Category, "Travel"}})});
    EXPECT_EQ(contactIds[0], baker.getField(fieldkey::RecordId));
    EXPECT_EQ(contactIds[1].size(), 38u);
    const Records contactsNow = exportAll(SectionContact);
    EXPECT_EQ(fields(contactsNow, contact::JobTitle), (Names{"", "Baker in chief", "", ""}));
    EXPECT_EQ(fields(contactsNow, contact::LastName), (Names{"Archer", "Baker", "Cole", "Dunn"}));
    EXPECT_EQ(contactsNow.at(3).getField(contact::Category) + contactsNow[3].getField(fieldkey::RecordId),
              "Travel" + contactIds[1]);
    Record garden = memos[2];
    garden.putField(memo::Body, "roses and tulips");
    const Names memoIds = importAll(SectionMemo, {garden, withFields({{memo::Title, "Note"}, {memo::Category, "Ideas"}})});
    const Records memosNow = exportAll(SectionMemo);
    EXPECT_EQ(fields(memosNow, memo::Title), (Names{"Shopping", "Plain title", "Garden", "Note"}));
    EXPECT_EQ(memosNow[2].getField(memo::Body), "roses and tulips");
    EXPECT_EQ(fields(memosNow, fieldkey::RecordId), (Names{memos[0].getField(fieldkey::RecordId),
                                                          memos[1].getField(fieldkey::RecordId), memoIds[0], memoIds[1]}));

    // Deleting one, then all: the host's views are snapshots, so one
    // deleteAll empties a section, the one named last.
    deleteRecord(SectionContact, contacts[2].getField(fieldkey::RecordId));
    EXPECT_EQ(fields(exportAll(SectionContact), contact::LastName), (Names{"Archer", "Baker", "Dunn"}));
    EXPECT_EQ(master.deleteAll(), ResponseOk);
    EXPECT_TRUE(exportAll(SectionContact).empty());
    EXPECT_EQ(exportAll(SectionMemo).size(), 4u);
    EXPECT_EQ(master.deleteAll(), ResponseOk);
    EXPECT_TRUE(exportAll(SectionMemo).empty());

    // Writing goes to the section read last.
    EXPECT_EQ(categories(SectionContact), (Names{"Business", "Empty", "Personal", "Travel"}));
    EXPECT_EQ(master.writeCategoryList({"Personal", "Golf"}), ResponseOk);
    EXPECT_EQ(categories(SectionContact), (Names{"Business", "Empty", "Personal", "Travel", "Golf"}));
    EXPECT_EQ(categories(SectionMemo), (Names{"Unfiled", "Ideas"}));
    EXPECT_EQ(master.writeCategoryList({"Recipes"}), ResponseOk);
    EXPECT_EQ(categories(SectionMemo), (Names{"Unfiled", "Ideas", "Recipes"}));
}

TEST_F(SectionsEndToEnd, EventsAndTodosComeBackUnchanged) {
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
    const Names ids = importAll(SectionCalendar,
                                {meeting, withFields({{calendar::StartDate, "20090106"}, {calendar::Description, "Holiday"}})});
    const Records events = exportAll(SectionCalendar);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(fields(events, fieldkey::RecordId), ids);
    for (const char* key : {calendar::StartTime, calendar::EndTime, calendar::AlarmDate, calendar::AlarmTime,
                            calendar::Location, calendar::Notes, fieldkey::Repeat})
        EXPECT_EQ(events[0].getField(key), meeting.getField(key)) << key;
    EXPECT_EQ(events[0].getField(calendar::RecurringFlag) + "/" + events[1].getField(calendar::EndDate), "1/");
    // Import the export (an update of both events) and export again.
    EXPECT_EQ(importAll(SectionCalendar, events), ids);
    EXPECT_EQ(fields(exportAll(SectionCalendar), nullptr), fields(events, nullptr));
    EXPECT_EQ(categories(SectionCalendar), Names{"Work"});
    deleteRecord(SectionCalendar, ids[1]);
    ASSERT_EQ(exportAll(SectionCalendar).size(), 1u);
    EXPECT_EQ(master.deleteAll(), ResponseOk);  // the section named last: the calendar
    EXPECT_TRUE(exportAll(SectionCalendar).empty());

    Repeat monthly;
    monthly.setRepeatType(3);
    monthly.setFrequency(1);
    monthly.setEndDate("-1");
    const Record rent = withFields(
        {{todo::Description, "Pay rent"}, {todo::DueDate, "20080301"}, {todo::Priority, "2"}, {todo::Category, "Home"},
         {todo::AlarmFlag, "1"}, {todo::AlarmDate, "20080229"}, {todo::AlarmTime, "0900"},
         {fieldkey::Repeat, monthly.save()}});
    const Names todoIds =
        importAll(SectionTodo, {rent, withFields({{todo::Description, "Call Ann"}, {todo::Category, "Home"}})});
    const Records todos = exportAll(SectionTodo);
    ASSERT_EQ(todos.size(), 2u);
    EXPECT_EQ(fields(todos, fieldkey::RecordId), todoIds);
    for (const char* key : {todo::Priority, todo::AlarmDate, todo::AlarmTime})
        EXPECT_EQ(todos[0].getField(key), rent.getField(key)) << key;
    Repeat exported;
    exported.parse(todos[0].getField(fieldkey::Repeat));
    EXPECT_EQ(std::to_string(exported.getRepeatType()) + "/" + std::to_string(exported.getDayOfMonth()), "3/1");
    EXPECT_EQ(todos[1].getField(todo::DueDate) + "/" + todos[1].getField(todo::Priority), "/0");
    EXPECT_EQ(importAll(SectionTodo, todos), todoIds);
    EXPECT_EQ(fields(exportAll(SectionTodo), nullptr), fields(todos, nullptr));
    Record undated = todos[0];
    undated.putField(todo::DueDate, "");
    undated.putField(todo::AlarmFlag, "0");
    importAll(SectionTodo, {undated});
    EXPECT_EQ(exportAll(SectionTodo).at(0).getField(todo::DueDate), "");
    EXPECT_EQ(master.deleteAll(), ResponseOk);
    EXPECT_TRUE(exportAll(SectionTodo).empty());
}

}  // namespace
