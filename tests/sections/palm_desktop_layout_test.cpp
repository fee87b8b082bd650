// Checks that the declarations of Palm Desktop's object model put every
// method the handlers call at the vtable slot Palm Desktop uses. The C
// layout of the generated *Vtbl structs is the vtable itself.
#define CINTERFACE
#include <windows.h>

#include <cstddef>

#include <gtest/gtest.h>

#include "sections/palm_desktop.h"

namespace {

#define SLOT(vtbl, method) (offsetof(vtbl, method) / sizeof(void*))

TEST(PalmDesktopLayout, DispatchHeadAndApplication) {
    EXPECT_EQ(SLOT(PalmApplicationVtbl, QueryInterface), 0u);
    EXPECT_EQ(SLOT(PalmApplicationVtbl, Invoke), 6u);
    EXPECT_EQ(SLOT(PalmApplicationVtbl, get_Contacts), 10u);
    EXPECT_EQ(SLOT(PalmApplicationVtbl, get_Calendar), 11u);
    EXPECT_EQ(SLOT(PalmApplicationVtbl, get_Memos), 12u);
    EXPECT_EQ(SLOT(PalmApplicationVtbl, get_TodoList), 13u);
    EXPECT_EQ(sizeof(PalmApplicationVtbl) / sizeof(void*), 14u);
}

TEST(PalmDesktopLayout, Contacts) {
    EXPECT_EQ(SLOT(ContactCollectionVtbl, get_Categories), 7u);
    EXPECT_EQ(SLOT(ContactCollectionVtbl, get_CategoryView), 9u);
    EXPECT_EQ(SLOT(ContactCollectionVtbl, NewContact), 11u);
    EXPECT_EQ(SLOT(ContactCollectionVtbl, AddCategory), 15u);
    EXPECT_EQ(SLOT(ContactCategoryListVtbl, get_Count), 7u);
    EXPECT_EQ(SLOT(ContactCategoryListVtbl, get_Item), 8u);
    EXPECT_EQ(SLOT(ContactViewVtbl, get_Count), 7u);
    EXPECT_EQ(SLOT(ContactViewVtbl, get_Item), 8u);

    EXPECT_EQ(SLOT(ContactItemVtbl, get_FirstName), 7u);
    EXPECT_EQ(SLOT(ContactItemVtbl, put_LastName), 10u);
    EXPECT_EQ(SLOT(ContactItemVtbl, put_Country), 24u);
    EXPECT_EQ(SLOT(ContactItemVtbl, get_Note), 25u);
    EXPECT_EQ(SLOT(ContactItemVtbl, put_Note), 26u);
    EXPECT_EQ(SLOT(ContactItemVtbl, get_Custom), 27u);
    EXPECT_EQ(SLOT(ContactItemVtbl, put_Custom), 28u);
    EXPECT_EQ(SLOT(ContactItemVtbl, put_Category), 31u);
    EXPECT_EQ(SLOT(ContactItemVtbl, Delete), 32u);
    EXPECT_EQ(SLOT(ContactItemVtbl, get_Private), 38u);
    EXPECT_EQ(SLOT(ContactItemVtbl, put_Private), 39u);
    EXPECT_EQ(SLOT(ContactItemVtbl, GetPhone), 40u);
    EXPECT_EQ(SLOT(ContactItemVtbl, SetPhone), 41u);
    EXPECT_EQ(SLOT(ContactItemVtbl, get_ReadingFirstName), 44u);
    EXPECT_EQ(SLOT(ContactItemVtbl, put_ReadingCompany), 49u);

    EXPECT_EQ(SLOT(ContactItemExVtbl, get_Note), 25u);
    EXPECT_EQ(SLOT(ContactItemExVtbl, get_WebSite), 50u);
    EXPECT_EQ(SLOT(ContactItemExVtbl, put_WebSite), 51u);
    EXPECT_EQ(SLOT(ContactItemExVtbl, get_AddressStreet), 52u);
    EXPECT_EQ(SLOT(ContactItemExVtbl, put_AddressCountry), 61u);
    EXPECT_EQ(SLOT(ContactItemExVtbl, get_Birthday), 62u);
    EXPECT_EQ(SLOT(ContactItemExVtbl, put_Birthday), 63u);
    EXPECT_EQ(SLOT(ContactItemExVtbl, GetIm), 66u);
    EXPECT_EQ(SLOT(ContactItemExVtbl, SetIm), 67u);
}

TEST(PalmDesktopLayout, MemosAndTodoLists) {
    EXPECT_EQ(SLOT(MemoCollectionVtbl, get_Categories), 8u);
    EXPECT_EQ(SLOT(MemoCollectionVtbl, get_CategoryView), 10u);
    EXPECT_EQ(SLOT(MemoCollectionVtbl, NewMemo), 12u);
    EXPECT_EQ(SLOT(MemoCollectionVtbl, AddCategory), 15u);
    EXPECT_EQ(SLOT(TodoCollectionVtbl, get_Categories), 8u);
    EXPECT_EQ(SLOT(TodoCollectionVtbl, get_CategoryView), 10u);
    EXPECT_EQ(SLOT(TodoCollectionVtbl, NewTodo), 12u);
    EXPECT_EQ(SLOT(TodoCollectionVtbl, AddCategory), 15u);
    EXPECT_EQ(SLOT(MemoCategoryListVtbl, get_Count), 9u);
    EXPECT_EQ(SLOT(MemoCategoryListVtbl, get_Item), 10u);
    EXPECT_EQ(SLOT(MemoViewVtbl, get_Item), 10u);
    EXPECT_EQ(SLOT(TodoCategoryListVtbl, get_Item), 10u);
    EXPECT_EQ(SLOT(TodoViewVtbl, get_Count), 9u);
    EXPECT_EQ(SLOT(TodoViewVtbl, get_Item), 10u);

    EXPECT_EQ(SLOT(MemoItemVtbl, get_Text), 10u);
    EXPECT_EQ(SLOT(MemoItemVtbl, put_Text), 11u);
    EXPECT_EQ(SLOT(MemoItemVtbl, put_Category), 13u);
    EXPECT_EQ(SLOT(MemoItemVtbl, get_Private), 16u);
    EXPECT_EQ(SLOT(MemoItemVtbl, put_Private), 17u);
    EXPECT_EQ(SLOT(MemoItemVtbl, Delete), 18u);
}

TEST(PalmDesktopLayout, Todos) {
    EXPECT_EQ(SLOT(TodoItemVtbl, get_Description), 10u);
    EXPECT_EQ(SLOT(TodoItemVtbl, put_Priority), 13u);
    EXPECT_EQ(SLOT(TodoItemVtbl, get_DueDate), 16u);
    EXPECT_EQ(SLOT(TodoItemVtbl, put_Completed), 19u);
    EXPECT_EQ(SLOT(TodoItemVtbl, get_Note), 20u);
    EXPECT_EQ(SLOT(TodoItemVtbl, put_Note), 21u);
    EXPECT_EQ(SLOT(TodoItemVtbl, put_Category), 23u);
    EXPECT_EQ(SLOT(TodoItemVtbl, get_Private), 26u);
    EXPECT_EQ(SLOT(TodoItemVtbl, Delete), 28u);

    EXPECT_EQ(SLOT(TodoItemExVtbl, get_DueDate), 16u);
    EXPECT_EQ(SLOT(TodoItemExVtbl, get_Repeating), 30u);
    EXPECT_EQ(SLOT(TodoItemExVtbl, GetRepeat), 32u);
    EXPECT_EQ(SLOT(TodoItemExVtbl, SetRepeat), 34u);
    EXPECT_EQ(SLOT(TodoItemExVtbl, get_AlarmFlag), 40u);
    EXPECT_EQ(SLOT(TodoItemExVtbl, put_AlarmFlag), 41u);
    EXPECT_EQ(SLOT(TodoItemExVtbl, SetAlarm), 44u);
    EXPECT_EQ(SLOT(TodoItemExVtbl, GetAlarm), 45u);
    EXPECT_EQ(SLOT(TodoItemExVtbl, get_RepeatExtra), 46u);
}

TEST(PalmDesktopLayout, Calendar) {
    EXPECT_EQ(SLOT(CalendarCollectionVtbl, get_Categories), 8u);
    EXPECT_EQ(SLOT(CalendarCollectionVtbl, Events), 12u);
    EXPECT_EQ(SLOT(CalendarCollectionVtbl, NewEvent), 15u);
    EXPECT_EQ(SLOT(CalendarCategoryListVtbl, get_Count), 7u);
    EXPECT_EQ(SLOT(CalendarCategoryListVtbl, get_Item), 8u);
    EXPECT_EQ(SLOT(EventListVtbl, get_Count), 9u);
    EXPECT_EQ(SLOT(EventListVtbl, get_Item), 10u);

    EXPECT_EQ(SLOT(EventItemVtbl, get_Start), 12u);
    EXPECT_EQ(SLOT(EventItemVtbl, put_Start), 13u);
    EXPECT_EQ(SLOT(EventItemVtbl, get_End), 16u);
    EXPECT_EQ(SLOT(EventItemVtbl, put_Untimed), 19u);
    EXPECT_EQ(SLOT(EventItemVtbl, get_Description), 20u);
    EXPECT_EQ(SLOT(EventItemVtbl, put_Note), 23u);
    EXPECT_EQ(SLOT(EventItemVtbl, get_Repeating), 24u);
    EXPECT_EQ(SLOT(EventItemVtbl, get_ExceptionCount), 25u);
    EXPECT_EQ(SLOT(EventItemVtbl, get_AlarmFlag), 26u);
    EXPECT_EQ(SLOT(EventItemVtbl, put_AlarmFlag), 27u);
    EXPECT_EQ(SLOT(EventItemVtbl, AddException), 29u);
    EXPECT_EQ(SLOT(EventItemVtbl, FirstException), 33u);
    EXPECT_EQ(SLOT(EventItemVtbl, NextException), 35u);
    EXPECT_EQ(SLOT(EventItemVtbl, SetAlarmLead), 36u);
    EXPECT_EQ(SLOT(EventItemVtbl, GetAlarmLead), 37u);
    EXPECT_EQ(SLOT(EventItemVtbl, GetRepeat), 39u);
    EXPECT_EQ(SLOT(EventItemVtbl, SetRepeat), 41u);
    EXPECT_EQ(SLOT(EventItemVtbl, get_Category), 43u);
    EXPECT_EQ(SLOT(EventItemVtbl, put_Category), 44u);
    EXPECT_EQ(SLOT(EventItemVtbl, get_Private), 47u);
    EXPECT_EQ(SLOT(EventItemVtbl, put_Private), 48u);
    EXPECT_EQ(SLOT(EventItemVtbl, Delete), 49u);

    EXPECT_EQ(SLOT(EventItemExVtbl, Delete), 49u);
    EXPECT_EQ(SLOT(EventItemExVtbl, get_Location), 50u);
    EXPECT_EQ(SLOT(EventItemExVtbl, put_Location), 51u);
}

TEST(PalmDesktopLayout, InterfaceIdentifiers) {
    const GUID expected = {0x3EE1EBE2, 0x4B86, 0x11D4, {0x80, 0xFB, 0x00, 0xC0, 0x4F, 0xA0, 0x37, 0x55}};
    EXPECT_TRUE(IsEqualIID(IID_ContactItem, expected));
    EXPECT_EQ(IID_PalmApplication.Data1, 0x5C42CA62u);
    EXPECT_EQ(IID_ContactItemEx.Data1, 0x918A056Fu);
    EXPECT_EQ(IID_TodoItemEx.Data1, 0x297CD813u);
    EXPECT_EQ(IID_EventItemEx.Data1, 0x81BAE1BDu);
    EXPECT_EQ(IID_CalendarCategoryList.Data1, 0xB61FD96Au);
}

}  // namespace
