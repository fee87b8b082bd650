// The to-do handler against the stand-in, in one process.
#include <gtest/gtest.h>

#include <tuple>

#include "sections/todo_section.h"
#include "section_test_support.h"

namespace {

using namespace sectiontest;
namespace key = fieldkey::todo;

class TodoSection : public ::testing::Test {
protected:
    TodoSection() { desk.todos().addCategory(L"Errands"); }
    /// Sends `record` and answers the to-do it went into.
    standin::TodoSection::Item send(const Record& record) {
        std::string id;
        EXPECT_EQ(handlerOf<TodoSectionImpl>(desk, SectionTodo)->sendRecord(record, id), ResponseOk);
        for (const auto& todo : desk.todos().items())
            if (idInNote(todo->note) == id) return todo;
        throw std::logic_error("no to-do carries " + id);
    }
    std::vector<Record> exported() { return exportAll(*handlerOf<TodoSectionImpl>(desk, SectionTodo)); }

    standin::StandinDesktop desk;
};

TEST_F(TodoSection, PlainFieldsBothWaysAndTheIdentifier) {
    auto todo = desk.addTodo(L"Errands", L"Buy milk");
    todo->priority = 1;
    todo->completed = 2;
    todo->isPrivate = 5;
    todo->note = L"two litres";
    todo->repeating = 1;  // daily, without a due date
    todo->repeat = standin::TodoRepeatRule{1, 0, 1, 0.0, 0};
    auto bare = desk.addTodo(L"Errands", L"No extension");
    bare->extended = false;
    bare->priority = 4;
    bare->dueDate = at(2008, 3, 1);

    const std::vector<Record> records = exported();
    ASSERT_EQ(records.size(), 2u);
    const Record &milk = records[0], &plain = records[1];
    expectFields(milk, {{key::Description, "Buy milk"}, {key::DueDate, ""}, {key::CompletedFlag, "2"},
                        {key::Priority, "0"}, {key::ConfidentialFlag, "5"}, {key::Category, "Errands"},
                        {key::Notes, "two litres"}, {key::AlarmFlag, "0"}, {key::RecurringFlag, "1"},
                        {key::AlarmDate, nullptr}, {key::AlarmTime, nullptr}});
    // The rule's start is the due date as Palm Desktop gives it: 0.0 is 30 December 1899.
    const Repeat daily = parsed(milk.getField(fieldkey::Repeat));
    EXPECT_EQ(daily.getStartDate() + "/" + std::to_string(daily.getRepeatType()), "18991230/1");
    const std::string id = milk.getField(fieldkey::RecordId);
    EXPECT_EQ(todo->note, composedNote(id, "two litres"));

    expectFields(plain, {{key::Priority, "3"}, {key::DueDate, "20080301"}, {key::AlarmFlag, nullptr},
                         {key::AlarmDate, nullptr}, {key::RecurringFlag, nullptr}, {fieldkey::Repeat, nullptr}});
    EXPECT_EQ(exported().at(0).getField(fieldkey::RecordId), id);

    // An update by identifier; the empty due date removes it.
    const std::string bareId = plain.getField(fieldkey::RecordId);
    ASSERT_EQ(send(withFields({{fieldkey::RecordId, bareId}, {key::Description, "New"}, {key::Priority, "2"},
                               {key::CompletedFlag, "4"}, {key::ConfidentialFlag, "6"}, {key::Notes, "new note"},
                               {key::Category, "Errands"}})),
              bare);
    EXPECT_EQ(desk.todos().items().size(), 2u);
    EXPECT_EQ(bare->description + L"/" + std::to_wstring(bare->priority) + L"/" + std::to_wstring(bare->completed) +
                  L"/" + std::to_wstring(bare->isPrivate), L"New/3/4/6");
    EXPECT_EQ(bare->dueDate, 0.0);
    EXPECT_EQ(bare->note, composedNote(bareId, "new note"));

    // A new to-do without TodoItemEx takes no alarm and no rule.
    desk.todos().extendNewItems = false;
    auto created = send(withFields({{key::Description, "Fresh"}, {key::DueDate, "20090105"}, {key::Category, "Garden"},
                                    {key::AlarmFlag, "1"}, {fieldkey::Repeat, daily.save()}}));
    EXPECT_EQ(created->alarmFlag + created->repeat.kind, 0);
    EXPECT_EQ(created->priority, 1);  // an empty priority is Palm Desktop's 1
    EXPECT_DOUBLE_EQ(created->dueDate, at(2009, 1, 5));
    EXPECT_EQ(created->category, L"Garden");
    EXPECT_TRUE(desk.todos().hasCategory(L"Garden"));
}

// The alarm travels as time of day and days before the due date; the rule
// with its extra value.
TEST_F(TodoSection, AlarmAndRuleTravelBothWays) {
    auto todo = desk.addTodo(L"Errands", L"Leap");
    todo->dueDate = at(2008, 3, 1);
    todo->alarmFlag = 1;
    todo->alarmMoment = at(2008, 3, 1, 9);
    todo->alarmDaysBefore = 1;
    todo->repeating = 1;
    todo->repeat = standin::TodoRepeatRule{2, 77, 2, 0.0, 0x2A};

    Record record = exported().at(0);
    EXPECT_EQ(record.getField(key::AlarmFlag) + " " + record.getField(key::AlarmDate) + " " +
                  record.getField(key::AlarmTime), "1 20080229 0900");
    EXPECT_EQ(record.getField(key::RecurringFlag), "1");
    Repeat weekly = parsed(record.getField(fieldkey::Repeat));
    std::vector<int> pattern(7);
    weekly.getDayPattern(pattern.data());
    EXPECT_EQ(pattern, (std::vector<int>{0, 1, 0, 1, 0, 1, 0}));
    EXPECT_EQ(std::to_string(weekly.getRepeatType()) + "/" + weekly.getStartDate() + "-" + weekly.getEndDate() +
                  "/" + std::to_string(weekly.getFrequency()), "12/20080301--1/2");

    // Back in: the rule, its end and mask written, the extra value the to-do's own.
    todo->alarmFlag = todo->alarmDaysBefore = 0;
    todo->alarmMoment = 0.0;
    todo->repeat = standin::TodoRepeatRule{1, 77, 1, at(2007, 6, 1), 0};
    weekly.setFrequency(6);
    weekly.setEndDate("20071231");
    record.putField(fieldkey::Repeat, weekly.save());
    ASSERT_EQ(send(record), todo);
    EXPECT_EQ(std::to_string(todo->alarmFlag) + "/" + std::to_string(todo->alarmDaysBefore), "1/1");
    EXPECT_DOUBLE_EQ(todo->alarmMoment, at(2008, 3, 1, 9));
    const auto& r = todo->repeat;
    EXPECT_EQ(std::vector<long>({r.kind, r.extra, r.interval, r.mask}), std::vector<long>({2, 77, 6, 0x2A}));
    EXPECT_DOUBLE_EQ(r.end, at(2007, 12, 31));

    // Whole days only, counted from 00:00 of both days; an alarm after the
    // due date counts negative. Alarm flag 0 switches the alarm off and
    // touches nothing else of it.
    record.putField(key::AlarmTime, "2359");
    const std::tuple<const char*, const char*, long, int> alarms[] = {
        {"1", "20080228", 1, 2}, {"1", "20080303", 1, -2}, {"0", "20080228", 0, -2}};
    for (const auto& [flag, date, flagAfter, daysBefore] : alarms) {
        record.putField(key::AlarmFlag, flag);
        record.putField(key::AlarmDate, date);
        send(record);
        EXPECT_EQ(std::to_string(todo->alarmFlag) + "/" + std::to_string(todo->alarmDaysBefore),
                  std::to_string(flagAfter) + "/" + std::to_string(daysBefore)) << date;
    }

    // No "Repeat" (whatever "310.Recurring Flag" says), or a type Palm
    // Desktop cannot hold: the rule stays.
    record.putField(fieldkey::Repeat, "");
    record.putField(key::RecurringFlag, "0");
    send(record);
    Repeat unknown;
    unknown.setRepeatType(7);
    record.putField(fieldkey::Repeat, unknown.save());
    send(record);
    EXPECT_EQ(todo->repeating, 1);
    EXPECT_EQ(r.kind, 2);

    // A monthly rule on a date whose end "0" names no day, and a weekly run of three days from Friday.
    Repeat monthly = unknown;
    monthly.setRepeatType(3);
    monthly.setFrequency(1);
    monthly.setEndDate("0");
    record.putField(fieldkey::Repeat, monthly.save());
    send(record);
    EXPECT_EQ(std::vector<long>({r.kind, r.interval, r.mask}), std::vector<long>({4, 1, 0}));
    EXPECT_EQ(r.end, 0.0) << "no end";
    Repeat run = unknown;
    run.setRepeatType(2);
    run.setFrequency(2);
    run.setDayOfWeek(6);
    run.setNumDaysToRepeat(3);
    run.setEndDate("20081231");
    record.putField(fieldkey::Repeat, run.save());
    send(record);
    EXPECT_EQ(std::vector<long>({r.kind, r.interval, r.mask}), std::vector<long>({2, 2, 0x61}));
    EXPECT_DOUBLE_EQ(r.end, at(2008, 12, 31));
}

}  // namespace
