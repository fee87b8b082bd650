// What the section tests take from the stand-in without checking it through
// a handler: failures planned for the n-th call only, and objects that
// outlive the desktop.

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

}  // namespace
