// The stand-in's own behaviour that the section tests rely on, exercised
// through its COM interfaces as the handlers use them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standin/standin_desktop.h"
#include "win/unique_bstr.h"

namespace {

using standin::StandinDesktop;
using win::ComPtr;

win::UniqueBstr wide(const wchar_t* text) { return win::UniqueBstr(::SysAllocString(text)); }

std::wstring text(const win::UniqueBstr& b) { return b ? std::wstring(b.get(), ::SysStringLen(b.get())) : L""; }

template <typename T>
ComPtr<T> collection(const StandinDesktop& desk, HRESULT (STDMETHODCALLTYPE PalmApplication::*getter)(IDispatch**),
                     const IID& iid) {
    ComPtr<PalmApplication> app = desk.application();
    ComPtr<IDispatch> any;
    EXPECT_EQ(((*app.get()).*getter)(any.put()), S_OK);
    HRESULT hr = E_FAIL;
    ComPtr<T> result = any.query<T>(iid, &hr);
    EXPECT_EQ(hr, S_OK);
    return result;
}

ComPtr<ContactCollection> contactsOf(const StandinDesktop& desk) {
    return collection<ContactCollection>(desk, &PalmApplication::get_Contacts, IID_ContactCollection);
}

std::vector<std::wstring> viewLastNames(ContactCollection* contacts, const wchar_t* category) {
    ComPtr<ContactView> view;
    EXPECT_EQ(contacts->get_CategoryView(wide(category).get(), view.put()), S_OK);
    long count = -1;
    EXPECT_EQ(view->get_Count(&count), S_OK);
    std::vector<std::wstring> names;
    for (long i = 0; i < count; ++i) {
        ComPtr<ContactItem> item;
        EXPECT_EQ(view->get_Item(i, item.put()), S_OK);
        win::UniqueBstr name;
        EXPECT_EQ(item->get_LastName(name.put()), S_OK);
        names.push_back(text(name));
    }
    return names;
}

TEST(Standin, ApplicationHandsOutEachCollectionUnderItsOwnInterface) {
    StandinDesktop desk;
    ComPtr<PalmApplication> app = desk.application();
    ComPtr<IDispatch> any;
    ASSERT_EQ(app->get_Contacts(any.put()), S_OK);
    HRESULT hr = S_OK;
    EXPECT_FALSE(any.query<MemoCollection>(IID_MemoCollection, &hr));
    EXPECT_EQ(hr, E_NOINTERFACE);
    EXPECT_TRUE(contactsOf(desk));
    EXPECT_TRUE(collection<CalendarCollection>(desk, &PalmApplication::get_Calendar, IID_CalendarCollection));
    EXPECT_TRUE(collection<MemoCollection>(desk, &PalmApplication::get_Memos, IID_MemoCollection));
    EXPECT_TRUE(collection<TodoCollection>(desk, &PalmApplication::get_TodoList, IID_TodoCollection));
}

TEST(Standin, ViewsFollowCategoryChangesAndDeletion) {
    StandinDesktop desk;
    desk.contacts().addCategory(L"Work");
    desk.contacts().addCategory(L"Home");
    desk.addContact(L"Work", L"", L"A");
    desk.addContact(L"Home", L"", L"B");
    desk.addContact(L"Work", L"", L"C");
    ComPtr<ContactCollection> contacts = contactsOf(desk);
    EXPECT_EQ(viewLastNames(contacts.get(), L"Work"), (std::vector<std::wstring>{L"A", L"C"}));

    ComPtr<ContactView> work;
    ASSERT_EQ(contacts->get_CategoryView(wide(L"Work").get(), work.put()), S_OK);
    ComPtr<ContactItem> a, c;
    ASSERT_EQ(work->get_Item(0, a.put()), S_OK);
    ASSERT_EQ(work->get_Item(1, c.put()), S_OK);
    EXPECT_EQ(a->put_Category(wide(L"Home").get()), S_OK);
    EXPECT_EQ(viewLastNames(contacts.get(), L"Home"), (std::vector<std::wstring>{L"A", L"B"}));
    EXPECT_EQ(viewLastNames(contacts.get(), L"Work"), (std::vector<std::wstring>{L"C"}));

    EXPECT_EQ(c->Delete(0), S_OK);
    EXPECT_EQ(c->Delete(0), S_FALSE);
    EXPECT_TRUE(viewLastNames(contacts.get(), L"Work").empty());
    EXPECT_EQ(desk.contacts().items().size(), 2u);
    // The old snapshot keeps the deleted item, which refuses every call.
    long count = 0;
    EXPECT_EQ(work->get_Count(&count), S_OK);
    EXPECT_EQ(count, 2);
    win::UniqueBstr note;
    EXPECT_EQ(c->get_Note(note.put()), standin::kItemDeleted);
    EXPECT_TRUE(viewLastNames(contacts.get(), L"Nowhere").empty());
}

TEST(Standin, CategoryListsAreLiveWithoutDuplicatesAndCheckIndexes) {
    StandinDesktop desk;
    ComPtr<MemoCollection> memos = collection<MemoCollection>(desk, &PalmApplication::get_Memos, IID_MemoCollection);
    ComPtr<MemoCategoryList> names;
    ASSERT_EQ(memos->get_Categories(names.put()), S_OK);
    win::UniqueBstr name;
    EXPECT_EQ(names->get_Item(0, name.put()), E_INVALIDARG);
    EXPECT_EQ(memos->AddCategory(wide(L"Ideas").get()), S_OK);
    EXPECT_EQ(memos->AddCategory(wide(L"Ideas").get()), S_FALSE);
    EXPECT_EQ(memos->AddCategory(nullptr), S_OK);
    long count = 0;
    EXPECT_EQ(names->get_Count(&count), S_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(names->get_Item(1, name.put()), S_OK);
    EXPECT_EQ(text(name), L"");
    EXPECT_EQ(names->get_Item(2, name.put()), E_INVALIDARG);
    EXPECT_EQ(names->get_Item(-1, name.put()), E_INVALIDARG);

    ComPtr<MemoItem> memo;
    ASSERT_EQ(memos->NewMemo(wide(L"Elsewhere").get(), wide(L"hello").get(), memo.put()), S_OK);
    EXPECT_EQ(desk.memos().categories().size(), 2u);
    ASSERT_EQ(desk.memos().items().size(), 1u);
    EXPECT_EQ(desk.memos().items()[0]->category, L"Elsewhere");
    EXPECT_EQ(desk.memos().items()[0]->text, L"hello");
}

TEST(Standin, ContactsKeepPhonesCustomFieldsAndExtension) {
    StandinDesktop desk;
    ComPtr<ContactCollection> contacts = contactsOf(desk);
    ComPtr<ContactItem> item;
    ASSERT_EQ(contacts->NewContact(wide(L"Work").get(), wide(L"Ann").get(), wide(L"Lee").get(), item.put()), S_OK);
    long label = -1;
    win::UniqueBstr phone;
    EXPECT_EQ(item->GetPhone(6, &label, phone.put()), S_OK);
    EXPECT_EQ(label, 6);
    EXPECT_EQ(item->SetPhone(7, 7, wide(L"555").get()), S_OK);
    EXPECT_EQ(item->GetPhone(7, &label, phone.put()), S_OK);
    EXPECT_EQ(text(phone), L"555");
    EXPECT_EQ(item->SetPhone(8, 0, nullptr), E_INVALIDARG);
    EXPECT_EQ(item->put_Custom(8, wide(L"nine").get()), S_OK);
    EXPECT_EQ(item->put_Custom(9, nullptr), E_INVALIDARG);

    ComPtr<ContactItemEx> ex = item.query<ContactItemEx>(IID_ContactItemEx);
    ASSERT_TRUE(ex);
    EXPECT_EQ(ex->put_AddressCity(2, wide(L"Oslo").get()), S_OK);
    EXPECT_EQ(ex->put_AddressCity(3, nullptr), E_INVALIDARG);
    EXPECT_EQ(ex->SetIm(1, 3, wide(L"ann@im").get()), S_OK);
    EXPECT_EQ(ex->put_Birthday(30000.0), S_OK);

    const auto& stored = *desk.contacts().items().at(0);
    EXPECT_EQ(stored.firstName, L"Ann");
    EXPECT_EQ(stored.phones[7].text, L"555");
    EXPECT_EQ(stored.custom[8], L"nine");
    EXPECT_EQ(stored.addresses[2].city, L"Oslo");
    EXPECT_EQ(stored.ims[1].kind, 3);
    EXPECT_EQ(stored.birthday, 30000.0);

    desk.contacts().extendNewItems = false;
    ComPtr<ContactItem> plain;
    ASSERT_EQ(contacts->NewContact(nullptr, nullptr, nullptr, plain.put()), S_OK);
    HRESULT hr = S_OK;
    EXPECT_FALSE(plain.query<ContactItemEx>(IID_ContactItemEx, &hr));
    EXPECT_EQ(hr, E_NOINTERFACE);
    EXPECT_TRUE(plain.query<ContactItem>(IID_ContactItem));
}

TEST(Standin, TodoRepeatAndAlarm) {
    StandinDesktop desk;
    auto todo = desk.addTodo(L"Chores", L"Bins");
    todo->repeat.extra = 42;
    ComPtr<TodoCollection> todos = collection<TodoCollection>(desk, &PalmApplication::get_TodoList, IID_TodoCollection);
    ComPtr<TodoView> view;
    ASSERT_EQ(todos->get_CategoryView(wide(L"Chores").get(), view.put()), S_OK);
    ComPtr<TodoItem> item;
    ASSERT_EQ(view->get_Item(0, item.put()), S_OK);
    ComPtr<TodoItemEx> ex = item.query<TodoItemEx>(IID_TodoItemEx);
    ASSERT_TRUE(ex);
    long extra = 0, repeating = -1;
    EXPECT_EQ(ex->get_RepeatExtra(&extra), S_OK);
    EXPECT_EQ(extra, 42);
    EXPECT_EQ(ex->SetRepeat(2, extra, 1, 0.0, 0x2A), S_OK);
    EXPECT_EQ(ex->get_Repeating(&repeating), S_OK);
    EXPECT_EQ(repeating, 1);
    EXPECT_EQ(ex->SetAlarm(39508.375, 1), S_OK);
    DATE moment = 0;
    long days = 0;
    EXPECT_EQ(ex->GetAlarm(&moment, &days), S_OK);
    EXPECT_EQ(moment, 39508.375);
    EXPECT_EQ(days, 1);
    EXPECT_EQ(todo->repeat.mask, 0x2A);
    EXPECT_EQ(ex->SetRepeat(0, 0, 0, 0.0, 0), S_OK);
    EXPECT_EQ(todo->repeating, 0);
}

TEST(Standin, EventListHoldsTheWindowByStart) {
    StandinDesktop desk;
    desk.addEvent(5.0, 5.5, L"five");
    desk.addEvent(3.0, 3.5, L"three-a");
    desk.addEvent(1.0, 1.5, L"one");
    desk.addEvent(3.0, 3.2, L"three-b");
    desk.addEvent(6.0, 6.5, L"six");
    auto calendar = collection<CalendarCollection>(desk, &PalmApplication::get_Calendar, IID_CalendarCollection);
    ComPtr<EventItem> added;
    ASSERT_EQ(calendar->NewEvent(2.0, 2.5, wide(L"two").get(), added.put()), S_OK);

    ComPtr<EventList> list;
    ASSERT_EQ(calendar->Events(2.0, 5.0, list.put()), S_OK);
    long count = 0;
    ASSERT_EQ(list->get_Count(&count), S_OK);
    std::vector<std::wstring> seen;
    for (long i = 0; i < count; ++i) {
        ComPtr<EventItem> event;
        ASSERT_EQ(list->get_Item(i, event.put()), S_OK);
        win::UniqueBstr description;
        ASSERT_EQ(event->get_Description(description.put()), S_OK);
        seen.push_back(text(description));
    }
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"two", L"three-a", L"three-b", L"five"}));
    ComPtr<EventItem> beyond;
    EXPECT_EQ(list->get_Item(count, beyond.put()), E_INVALIDARG);

    desk.calendar().items()[0]->extended = false;
    ComPtr<EventItem> first;
    ASSERT_EQ(list->get_Item(3, first.put()), S_OK);
    EXPECT_FALSE(first.query<EventItemEx>(IID_EventItemEx));
    EXPECT_TRUE(added.query<EventItemEx>(IID_EventItemEx));
    EXPECT_EQ(added->put_Category(wide(L"Travel").get()), S_OK);
    EXPECT_EQ(desk.calendar().categories(), (std::vector<std::wstring>{L"Travel"}));
}

TEST(Standin, ExceptionSearchDeliversAscendingWithStatuses) {
    StandinDesktop desk;
    desk.addEvent(1.0, 1.0, L"weekly");
    auto calendar = collection<CalendarCollection>(desk, &PalmApplication::get_Calendar, IID_CalendarCollection);
    ComPtr<EventList> list;
    ASSERT_EQ(calendar->Events(0.0, 100.0, list.put()), S_OK);
    ComPtr<EventItem> event;
    ASSERT_EQ(list->get_Item(0, event.put()), S_OK);
    for (DATE d : {20.0, 12.0, 14.0, 10.0}) EXPECT_EQ(event->AddException(d), S_OK);
    EXPECT_EQ(event->AddException(12.0), S_FALSE);
    long exceptions = 0;
    EXPECT_EQ(event->get_ExceptionCount(&exceptions), S_OK);
    EXPECT_EQ(exceptions, 4);

    long cursor = 0, status = 0;
    DATE date = -1;
    ASSERT_EQ(event->FirstException(11.0, 15.0, &cursor, &status), S_OK);
    EXPECT_EQ(status, 1);
    ASSERT_EQ(event->NextException(cursor, 15.0, &date, &status), S_OK);
    EXPECT_EQ(date, 12.0);
    EXPECT_EQ(status, 1);
    ASSERT_EQ(event->NextException(cursor, 15.0, &date, &status), S_OK);
    EXPECT_EQ(date, 14.0);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(event->NextException(cursor, 15.0, &date, &status), S_OK);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(date, 0.0);

    ASSERT_EQ(event->FirstException(15.0, 19.0, &cursor, &status), S_OK);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(event->NextException(cursor + 100, 19.0, &date, &status), E_INVALIDARG);
}

TEST(Standin, PlannedFailuresHitTheChosenCallOnly) {
    StandinDesktop desk;
    auto contact = desk.addContact(L"Work", L"Ann", L"Lee");
    ComPtr<ContactCollection> contacts = contactsOf(desk);
    ComPtr<ContactView> view;
    ASSERT_EQ(contacts->get_CategoryView(wide(L"Work").get(), view.put()), S_OK);
    ComPtr<ContactItem> item;
    ASSERT_EQ(view->get_Item(0, item.put()), S_OK);

    desk.faults().failOn("ContactItem.put_Note", 2, E_ACCESSDENIED);
    EXPECT_EQ(item->put_Note(wide(L"one").get()), S_OK);
    EXPECT_EQ(item->put_Note(wide(L"two").get()), E_ACCESSDENIED);
    EXPECT_EQ(contact->note, L"one");
    EXPECT_EQ(item->put_Note(wide(L"three").get()), S_OK);
    EXPECT_EQ(desk.faults().calls("ContactItem.put_Note"), 3);

    desk.faults().failFrom("ContactView.get_Item", 1, E_UNEXPECTED);
    EXPECT_EQ(view->get_Item(0, item.put()), E_UNEXPECTED);
    EXPECT_FALSE(item);
    EXPECT_EQ(view->get_Item(0, item.put()), E_UNEXPECTED);
    desk.faults().clear();
    EXPECT_EQ(view->get_Item(0, item.put()), S_OK);

    desk.faults().failOn("ContactCollection.QueryInterface", 1, E_NOINTERFACE);
    ComPtr<PalmApplication> app = desk.application();
    ComPtr<IDispatch> any;
    ASSERT_EQ(app->get_Contacts(any.put()), S_OK);
    EXPECT_FALSE(any.query<ContactCollection>(IID_ContactCollection));
    desk.faults().failOn("PalmApplication.get_Contacts", 1, E_FAIL);
    EXPECT_EQ(app->get_Contacts(any.put()), E_FAIL);
}

TEST(Standin, ObjectsOutliveTheDesktop) {
    ComPtr<PalmApplication> app;
    {
        StandinDesktop desk;
        desk.addMemo(L"Ideas", L"keep me");
        app = desk.application();
    }
    ComPtr<IDispatch> any;
    ASSERT_EQ(app->get_Memos(any.put()), S_OK);
    ComPtr<MemoCollection> memos = any.query<MemoCollection>(IID_MemoCollection);
    ComPtr<MemoView> view;
    ASSERT_EQ(memos->get_CategoryView(wide(L"Ideas").get(), view.put()), S_OK);
    ComPtr<MemoItem> memo;
    ASSERT_EQ(view->get_Item(0, memo.put()), S_OK);
    win::UniqueBstr body;
    ASSERT_EQ(memo->get_Text(body.put()), S_OK);
    EXPECT_EQ(text(body), L"keep me");
}

}  // namespace
