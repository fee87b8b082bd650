#include "sections/todo_section.h"

#include <cstdint>
#include <optional>

#include "record/date_time.h"
#include "record/number_text.h"
#include "record/repeat.h"
#include "sections/calendar_recurrence.h"
#include "sections/text_property.h"

namespace {

namespace key = fieldkey::todo;

constexpr std::int64_t secondsPerDay = 86400;

std::string todoNote(TodoItem& todo) { return getText(todo, &TodoItem::get_Note); }

void setTodoNote(TodoItem& todo, const RecordIdNote& note)
{
    putText(todo, &TodoItem::put_Note, note.composeNote());
}

std::string decimal(long value)
{
    return std::to_string(value);
}

long numberOf(const Record& record, const char* fieldKey)
{
    return number_text::readInt(record.getField(fieldKey));
}

/// Seconds since 1970 of a date text at 00:00.
std::int64_t daySeconds(const std::string& dateText)
{
    DateTimeFields day;
    day.setFromTexts(dateText, std::string());
    return day.toSecondsSince1970();
}

}  // namespace

TodoSectionImpl::TodoSectionImpl(TodoCollection* todos) : CategoryWalkSection(todos) {}

void TodoSectionImpl::readItem(TodoItem& item, Record& record) { readTodo(item, record); }

std::string TodoSectionImpl::writeItem(TodoItem& item, const Record& record, bool) { return writeTodo(item, record); }

win::ComPtr<TodoItem> TodoSectionImpl::newItem(const Record& record)
{
    win::ComPtr<TodoItem> todo;
    win::check(win::required(collection)->NewTodo(win::makeBstr(record.getField(key::Category)).get(),
                                                   win::makeBstr(record.getField(key::Description)).get(),
                                                   todo.put()));
    return todo;
}

std::string TodoSectionImpl::identifierText(TodoItem& item) { return todoNote(item); }

const char* TodoSectionImpl::categoryKey() const { return key::Category; }

void TodoSectionImpl::readTodo(TodoItem& todo, Record& record)
{
    record.putField(key::Description, getText(todo, &TodoItem::get_Description));

    double due = 0.0;
    win::check(todo.get_DueDate(&due));
    const std::string dueDate = dateValueToDateText(due);
    record.putField(key::DueDate, dueDate);

    long completed = 0, priority = 0, privateFlag = 0;
    win::check(todo.get_Completed(&completed));
    record.putField(key::CompletedFlag, decimal(completed));
    win::check(todo.get_Priority(&priority));
    record.putField(key::Priority, decimal(priority - 1));
    win::check(todo.get_Private(&privateFlag));
    record.putField(key::ConfidentialFlag, decimal(privateFlag));
    record.putField(key::Category, walkedCategory());

    const RecordIdNote note(todoNote(todo));
    setTodoNote(todo, note);
    record.putField(fieldkey::RecordId, note.getRecordId());
    record.putField(key::Notes, note.getNoteText());

    const win::ComPtr<TodoItemEx> extended = win::ComPtr<TodoItem>::share(&todo).query<TodoItemEx>(IID_TodoItemEx);
    if (!extended) return;

    long alarm = 0;
    win::check(extended->get_AlarmFlag(&alarm));
    record.putField(key::AlarmFlag, decimal(alarm));
    if (alarm != 0) {
        double moment = 0.0;
        long daysBefore = 0;
        win::check(extended->GetAlarm(&moment, &daysBefore));
        DateTimeFields alarmTime;
        alarmTime.setFromDateValue(moment);
        record.putField(key::AlarmTime, alarmTime.toTimeText());
        DateTimeFields alarmDay;
        alarmDay.setFromSecondsSince1970(static_cast<std::int32_t>(daySeconds(dueDate) - daysBefore * secondsPerDay));
        record.putField(key::AlarmDate, alarmDay.toDateText());
    }

    long repeating = 0;
    win::check(extended->get_Repeating(&repeating));
    record.putField(key::RecurringFlag, decimal(repeating));
    if (repeating != 0) record.putField(fieldkey::Repeat, readTodoRepeat(*extended.get()));
}

std::string TodoSectionImpl::writeTodo(TodoItem& todo, const Record& record)
{
    putText(todo, &TodoItem::put_Description, record.getField(key::Description));
    const std::string dueDate = record.getField(key::DueDate);
    win::check(todo.put_DueDate(dateTextToDateValue(dueDate)));
    win::check(todo.put_Completed(numberOf(record, key::CompletedFlag)));
    win::check(todo.put_Priority(numberOf(record, key::Priority) + 1));
    win::check(todo.put_Private(numberOf(record, key::ConfidentialFlag)));
    putText(todo, &TodoItem::put_Category, record.getField(key::Category));

    RecordIdNote note(todoNote(todo));
    note.setNoteText(record.getField(key::Notes));
    setTodoNote(todo, note);

    const win::ComPtr<TodoItemEx> extended = win::ComPtr<TodoItem>::share(&todo).query<TodoItemEx>(IID_TodoItemEx);
    if (extended) {
        const long alarm = numberOf(record, key::AlarmFlag);
        win::check(extended->put_AlarmFlag(alarm));
        if (alarm != 0) {
            DateTimeFields moment;
            moment.setFromTexts(dueDate, record.getField(key::AlarmTime));
            // Both days are read at 00:00, so the alarm's time of day does
            // not count; C++ division truncates toward zero.
            const std::int64_t days = (daySeconds(dueDate) - daySeconds(record.getField(key::AlarmDate))) / secondsPerDay;
            win::check(extended->SetAlarm(moment.toDateValue(), static_cast<long>(days)));
        }
        writeTodoRepeat(record.getField(fieldkey::Repeat), *extended.get());
    }
    return note.getRecordId();
}

std::string TodoSectionImpl::readTodoRepeat(TodoItemEx& todo)
{
    long kind = 0, extra = 0, interval = 0, mask = 0;
    double end = 0.0;
    win::check(todo.GetRepeat(&kind, &extra, &interval, &end, &mask));
    // A to-do without due date breaks down as 30 December 1899.
    double dueValue = 0.0;
    win::check(todo.get_DueDate(&dueValue));
    DateTimeFields due;
    due.setFromDateValue(dueValue);
    const std::optional<Repeat> repeat = repeatOfPalmRule(kind, interval, end, mask, due);
    return repeat ? repeat->save() : std::string();
}

void TodoSectionImpl::writeTodoRepeat(const std::string& repeatText, TodoItemEx& todo)
{
    if (repeatText.empty()) return;
    Repeat repeat;
    repeat.parse(repeatText);
    const std::optional<PalmRepeatRule> rule = palmRuleOf(repeat);
    if (!rule) return;

    long extra = 0;
    win::check(todo.get_RepeatExtra(&extra));
    win::check(todo.SetRepeat(rule->kind, extra, repeat.getFrequency(), palmEndDate(repeat.getEndDate()), rule->mask));
}
