#pragma once

#include <map>
#include <memory>

#include "standin/fault_table.h"
#include "standin/item_section.h"
#include "standin/standin_data.h"

namespace standin {

using ContactSection = ItemSection<ContactData>;
using MemoSection = ItemSection<MemoData>;
using TodoSection = ItemSection<TodoData>;
using CalendarSection = ItemSection<EventData>;

/// One exception search begun on an event: the event, the window's lower
/// bound and the last date delivered.
struct ExceptionSearch {
    std::shared_ptr<Stored<EventData>> event;
    DATE from = 0.0;
    bool delivered = false;
    DATE last = 0.0;
};

/// The readings of Palm Desktop's behaviour where it is not pinned down;
/// each test that depends on one chooses it. The defaults are the readings
/// the stand-in has always followed.
struct Readings {
    /// Views and event lists are live: an item deleted since the list was
    /// handed out leaves it, and the items after it move down one position.
    /// Off: a list is a snapshot and a deleted item keeps its position.
    bool liveViews = false;
    /// The status of FirstException tells whether it has itself delivered
    /// the first exception found (1 more follow, 0 it was the only one, -1
    /// none); NextException then goes on after that one. Off: it tells
    /// whether there is one to come (1, or -1 when none).
    bool beginSearchDelivers = false;
    /// Setting an event's category to a name not in the calendar category
    /// list fails with E_INVALIDARG. Off: the name is set and added to the
    /// list.
    bool calendarCategoryMustExist = false;
};

/// Everything one stand-in desktop holds. The desktop and every COM object
/// it handed out share it, so objects stay usable after the desktop is gone.
struct DesktopState {
    ContactSection contacts;
    MemoSection memos;
    TodoSection todos;
    CalendarSection calendar;
    FaultTable faults;
    Readings readings;
    std::map<long, ExceptionSearch> exceptionSearches;
    long nextSearchCursor = 1;
};

}  // namespace standin
