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

/// Everything one stand-in desktop holds. The desktop and every COM object
/// it handed out share it, so objects stay usable after the desktop is gone.
struct DesktopState {
    ContactSection contacts;
    MemoSection memos;
    TodoSection todos;
    CalendarSection calendar;
    FaultTable faults;
    std::map<long, ExceptionSearch> exceptionSearches;
    long nextSearchCursor = 1;
};

}  // namespace standin
