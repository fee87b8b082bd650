#pragma once

// Makers of the stand-in's COM objects; each answers a new object with one
// reference, owned by the result.

#include <memory>
#include <vector>

#include "sections/palm_desktop.h"
#include "standin/desktop_state.h"
#include "win/com_ptr.h"

namespace standin {

win::ComPtr<PalmApplication> makeApplication(const std::shared_ptr<DesktopState>& state);

win::ComPtr<ContactCollection> makeContactCollection(const std::shared_ptr<DesktopState>& state);
win::ComPtr<ContactItem> makeContactItem(const std::shared_ptr<DesktopState>& state,
                                         const ContactSection::Item& item);

win::ComPtr<MemoCollection> makeMemoCollection(const std::shared_ptr<DesktopState>& state);
win::ComPtr<MemoItem> makeMemoItem(const std::shared_ptr<DesktopState>& state, const MemoSection::Item& item);

win::ComPtr<TodoCollection> makeTodoCollection(const std::shared_ptr<DesktopState>& state);
win::ComPtr<TodoItem> makeTodoItem(const std::shared_ptr<DesktopState>& state, const TodoSection::Item& item);

win::ComPtr<CalendarCollection> makeCalendarCollection(const std::shared_ptr<DesktopState>& state);
/// The events whose start lies in [from, to], by start (stable for equal
/// starts: creation order).
std::vector<CalendarSection::Item> eventsInWindow(const CalendarSection& calendar, DATE from, DATE to);
win::ComPtr<EventItem> makeEventItem(const std::shared_ptr<DesktopState>& state, const CalendarSection::Item& item);

}  // namespace standin
