// Checks that the declarations of Palm Desktop's object model put every
// method the handlers call at the vtable slot Palm Desktop uses. The C
// layout of the generated *Vtbl structs is the vtable itself.
#define CINTERFACE
#include <windows.h>

#include <cstddef>

#include <gtest/gtest.h>

#include "sections/palm_desktop.h"

namespace {

struct Slot {
    const char* method;
    std::size_t actual, expected;
};
#define SLOT(vtbl, method, expected) Slot{#vtbl "::" #method, offsetof(vtbl, method) / sizeof(void*), expected}

TEST(PalmDesktopLayout, EveryMethodTheHandlersCallSitsAtPalmDesktopsSlot) {
    const Slot slots[] = {
        SLOT(PalmApplicationVtbl, QueryInterface, 0), SLOT(PalmApplicationVtbl, Invoke, 6),
        SLOT(PalmApplicationVtbl, get_Contacts, 10), SLOT(PalmApplicationVtbl, get_Calendar, 11),
        SLOT(PalmApplicationVtbl, get_Memos, 12), SLOT(PalmApplicationVtbl, get_TodoList, 13),
        SLOT(ContactCollectionVtbl, get_Categories, 7), SLOT(ContactCollectionVtbl, get_CategoryView, 9),
        SLOT(ContactCollectionVtbl, NewContact, 11), SLOT(ContactCollectionVtbl, AddCategory, 15),
        SLOT(ContactCategoryListVtbl, get_Count, 7), SLOT(ContactCategoryListVtbl, get_Item, 8),
        SLOT(ContactViewVtbl, get_Count, 7), SLOT(ContactViewVtbl, get_Item, 8),
        SLOT(ContactItemVtbl, get_FirstName, 7), SLOT(ContactItemVtbl, put_LastName, 10),
        SLOT(ContactItemVtbl, put_Country, 24), SLOT(ContactItemVtbl, get_Note, 25),
        SLOT(ContactItemVtbl, put_Note, 26), SLOT(ContactItemVtbl, get_Custom, 27),
        SLOT(ContactItemVtbl, put_Custom, 28), SLOT(ContactItemVtbl, put_Category, 31),
        SLOT(ContactItemVtbl, Delete, 32), SLOT(ContactItemVtbl, get_Private, 38),
        SLOT(ContactItemVtbl, put_Private, 39), SLOT(ContactItemVtbl, GetPhone, 40),
        SLOT(ContactItemVtbl, SetPhone, 41), SLOT(ContactItemVtbl, get_ReadingFirstName, 44),
        SLOT(ContactItemVtbl, put_ReadingCompany, 49), SLOT(ContactItemExVtbl, get_Note, 25),
        SLOT(ContactItemExVtbl, get_WebSite, 50), SLOT(ContactItemExVtbl, put_WebSite, 51),
        SLOT(ContactItemExVtbl, get_AddressStreet, 52), SLOT(ContactItemExVtbl, put_AddressCountry, 61),
        SLOT(ContactItemExVtbl, get_Birthday, 62), SLOT(ContactItemExVtbl, put_Birthday, 63),
        SLOT(ContactItemExVtbl, GetIm, 66), SLOT(ContactItemExVtbl, SetIm, 67),
        SLOT(MemoCollectionVtbl, get_Categories, 8), SLOT(MemoCollectionVtbl, get_CategoryView, 10),
        SLOT(MemoCollectionVtbl, NewMemo, 12), SLOT(MemoCollectionVtbl, AddCategory, 15),
        SLOT(TodoCollectionVtbl, get_Categories, 8), SLOT(TodoCollectionVtbl, get_CategoryView, 10),
        SLOT(TodoCollectionVtbl, NewTodo, 12), SLOT(TodoCollectionVtbl, AddCategory, 15),
        SLOT(MemoCategoryListVtbl, get_Count, 9), SLOT(MemoCategoryListVtbl, get_Item, 10),
        SLOT(MemoViewVtbl, get_Item, 10), SLOT(TodoCategoryListVtbl, get_Item, 10), SLOT(TodoViewVtbl, get_Count, 9),
        SLOT(TodoViewVtbl, get_Item, 10), SLOT(MemoItemVtbl, get_Text, 10), SLOT(MemoItemVtbl, put_Text, 11),
        SLOT(MemoItemVtbl, put_Category, 13), SLOT(MemoItemVtbl, get_Private, 16),
        SLOT(MemoItemVtbl, put_Private, 17), SLOT(MemoItemVtbl, Delete, 18), SLOT(TodoItemVtbl, get_Description, 10),
        SLOT(TodoItemVtbl, put_Priority, 13), SLOT(TodoItemVtbl, get_DueDate, 16),
        SLOT(TodoItemVtbl, put_Completed, 19), SLOT(TodoItemVtbl, get_Note, 20), SLOT(TodoItemVtbl, put_Note, 21),
        SLOT(TodoItemVtbl, put_Category, 23), SLOT(TodoItemVtbl, get_Private, 26), SLOT(TodoItemVtbl, Delete, 28),
        SLOT(TodoItemExVtbl, get_DueDate, 16), SLOT(TodoItemExVtbl, get_Repeating, 30),
        SLOT(TodoItemExVtbl, GetRepeat, 32), SLOT(TodoItemExVtbl, SetRepeat, 34),
        SLOT(TodoItemExVtbl, get_AlarmFlag, 40), SLOT(TodoItemExVtbl, put_AlarmFlag, 41),
        SLOT(TodoItemExVtbl, SetAlarm, 44), SLOT(TodoItemExVtbl, GetAlarm, 45),
        SLOT(TodoItemExVtbl, get_RepeatExtra, 46), SLOT(CalendarCollectionVtbl, get_Categories, 8),
        SLOT(CalendarCollectionVtbl, Events, 12), SLOT(CalendarCollectionVtbl, NewEvent, 15),
        SLOT(CalendarCategoryListVtbl, get_Count, 7), SLOT(CalendarCategoryListVtbl, get_Item, 8),
        SLOT(EventListVtbl, get_Count, 9), SLOT(EventListVtbl, get_Item, 10), SLOT(EventItemVtbl, get_Start, 12),
        SLOT(EventItemVtbl, put_Start, 13), SLOT(EventItemVtbl, get_End, 16), SLOT(EventItemVtbl, put_Untimed, 19),
        SLOT(EventItemVtbl, get_Description, 20), SLOT(EventItemVtbl, put_Note, 23),
        SLOT(EventItemVtbl, get_Repeating, 24), SLOT(EventItemVtbl, get_ExceptionCount, 25),
        SLOT(EventItemVtbl, get_AlarmFlag, 26), SLOT(EventItemVtbl, put_AlarmFlag, 27),
        SLOT(EventItemVtbl, AddException, 29), SLOT(EventItemVtbl, FirstException, 33),
        SLOT(EventItemVtbl, NextException, 35), SLOT(EventItemVtbl, SetAlarmLead, 36),
        SLOT(EventItemVtbl, GetAlarmLead, 37), SLOT(EventItemVtbl, GetRepeat, 39),
        SLOT(EventItemVtbl, SetRepeat, 41), SLOT(EventItemVtbl, get_Category, 43),
        SLOT(EventItemVtbl, put_Category, 44), SLOT(EventItemVtbl, get_Private, 47),
        SLOT(EventItemVtbl, put_Private, 48), SLOT(EventItemVtbl, Delete, 49), SLOT(EventItemExVtbl, Delete, 49),
        SLOT(EventItemExVtbl, get_Location, 50), SLOT(EventItemExVtbl, put_Location, 51)};
    for (const Slot& slot : slots) EXPECT_EQ(slot.actual, slot.expected) << slot.method;
    EXPECT_EQ(sizeof(PalmApplicationVtbl) / sizeof(void*), 14u);
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
