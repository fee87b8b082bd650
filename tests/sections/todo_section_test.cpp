// The to-do handler against the stand-in, in one process.
#include <gtest/gtest.h>

#include "record/date_time.h"
#include "record/repeat.h"
#include "sections/field_keys.h"
#include "sections/todo_section.h"
#include "section_test_support.h"

namespace {

using namespace sectiontest;
namespace key = fieldkey::todo;

const std::string sampleId = "{0A1B2C3D-0000-4000-8000-00000000000A}";


class TodoSection : public ::testing::Test {
protected:
    TodoSection() { desk.todos().addCategory(L"Errands"); }

    std::unique_ptr<TodoSectionImpl> handler() {
        return handlerOver<TodoSectionImpl, TodoCollection>(desk, &PalmApplication::get_TodoList, IID_TodoCollection);
    }
    /// Sends `record` and answers the to-do it went into.
    standin::TodoSection::Item send(const Record& record) {
        std::string id;
        EXPECT_EQ(handler()->sendRecord(record, id), ResponseOk);
        for (const auto& todo : desk.todos().items())
            if (idInNote(todo->note) == id) return todo;
        ADD_FAILURE() << "no to-do carries " << id;
        return nullptr;
    }
    Record exportOne() {
        const std::vector<Record> records = exportAll(*handler());
        EXPECT_EQ(records.size(), 1u);
        return records.empty() ? Record() : records[0];
    }

    standin::StandinDesktop desk;
};

TEST_F(TodoSection, ExportsPlainFieldsAndGivesTheIdentifier) {
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

    const std::vector<Record> records = exportAll(*handler());
    ASSERT_EQ(records.size(), 2u);
    const Record& milk = records[0];
    const std::pair<const char*, const char*> fields[] = {
        {key::Description, "Buy milk"}, {key::DueDate, ""},       {key::CompletedFlag, "2"},
        {key::Priority, "0"},           {key::ConfidentialFlag, "5"}, {key::Category, "Errands"},
        {key::Notes, "two litres"},     {key::AlarmFlag, "0"},    {key::RecurringFlag, "1"}};
    for (const auto& [k, value] : fields) EXPECT_TRUE(hasKey(milk, k) && milk.getField(k) == value) << k;
    for (const char* absent : {key::AlarmDate, key::AlarmTime}) EXPECT_FALSE(hasKey(milk, absent));
    // The rule's start is the due date as Palm Desktop gives it: 0.0 is 30 December 1899.
    Repeat daily;
    daily.parse(milk.getField(fieldkey::Repeat));
    EXPECT_EQ(daily.getStartDate() + "/" + std::to_string(daily.getRepeatType()), "18991230/1");
    const std::string id = milk.getField(fieldkey::RecordId);
    EXPECT_EQ(todo->note, composedNote(id, "two litres"));

    const Record& plain = records[1];
    EXPECT_EQ(plain.getField(key::Priority), "3");
    EXPECT_EQ(plain.getField(key::DueDate), "20080301");
    for (const char* absent : {key::AlarmFlag, key::AlarmDate, key::RecurringFlag, fieldkey::Repeat})
        EXPECT_FALSE(hasKey(plain, absent));

    EXPECT_EQ(exportAll(*handler()).at(0).getField(fieldkey::RecordId), id);
}

TEST_F(TodoSection, ImportsPriorityDueDateAndKeepsTheIdentifier) {
    auto todo = desk.addTodo(L"Errands", L"Old");
    todo->note = composedNote(sampleId, "old note");
    todo->dueDate = at(2008, 3, 1);
    todo->priority = 5;

    const Record record = withFields({{fieldkey::RecordId, sampleId}, {key::Description, "New"}, {key::Priority, "2"},
                                      {key::CompletedFlag, "4"}, {key::ConfidentialFlag, "6"},
                                      {key::Notes, "new note"}, {key::Category, "Errands"}});
    ASSERT_EQ(send(record), todo);
    EXPECT_EQ(desk.todos().items().size(), 1u);
    EXPECT_EQ(todo->description, L"New");
    EXPECT_EQ(todo->priority, 3);
    EXPECT_EQ(std::to_string(todo->completed) + "/" + std::to_string(todo->isPrivate), "4/6");
    EXPECT_EQ(todo->dueDate, 0.0);  // the empty due date removes it
    EXPECT_EQ(todo->note, composedNote(sampleId, "new note"));

    // A new to-do without TodoItemEx takes no alarm and no rule.
    desk.todos().extendNewItems = false;
    Repeat daily;
    daily.setRepeatType(1);
    const Record fresh = withFields({{key::Description, "Fresh"}, {key::DueDate, "20090105"}, {key::Category, "Garden"},
                                     {key::AlarmFlag, "1"}, {fieldkey::Repeat, daily.save()}});
    auto created = send(fresh);
    EXPECT_EQ(created->alarmFlag + created->repeat.kind, 0);
    ASSERT_TRUE(created);
    EXPECT_EQ(created->priority, 1);  // an empty priority is Palm Desktop's 1
    EXPECT_DOUBLE_EQ(created->dueDate, at(2009, 1, 5));
    EXPECT_EQ(created->category, L"Garden");
    EXPECT_TRUE(desk.todos().hasCategory(L"Garden"));
}

TEST_F(TodoSection, AlarmTravelsAsTimeOfDayAndDaysBeforeTheDueDate) {
    auto todo = desk.addTodo(L"Errands", L"Leap");
    todo->dueDate = at(2008, 3, 1);
    todo->alarmFlag = 1;
    todo->alarmMoment = at(2008, 3, 1, 9);
    todo->alarmDaysBefore = 1;

    Record record = exportOne();
    EXPECT_EQ(record.getField(key::AlarmFlag) + " " + record.getField(key::AlarmDate) + " " +
                  record.getField(key::AlarmTime),
              "1 20080229 0900");

    todo->alarmFlag = 0;
    todo->alarmMoment = 0.0;
    todo->alarmDaysBefore = 0;
    ASSERT_EQ(send(record), todo);
    EXPECT_EQ(todo->alarmFlag, 1);
    EXPECT_DOUBLE_EQ(todo->alarmMoment, at(2008, 3, 1, 9));
    EXPECT_EQ(todo->alarmDaysBefore, 1);

    // Whole days only, counted from 00:00 of both days; an alarm after the
    // due date counts negative.
    record.putField(key::AlarmTime, "2359");
    const std::pair<const char*, int> alarms[] = {{"20080228", 2}, {"20080303", -2}};
    for (const auto& [date, daysBefore] : alarms) {
        record.putField(key::AlarmDate, date);
        send(record);
        EXPECT_EQ(todo->alarmDaysBefore, daysBefore) << date;
    }

    // Alarm flag 0 switches the alarm off and touches nothing else of it.
    record.putField(key::AlarmFlag, "0");
    send(record);
    EXPECT_EQ(todo->alarmFlag, 0);
    EXPECT_EQ(todo->alarmDaysBefore, -2);
}

TEST_F(TodoSection, RepeatRuleTravelsWithItsExtraValue) {
    auto todo = desk.addTodo(L"Errands", L"Weekly");
    todo->dueDate = at(2007, 1, 31);  // a Wednesday in week 5
    todo->repeating = 1;
    todo->repeat = standin::TodoRepeatRule{2, 77, 2, 0.0, 0x2A};

    Record record = exportOne();
    EXPECT_EQ(record.getField(key::RecurringFlag), "1");
    Repeat weekly;
    weekly.parse(record.getField(fieldkey::Repeat));
    EXPECT_EQ(weekly.getRepeatType(), 12);
    std::vector<int> pattern(7);
    weekly.getDayPattern(pattern.data());
    EXPECT_EQ(pattern, (std::vector<int>{0, 1, 0, 1, 0, 1, 0}));
    EXPECT_EQ(weekly.getStartDate() + "-" + weekly.getEndDate(), "20070131--1");
    EXPECT_EQ(weekly.getFrequency(), 2);

    // Back in: type 3 becomes kind 4, "0" no end, the extra value is the
    // to-do's own.
    todo->repeat = standin::TodoRepeatRule{1, 77, 1, at(2007, 6, 1), 0};
    Repeat byDate;
    byDate.setRepeatType(3);
    byDate.setFrequency(6);
    byDate.setEndDate("0");
    record.putField(fieldkey::Repeat, byDate.save());
    send(record);
    EXPECT_EQ(todo->repeat.kind, 4);
    EXPECT_EQ(todo->repeat.extra, 77);
    EXPECT_EQ(todo->repeat.interval, 6);
    EXPECT_EQ(todo->repeat.end, 0.0);

    weekly.setRepeatType(2);
    weekly.setDayOfWeek(6);
    weekly.setNumDaysToRepeat(3);
    weekly.setEndDate("20071231");
    record.putField(fieldkey::Repeat, weekly.save());
    send(record);
    EXPECT_EQ(todo->repeat.kind, 2);
    EXPECT_EQ(todo->repeat.mask, 0x61);
    EXPECT_DOUBLE_EQ(todo->repeat.end, at(2007, 12, 31));

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
    EXPECT_EQ(todo->repeat.kind, 2);
}

}  // namespace
