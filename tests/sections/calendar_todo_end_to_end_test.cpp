// Calendar events and to-dos end to end: CommandMaster in this process, the
// real handlers behind CommandSlave and the timer hand-over in
// section_slave_host. The host's calendar and to-do list start empty; each
// test imports what it needs through the master.
#include <windows.h>

#include <gtest/gtest.h>

#include "channel/command_master.h"
#include "channel_test_support.h"
#include "record/repeat.h"
#include "section_host.h"
#include "sections/field_keys.h"

namespace {

namespace calendar = fieldkey::calendar;
namespace todo = fieldkey::todo;

class CalendarTodoEndToEnd : public ::testing::Test {
protected:
    std::vector<Record> exportAll(Section section)
    {
        std::vector<Record> records;
        EXPECT_EQ(master.beginExport(section), ResponseOk);
        int count = -1;
        EXPECT_EQ(master.getRecordCount(count), ResponseOk);
        for (Record record; master.getNextRecord(record) == ResponseOk;) records.push_back(record);
        EXPECT_EQ(master.endExport(), ResponseOk);
        EXPECT_EQ(count, static_cast<int>(records.size()));
        return records;
    }
    std::vector<std::string> importAll(Section section, const std::vector<Record>& records)
    {
        std::vector<std::string> ids;
        EXPECT_EQ(master.beginImport(section), ResponseOk);
        for (const Record& record : records) {
            std::string id;
            EXPECT_EQ(master.sendRecord(record, id), ResponseOk);
            ids.push_back(id);
        }
        EXPECT_EQ(master.endImport(), ResponseOk);
        return ids;
    }
    static std::vector<std::string> texts(const std::vector<Record>& records)
    {
        std::vector<std::string> saved;
        for (const Record& record : records) saved.push_back(record.save());
        return saved;
    }

    sectiontest::SectionHost host{isolateChannel()};
    CommandMaster master;
};

Record recurringMeeting()
{
    Repeat weekly;
    weekly.setStartDate("20090105");
    weekly.setFrequency(1);
    weekly.setEndDate("20091231");
    weekly.setNumDaysToRepeat(1);
    weekly.setRepeatType(12);
    const int mondayWednesday[7] = {0, 1, 0, 1, 0, 0, 0};
    weekly.setDayPattern(mondayWednesday);
    weekly.setExclusionDates({"20090112", "20090304"});

    Record record;
    record.putField(calendar::StartDate, "20090105");
    record.putField(calendar::StartTime, "0900");
    record.putField(calendar::EndDate, "20090105");
    record.putField(calendar::EndTime, "0930");
    record.putField(calendar::Description, "Stand-up");
    record.putField(calendar::Notes, "room 4");
    record.putField(calendar::AlarmFlag, "1");
    record.putField(calendar::AlarmDate, "20090105");
    record.putField(calendar::AlarmTime, "0845");
    record.putField(calendar::Location, "Office");
    record.putField(calendar::Category, "Work");
    record.putField(fieldkey::Repeat, weekly.save());
    return record;
}

TEST_F(CalendarTodoEndToEnd, RecurringEventComesBackUnchanged)
{
    Record holiday;
    holiday.putField(calendar::StartDate, "20090106");
    holiday.putField(calendar::Description, "Holiday");
    const std::vector<std::string> ids = importAll(SectionCalendar, {recurringMeeting(), holiday});
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_EQ(ids[0].size(), 38u);

    const std::vector<Record> first = exportAll(SectionCalendar);
    ASSERT_EQ(first.size(), 2u);
    const Record& meeting = first[0];
    EXPECT_EQ(meeting.getField(fieldkey::RecordId), ids[0]);
    EXPECT_EQ(meeting.getField(calendar::StartTime), "0900");
    EXPECT_EQ(meeting.getField(calendar::EndTime), "0930");
    EXPECT_EQ(meeting.getField(calendar::AlarmDate), "20090105");
    EXPECT_EQ(meeting.getField(calendar::AlarmTime), "0845");
    EXPECT_EQ(meeting.getField(calendar::RecurringFlag), "1");
    EXPECT_EQ(meeting.getField(calendar::Location), "Office");
    EXPECT_EQ(meeting.getField(calendar::Notes), "room 4");
    EXPECT_EQ(meeting.getField(fieldkey::Repeat), recurringMeeting().getField(fieldkey::Repeat));
    EXPECT_EQ(first[1].getField(calendar::EndDate), "");
    EXPECT_EQ(first[1].getField(fieldkey::RecordId), ids[1]);

    // Import the export (an update of both events) and export again.
    EXPECT_EQ(importAll(SectionCalendar, first), ids);
    EXPECT_EQ(texts(exportAll(SectionCalendar)), texts(first));

    std::vector<std::string> names;
    EXPECT_EQ(master.readCategoryList(SectionCalendar, names), ResponseOk);
    EXPECT_EQ(names, std::vector<std::string>{"Work"});

    ASSERT_EQ(master.beginImport(SectionCalendar), ResponseOk);
    EXPECT_EQ(master.deleteRecord(ids[1]), ResponseOk);
    EXPECT_EQ(master.endImport(), ResponseOk);
    ASSERT_EQ(exportAll(SectionCalendar).size(), 1u);
    EXPECT_EQ(master.deleteAll(), ResponseOk);  // the section named last: the calendar
    EXPECT_TRUE(exportAll(SectionCalendar).empty());
}

TEST_F(CalendarTodoEndToEnd, TodoComesBackUnchanged)
{
    Repeat monthly;
    monthly.setRepeatType(3);
    monthly.setFrequency(1);
    monthly.setEndDate("-1");

    Record rent;
    rent.putField(todo::Description, "Pay rent");
    rent.putField(todo::DueDate, "20080301");
    rent.putField(todo::Priority, "2");
    rent.putField(todo::Category, "Home");
    rent.putField(todo::Notes, "standing order?");
    rent.putField(todo::AlarmFlag, "1");
    rent.putField(todo::AlarmDate, "20080229");
    rent.putField(todo::AlarmTime, "0900");
    rent.putField(fieldkey::Repeat, monthly.save());
    Record call;
    call.putField(todo::Description, "Call Ann");
    call.putField(todo::Category, "Home");
    const std::vector<std::string> ids = importAll(SectionTodo, {rent, call});

    const std::vector<Record> first = exportAll(SectionTodo);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].getField(fieldkey::RecordId), ids[0]);
    EXPECT_EQ(first[0].getField(todo::Priority), "2");
    EXPECT_EQ(first[0].getField(todo::AlarmDate), "20080229");
    EXPECT_EQ(first[0].getField(todo::AlarmTime), "0900");
    EXPECT_EQ(first[0].getField(todo::RecurringFlag), "1");
    Repeat exported;
    exported.parse(first[0].getField(fieldkey::Repeat));
    EXPECT_EQ(exported.getRepeatType(), 3);
    EXPECT_EQ(exported.getDayOfMonth(), 1);
    EXPECT_EQ(exported.getEndDate(), "-1");
    EXPECT_EQ(first[1].getField(todo::DueDate), "");
    EXPECT_EQ(first[1].getField(todo::Priority), "0");

    EXPECT_EQ(importAll(SectionTodo, first), ids);
    EXPECT_EQ(texts(exportAll(SectionTodo)), texts(first));

    // Removing the due date.
    Record undated = first[0];
    undated.putField(todo::DueDate, "");
    undated.putField(todo::AlarmFlag, "0");
    importAll(SectionTodo, {undated});
    EXPECT_EQ(exportAll(SectionTodo).at(0).getField(todo::DueDate), "");

    EXPECT_EQ(master.deleteAll(), ResponseOk);  // the section named last: the to-do list
    EXPECT_TRUE(exportAll(SectionTodo).empty());
}

}  // namespace
