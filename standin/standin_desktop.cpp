#include "standin/standin_desktop.h"

#include "standin/standin_objects.h"

namespace standin {

StandinDesktop::StandinDesktop() : state_(std::make_shared<DesktopState>()) {}

win::ComPtr<PalmApplication> StandinDesktop::application() const { return makeApplication(state_); }

ContactSection::Item StandinDesktop::addContact(const std::wstring& category, const std::wstring& firstName,
                                                const std::wstring& lastName) {
    ContactData data;
    data.category = category;
    data.firstName = firstName;
    data.lastName = lastName;
    return contacts().add(std::move(data));
}

MemoSection::Item StandinDesktop::addMemo(const std::wstring& category, const std::wstring& text) {
    MemoData data;
    data.category = category;
    data.text = text;
    return memos().add(std::move(data));
}

TodoSection::Item StandinDesktop::addTodo(const std::wstring& category, const std::wstring& description) {
    TodoData data;
    data.category = category;
    data.description = description;
    return todos().add(std::move(data));
}

CalendarSection::Item StandinDesktop::addEvent(DATE start, DATE end, const std::wstring& description) {
    EventData data;
    data.start = start;
    data.end = end;
    data.description = description;
    return calendar().add(std::move(data));
}

std::vector<CalendarSection::Item> StandinDesktop::eventsBetween(DATE from, DATE to) const {
    return eventsInWindow(state_->calendar, from, to);
}

}  // namespace standin
