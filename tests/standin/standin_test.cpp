// What the section tests take from the stand-in without checking it through
// a handler: failures planned for the n-th call only, objects that outlive
// the desktop, and the arguments and interfaces it refuses.

#include <gtest/gtest.h>

#include "standin/standin_desktop.h"
#include "win/unique_bstr.h"

namespace {

using win::ComPtr;

win::UniqueBstr wide(const wchar_t* text) { return win::UniqueBstr(::SysAllocString(text)); }

TEST(Standin, PlannedFailuresHitTheChosenCallOnly) {
    standin::StandinDesktop desk;
    auto contact = desk.addContact(L"Work", L"Ann", L"Lee");
    ComPtr<IDispatch> any;
    ASSERT_EQ(desk.application()->get_Contacts(any.put()), S_OK);
    ComPtr<ContactCollection> contacts = any.query<ContactCollection>(IID_ContactCollection);
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
    EXPECT_EQ(view->get_Item(0, item.put()), E_UNEXPECTED);
    desk.faults().clear();
    EXPECT_EQ(view->get_Item(0, item.put()), S_OK);
}

TEST(Standin, ObjectsOutliveTheDesktop) {
    ComPtr<PalmApplication> app;
    {
        standin::StandinDesktop desk;
        desk.addMemo(L"Ideas", L"keep me");
        app = desk.application();
    }
    ComPtr<IDispatch> any;
    ASSERT_EQ(app->get_Memos(any.put()), S_OK);
    ComPtr<MemoView> view;
    ASSERT_EQ(any.query<MemoCollection>(IID_MemoCollection)->get_CategoryView(wide(L"Ideas").get(), view.put()), S_OK);
    ComPtr<MemoItem> memo;
    ASSERT_EQ(view->get_Item(0, memo.put()), S_OK);
    win::UniqueBstr body;
    ASSERT_EQ(memo->get_Text(body.put()), S_OK);
    EXPECT_STREQ(body.get(), L"keep me");
}

// Delete takes 0 and an IM entry kind 0; an item made without its
// extension interface answers none of the extension's slots.
TEST(Standin, RefusesWrongArgumentsAndMissingExtensions) {
    standin::StandinDesktop desk;
    auto contact = desk.addContact(L"Work", L"Ann", L"Lee");
    auto todo = desk.addTodo(L"Work", L"Call");
    auto event = desk.addEvent(40000, 40000, L"Meet");
    contact->extended = todo->extended = event->extended = false;
    ComPtr<IDispatch> any;
    ComPtr<ContactView> contacts;
    ComPtr<TodoView> todos;
    ComPtr<EventList> events;
    ComPtr<ContactItem> contactItem;
    ComPtr<TodoItem> todoItem;
    ComPtr<EventItem> eventItem;
    ASSERT_EQ(desk.application()->get_Contacts(any.put()), S_OK);
    ASSERT_EQ(any.query<ContactCollection>(IID_ContactCollection)->get_CategoryView(wide(L"Work").get(), contacts.put()), S_OK);
    ASSERT_EQ(desk.application()->get_TodoList(any.put()), S_OK);
    ASSERT_EQ(any.query<TodoCollection>(IID_TodoCollection)->get_CategoryView(wide(L"Work").get(), todos.put()), S_OK);
    ASSERT_EQ(desk.application()->get_Calendar(any.put()), S_OK);
    ASSERT_EQ(any.query<CalendarCollection>(IID_CalendarCollection)->Events(0, 50000, events.put()), S_OK);
    ASSERT_EQ(contacts->get_Item(0, contactItem.put()), S_OK);
    ASSERT_EQ(todos->get_Item(0, todoItem.put()), S_OK);
    ASSERT_EQ(events->get_Item(0, eventItem.put()), S_OK);
    // Calls straight into the extension's slots, as a caller that skipped
    // QueryInterface would make them.
    auto* c = static_cast<ContactItemEx*>(contactItem.get());
    auto* t = static_cast<TodoItemEx*>(todoItem.get());
    auto* e = static_cast<EventItemEx*>(eventItem.get());
    long value = 0;
    DATE date = 0;
    win::UniqueBstr text;
    const std::pair<const char*, HRESULT> refused[] = {
        {"ContactItemEx.get_WebSite", c->get_WebSite(text.put())},
        {"ContactItemEx.put_Birthday", c->put_Birthday(1.0)},
        {"ContactItemEx.GetIm", c->GetIm(0, &value, text.put())},
        {"TodoItemEx.get_AlarmFlag", t->get_AlarmFlag(&value)},
        {"TodoItemEx.GetAlarm", t->GetAlarm(&date, &value)},
        {"EventItemEx.get_Location", e->get_Location(text.put())},
        {"EventItemEx.put_Location", e->put_Location(nullptr)},
        {"ContactItem.Delete(1)", c->Delete(1)},
        {"TodoItem.Delete(-1)", t->Delete(-1)},
        {"EventItem.Delete(1)", e->Delete(1)}};
    for (const auto& [call, hr] : refused) EXPECT_TRUE(FAILED(hr)) << call;
    EXPECT_FALSE(contact->deleted || todo->deleted || event->deleted);
    // The base interface still answers; extended again, the extension does.
    EXPECT_EQ(c->get_FirstName(text.put()), S_OK);
    contact->extended = true;
    EXPECT_EQ(c->SetIm(1, 1, nullptr), E_INVALIDARG);
    EXPECT_EQ(c->SetIm(1, 0, wide(L"im").get()), S_OK);
    EXPECT_EQ(contact->ims[1].text, L"im");
    EXPECT_EQ(c->Delete(0), S_OK);
    EXPECT_TRUE(contact->deleted);
}

}  // namespace
