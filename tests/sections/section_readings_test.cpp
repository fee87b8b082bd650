// What the handlers do under each reading of Palm Desktop's behaviour where
// that behaviour is open: views that are snapshots or live while items are
// deleted, and a calendar that does or does not take a category name it does
// not know. calendar_section_test has the two readings of the exception
// search's first status.

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "sections/calendar_section.h"
#include "section_test_support.h"

namespace {

using namespace sectiontest;
using Names = std::vector<std::wstring>;
using Desk = standin::StandinDesktop;

template <typename Items, typename Field>
Names namesOf(const Items& items, Field field) {
    Names names;
    for (const auto& item : items) names.push_back((*item).*field);
    return names;
}

// deleteAll moves past each item it deleted and reads the count anew. On a
// snapshot view that reaches every item; on a live view each deletion moves
// the next item into the position just done, so every second item of a
// category (of the calendar's window) stays.
TEST(SectionReadings, DeleteAllUnderSnapshotAndLiveViews) {
    const std::tuple<Section, std::function<void(Desk&, const wchar_t*, const wchar_t*)>,
                     std::function<Names(Desk&)>> sections[] = {
        {SectionContact, [](Desk& d, auto c, auto n) { d.contacts().addCategory(c), d.addContact(c, L"", n); },
         [](Desk& d) { return namesOf(d.contacts().items(), &standin::ContactData::lastName); }},
        {SectionMemo, [](Desk& d, auto c, auto n) { d.memos().addCategory(c), d.addMemo(c, n); },
         [](Desk& d) { return namesOf(d.memos().items(), &standin::MemoData::text); }},
        {SectionTodo, [](Desk& d, auto c, auto n) { d.todos().addCategory(c), d.addTodo(c, n); },
         [](Desk& d) { return namesOf(d.todos().items(), &standin::TodoData::description); }},
        {SectionCalendar, [](Desk& d, auto, auto n) { d.addEvent(at(2007, 1, 1) + (n[0] - L'a'), at(2007, 1, 1), n); },
         [](Desk& d) { return namesOf(d.calendar().items(), &standin::EventData::description); }}};
    for (const auto& [section, add, left] : sections) {
        for (const auto& [live, expected] : {std::pair{false, Names{}}, {true, Names{L"b", L"d"}}}) {
            SCOPED_TRACE("section " + std::to_string(section) + (live ? ", live views" : ", snapshots"));
            Desk desk;
            desk.readings().liveViews = live;
            for (const wchar_t* name : {L"a", L"b", L"c", L"d", L"e"}) add(desk, L"One", name);
            if (section != SectionCalendar) add(desk, L"Two", L"f");
            EXPECT_EQ(createSectionHandler(desk.application(), section)->deleteAll(), ResponseOk);
            EXPECT_EQ(left(desk), expected);
        }
    }
}

// The calendar offers no way to add a category. Where setting an unknown
// name fails, sendRecord answers ResponseFailed after the new event is
// created and filled up to its category; the identifier is out already.
// An empty location or category is never written, so it cannot fail.
TEST(CalendarReadings, UnknownCategoryUnderBothReadings) {
    namespace key = fieldkey::calendar;
    Desk desk;
    const auto handler = handlerOf<CalendarSectionImpl>(desk, SectionCalendar);
    desk.calendar().addCategory(L"Known");
    const struct { bool mustExist; const char *category, *location; ResponseCode answer; const wchar_t* stored;
                   int categoryPuts, locationPuts; } cases[] = {
        {true, "Unknown", "Here", ResponseFailed, L"", 1, 1}, {true, "Known", "", ResponseOk, L"Known", 1, 0},
        {true, "", "Here", ResponseOk, L"", 0, 1}, {false, "Unknown", "", ResponseOk, L"Unknown", 1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.category) + (c.mustExist ? " (must exist)" : " (any name)"));
        desk.readings().calendarCategoryMustExist = c.mustExist;
        ASSERT_EQ(handler->beginImport(), ResponseOk);
        const int puts = desk.faults().calls("EventItem.put_Category");
        const int locations = desk.faults().calls("EventItemEx.put_Location");
        std::string id;
        const Record record = withFields({{key::StartDate, "20070105"}, {key::Notes, "n"},
                                          {key::Location, c.location}, {key::Category, c.category}});
        EXPECT_EQ(handler->sendRecord(record, id), c.answer);
        const auto& event = *desk.calendar().items().back();
        EXPECT_EQ(event.category, c.stored);
        EXPECT_EQ(event.location, win::toWide(c.location));
        EXPECT_EQ(event.note, composedNote(id, "n"));
        EXPECT_EQ(desk.faults().calls("EventItem.put_Category") - puts, c.categoryPuts);
        EXPECT_EQ(desk.faults().calls("EventItemEx.put_Location") - locations, c.locationPuts);
    }
}

}  // namespace
