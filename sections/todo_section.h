#pragma once

#include <string>

#include "sections/category_walk.h"

/// Palm Desktop's to-do interfaces, as the category walk uses them.
struct TodoModel {
    using Collection = TodoCollection;
    using CategoryList = TodoCategoryList;
    using View = TodoView;
    using Item = TodoItem;
};

/// The section handler of Palm Desktop's to-do list. A to-do keeps its
/// record identifier at the head of its note. Palm Desktop's priority 1
/// travels as 0. Alarm, repeating flag and repeat rule travel only for
/// to-dos that offer TodoItemEx; the alarm travels as a time of day and the
/// date that lies the alarm's days before the due date.
class TodoSectionImpl : public CategoryWalkSection<TodoModel> {
public:
    /// A handler over `todos` (which may be null: every operation then
    /// fails).
    explicit TodoSectionImpl(TodoCollection* todos);

    /// Fills `record` from `todo` of the walked category, writing the
    /// to-do's note back with its identifier (a new one when it has none).
    void readTodo(TodoItem& todo, Record& record);
    /// Writes `record` into `todo` and returns the identifier kept in the
    /// to-do's note (the record's own "RecordId" is not written).
    std::string writeTodo(TodoItem& todo, const Record& record);
    /// The recurrence text of a to-do's repeat rule; empty for a kind other
    /// than 1 ... 5.
    std::string readTodoRepeat(TodoItemEx& todo);
    /// Sets a to-do's repeat rule from a recurrence text, keeping the rule's
    /// extra value as Palm Desktop reports it. An empty text, or a type that
    /// Palm Desktop cannot hold, leaves the rule as it was.
    void writeTodoRepeat(const std::string& repeatText, TodoItemEx& todo);

protected:
    void readItem(TodoItem& item, Record& record) override;
    std::string writeItem(TodoItem& item, const Record& record, bool existing) override;
    win::ComPtr<TodoItem> newItem(const Record& record) override;
    std::string identifierText(TodoItem& item) override;
    const char* categoryKey() const override;
};
