#pragma once

// The Palm Desktop stand-in: an in-memory Palm Desktop whose data the
// section handlers reach through real COM objects with Palm Desktop's
// interfaces, identifiers and slots (sections/palm_desktop.h), and which
// tests seed and inspect directly in C++.
//
// Usage:
//     standin::StandinDesktop desk;
//     desk.contacts().addCategory(L"Work");
//     auto mary = desk.addContact(L"Work", L"Mary Ann", L"Smith");
//     win::ComPtr<PalmApplication> app = desk.application();
//     ... run a handler against app ...
//     EXPECT_EQ(mary->note.substr(0, 24), L"Marrowvelle Record Id = ");
//     desk.faults().failOn("ContactItem.put_Note", 1, E_ACCESSDENIED);
//
// How the stand-in answers where Palm Desktop's behaviour is not pinned down:
// - Texts are kept as wide strings; a null BSTR argument is the empty text.
// - Category lists are live: a category added later shows up in a list
//   handed out earlier. Adding a category that exists answers S_FALSE and
//   adds no duplicate. Any name is a category name, the empty one included.
// - Views (ContactView, MemoView, TodoView) and event lists are snapshots
//   taken when they are asked for; their items stand in creation order (an
//   item moved to another category keeps its place in that order). By
//   default an item deleted after the snapshot stays at its position, so
//   deleting every item of one list in one pass from index 0 up reaches them
//   all; with readings().liveViews it leaves the list and the later items
//   move down.
// - The view of a name that no listed category has holds the items that
//   carry the name (usually none); it is not an error. Setting an item's
//   category, or creating an item, with a name not in the category list
//   keeps the name as it is and does not add it to the list, so such an
//   item is in no listed category's view. The calendar is the exception:
//   setting an event's category adds the name to the calendar category
//   list, which the calendar offers no other way to extend (unless
//   readings().calendarCategoryMustExist, under which it fails).
// - An index or position out of range answers E_INVALIDARG, also entry 0 of
//   an empty list (so an export of a section without categories fails).
// - Every call on a deleted item answers kItemDeleted; deleting it again
//   answers S_FALSE and changes nothing. Delete with an argument other than
//   0 answers E_INVALIDARG and deletes nothing.
// - Contacts: a new contact's phone entries carry the labels 0 to 7 at
//   positions 0 to 7, with empty texts. Positions 0 to 6 are the seven that
//   Palm Desktop shows; position 7 is accepted too: it stores an eighth
//   entry that can be read back at position 7. Any label code is accepted.
//   Custom fields have indexes 0 to 8 (through ContactItem as well).
//   Address index 0 of ContactItemEx is the business address of
//   ContactItem; 1 and 2 are the second and third. IM entries: 0 and 1.
// - To-dos: priority starts at 1, everything else at 0 or empty. SetRepeat
//   stores the rule as given and sets the repeating flag to 1 for a kind
//   other than 0, to 0 for kind 0; the extra value is only stored.
// - Events: an event list holds the events whose start lies in [from, to],
//   by start, equal starts in creation order. Exception dates are kept
//   ascending; adding one that exists answers S_FALSE. FirstException
//   answers status 1 when at least one exception lies in [from, to], -1
//   when none does (readings().beginSearchDelivers: 1 when two or more lie
//   there, 0 for exactly one, and the first counts as delivered); NextException delivers them in ascending order, with
//   status 1 while more lie at or before its `to`, 0 for the last, -1 (and
//   date 0.0) when none is left. A cursor unknown to the event answers
//   E_INVALIDARG. SetRepeat sets the repeating flag as for to-dos.
//   The calendar category list starts empty (seed it with
//   calendar().addCategory).
// - Extension interfaces: items created through COM answer ContactItemEx,
//   TodoItemEx or EventItemEx as the section's `extendNewItems` says (on by
//   default); a seeded item as its `extended` field says. An item without
//   its extension answers E_NOINTERFACE to every call of an extension slot.
// - IDispatch's own methods answer E_NOTIMPL (GetTypeInfoCount answers 0).
// - Failures: see FaultTable. A planned failure is answered before the
//   call does anything.
// - The stand-in is not thread-safe; Palm Desktop calls its objects on its
//   user-interface thread only.

#include <memory>
#include <string>
#include <vector>

#include "sections/palm_desktop.h"
#include "standin/desktop_state.h"
#include "standin/fault_table.h"
#include "standin/item_section.h"
#include "standin/standin_data.h"
#include "standin/standin_hresult.h"
#include "win/com_ptr.h"

namespace standin {

/// One in-memory Palm Desktop. It owns the data; the COM objects it hands
/// out share it and stay valid after the desktop is destroyed.
class StandinDesktop {
public:
    StandinDesktop();

    /// A new application object (one reference, owned by the result).
    win::ComPtr<PalmApplication> application() const;

    ContactSection& contacts() noexcept { return state_->contacts; }
    MemoSection& memos() noexcept { return state_->memos; }
    TodoSection& todos() noexcept { return state_->todos; }
    CalendarSection& calendar() noexcept { return state_->calendar; }
    /// The calls counted so far and the failures planned.
    FaultTable& faults() noexcept { return state_->faults; }
    /// The readings of Palm Desktop's open behaviour that the stand-in follows.
    Readings& readings() noexcept { return state_->readings; }

    /// Seeds a contact (with the extension interface).
    ContactSection::Item addContact(const std::wstring& category, const std::wstring& firstName,
                                    const std::wstring& lastName);
    /// Seeds a memo.
    MemoSection::Item addMemo(const std::wstring& category, const std::wstring& text);
    /// Seeds a to-do (with the extension interface).
    TodoSection::Item addTodo(const std::wstring& category, const std::wstring& description);
    /// Seeds an event (with the extension interface).
    CalendarSection::Item addEvent(DATE start, DATE end, const std::wstring& description);

    /// The events an event list of [from, to] would hold, in its order.
    std::vector<CalendarSection::Item> eventsBetween(DATE from, DATE to) const;

private:
    std::shared_ptr<DesktopState> state_;
};

}  // namespace standin
