// The to-do part of the stand-in: TodoCollection, its category list, its
// views and TodoItem / TodoItemEx.

#include "standin/item_object.h"
#include "standin/list_objects.h"
#include "standin/standin_objects.h"

namespace standin {
namespace {

using TodoNames = ListAtSlot9<CategoryNamesObject<TodoCategoryList, TodoData>>;
using TodoList = ListAtSlot9<ItemListObject<TodoView, TodoItem, TodoData>>;

class TodoItemObject final : public ItemObject<TodoItemEx, TodoData> {
public:
    TodoItemObject(std::shared_ptr<DesktopState> state, Item item)
        : ItemObject(std::move(state), "TodoItem", std::move(item)) {}

    STANDIN_RESERVED(7)
    STANDIN_RESERVED(8)
    STANDIN_RESERVED(9)
    HRESULT STDMETHODCALLTYPE get_Description(BSTR* t) override { return getText(kBase, "get_Description", &TodoData::description, t); }
    HRESULT STDMETHODCALLTYPE put_Description(BSTR t) override { return putText(kBase, "put_Description", &TodoData::description, t); }
    HRESULT STDMETHODCALLTYPE get_Priority(long* p) override { return get(kBase, "get_Priority", &TodoData::priority, p); }
    HRESULT STDMETHODCALLTYPE put_Priority(long p) override { return put(kBase, "put_Priority", &TodoData::priority, p); }
    STANDIN_RESERVED(14)
    STANDIN_RESERVED(15)
    HRESULT STDMETHODCALLTYPE get_DueDate(DATE* d) override { return get(kBase, "get_DueDate", &TodoData::dueDate, d); }
    HRESULT STDMETHODCALLTYPE put_DueDate(DATE d) override { return put(kBase, "put_DueDate", &TodoData::dueDate, d); }
    HRESULT STDMETHODCALLTYPE get_Completed(long* f) override { return get(kBase, "get_Completed", &TodoData::completed, f); }
    HRESULT STDMETHODCALLTYPE put_Completed(long f) override { return put(kBase, "put_Completed", &TodoData::completed, f); }
    HRESULT STDMETHODCALLTYPE get_Note(BSTR* t) override { return getText(kBase, "get_Note", &TodoData::note, t); }
    HRESULT STDMETHODCALLTYPE put_Note(BSTR t) override { return putText(kBase, "put_Note", &TodoData::note, t); }
    STANDIN_RESERVED(22)
    HRESULT STDMETHODCALLTYPE put_Category(BSTR name) override { return putText(kBase, "put_Category", &TodoData::category, name); }
    STANDIN_RESERVED(24)
    STANDIN_RESERVED(25)
    HRESULT STDMETHODCALLTYPE get_Private(long* f) override { return get(kBase, "get_Private", &TodoData::isPrivate, f); }
    HRESULT STDMETHODCALLTYPE put_Private(long f) override { return put(kBase, "put_Private", &TodoData::isPrivate, f); }
    HRESULT STDMETHODCALLTYPE Delete(long argument) override { return deleteFrom(kBase, state().todos, argument); }

    STANDIN_RESERVED(29)
    HRESULT STDMETHODCALLTYPE get_Repeating(long* f) override { return get(kEx, "get_Repeating", &TodoData::repeating, f); }
    STANDIN_RESERVED(31)
    HRESULT STDMETHODCALLTYPE GetRepeat(long* kind, long* extra, long* interval, DATE* end, long* mask) override {
        return onItem(kEx, "GetRepeat", [&] {
            if (!kind || !extra || !interval || !end || !mask) return E_POINTER;
            const TodoRepeatRule& rule = item().repeat;
            *kind = rule.kind;
            *extra = rule.extra;
            *interval = rule.interval;
            *end = rule.end;
            *mask = rule.mask;
            return S_OK;
        });
    }
    STANDIN_RESERVED(33)
    HRESULT STDMETHODCALLTYPE SetRepeat(long kind, long extra, long interval, DATE end, long mask) override {
        return onItem(kEx, "SetRepeat", [&] {
            item().repeat = {kind, extra, interval, end, mask};
            item().repeating = kind != 0 ? 1 : 0;
            return S_OK;
        });
    }
    STANDIN_RESERVED(35)
    STANDIN_RESERVED(36)
    STANDIN_RESERVED(37)
    STANDIN_RESERVED(38)
    STANDIN_RESERVED(39)
    HRESULT STDMETHODCALLTYPE get_AlarmFlag(long* f) override { return get(kEx, "get_AlarmFlag", &TodoData::alarmFlag, f); }
    HRESULT STDMETHODCALLTYPE put_AlarmFlag(long f) override { return put(kEx, "put_AlarmFlag", &TodoData::alarmFlag, f); }
    STANDIN_RESERVED(42)
    STANDIN_RESERVED(43)
    HRESULT STDMETHODCALLTYPE SetAlarm(DATE moment, long daysBefore) override {
        return onItem(kEx, "SetAlarm", [&] {
            item().alarmMoment = moment;
            item().alarmDaysBefore = daysBefore;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetAlarm(DATE* moment, long* daysBefore) override {
        return onItem(kEx, "GetAlarm", [&] {
            if (!moment || !daysBefore) return E_POINTER;
            *moment = item().alarmMoment;
            *daysBefore = item().alarmDaysBefore;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_RepeatExtra(long* extra) override {
        return onItem(kEx, "get_RepeatExtra", [&] { return answerValue(item().repeat.extra, extra); });
    }

protected:
    bool answers(REFIID iid) const override {
        return IsEqualIID(iid, IID_TodoItem) || (item().extended && IsEqualIID(iid, IID_TodoItemEx));
    }

private:
    static constexpr const char* kBase = "TodoItem";
    static constexpr const char* kEx = "TodoItemEx";
};

class TodoCollectionObject final : public ComObject<TodoCollection> {
public:
    explicit TodoCollectionObject(std::shared_ptr<DesktopState> state) : ComObject(std::move(state), "TodoCollection") {}

    STANDIN_RESERVED(7)
    HRESULT STDMETHODCALLTYPE get_Categories(TodoCategoryList** list) override {
        if (list) *list = nullptr;
        return guarded("get_Categories", [&] {
            if (!list) return E_POINTER;
            return handOut(makeObject<TodoNames>(sharedState(), "TodoCategoryList", IID_TodoCategoryList,
                                                 &DesktopState::todos),
                           list);
        });
    }
    STANDIN_RESERVED(9)
    HRESULT STDMETHODCALLTYPE get_CategoryView(BSTR category, TodoView** view) override {
        if (view) *view = nullptr;
        return guarded("get_CategoryView", [&] {
            if (!view) return E_POINTER;
            return handOut(makeObject<TodoList>(sharedState(), "TodoView", IID_TodoView,
                                                state().todos.itemsIn(textOf(category)), makeTodoItem),
                           view);
        });
    }
    STANDIN_RESERVED(11)
    HRESULT STDMETHODCALLTYPE NewTodo(BSTR category, BSTR description, TodoItem** todo) override {
        if (todo) *todo = nullptr;
        return guarded("NewTodo", [&] {
            if (!todo) return E_POINTER;
            TodoData data;
            data.category = textOf(category);
            data.description = textOf(description);
            data.extended = state().todos.extendNewItems;
            return handOut(makeTodoItem(sharedState(), state().todos.add(std::move(data))), todo);
        });
    }
    STANDIN_RESERVED(13)
    STANDIN_RESERVED(14)
    HRESULT STDMETHODCALLTYPE AddCategory(BSTR name) override {
        return guarded("AddCategory", [&] { return state().todos.addCategory(textOf(name)) ? S_OK : S_FALSE; });
    }

protected:
    bool answers(REFIID iid) const override { return IsEqualIID(iid, IID_TodoCollection); }
};

}  // namespace

win::ComPtr<TodoCollection> makeTodoCollection(const std::shared_ptr<DesktopState>& state) {
    return makeAs<TodoCollection, TodoCollectionObject>(state);
}

win::ComPtr<TodoItem> makeTodoItem(const std::shared_ptr<DesktopState>& state, const TodoSection::Item& item) {
    return makeAs<TodoItem, TodoItemObject>(state, item);
}

}  // namespace standin
