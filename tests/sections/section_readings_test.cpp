// What the handlers do under each reading of Palm Desktop's behaviour where
// that behaviour is open: views that are snapshots or live while items are
// deleted, the two readings of the exception search's first status, and a
// calendar that does or does not take a category name it does not know.

#include <gtest/gtest.h>

#include <functional>

#include "sections/calendar_section.h"
#include "section_test_support.h"

namespace {

using namespace sectiontest;
using Names = std::vector<std::wstring>;

struct SectionSeed {
    Section section;
    std::function<void(standin::StandinDesktop&, const std::wstring& category, const std::wstring& name)> add;
    std::function<Names(standin::StandinDesktop&)> left;
};

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
    const SectionSeed sections[] = {
        {SectionContact,
         [](auto& d, auto& c, auto& n) { d.contacts().addCategory(c), d.addContact(c, L"", n); },
         [](auto& d) { return namesOf(d.contacts().items(), &standin::ContactData::lastName); }},
        {SectionMemo, [](auto& d, auto& c, auto& n) { d.memos().addCategory(c), d.addMemo(c, n); },
         [](auto& d) { return namesOf(d.memos().items(), &standin::MemoData::text); }},
        {SectionTodo, [](auto& d, auto& c, auto& n) { d.todos().addCategory(c), d.addTodo(c, n); },
         [](auto& d) { return namesOf(d.todos().items(), &standin::TodoData::description); }},
        {SectionCalendar,
         [](auto& d, auto&, auto& n) { d.addEvent(at(2007, 1, 1) + (n[0] - L'a'), at(2007, 1, 1), n); },
         [](auto& d) { return namesOf(d.calendar().items(), &standin::EventData::description); }}};
    const std::pair<bool, Names> readings[] = {{false, {}}, {true, {L"b", L"d"}}};
    for (const SectionSeed& seed : sections) {
        for (const auto& [live, left] : readings) {
            SCOPED_TRACE("section " + std::to_string(seed.section) + (live ? ", live views" : ", snapshots"));
            standin::StandinDesktop desk;
            desk.readings().liveViews = live;
            for (const wchar_t* name : {L"a", L"b", L"c", L"d", L"e"}) seed.add(desk, L"One", name);
            if (seed.section != SectionCalendar) seed.add(desk, L"Two", L"f");
            EXPECT_EQ(createSectionHandler(desk.application(), seed.section)->deleteAll(), ResponseOk);
            EXPECT_EQ(seed.left(desk), left);
        }
    }
}

class CalendarReadings : public ::testing::Test {
protected:
    standin::StandinDesktop desk;
    std::unique_ptr<CalendarSectionImpl> handler = handlerOf<CalendarSectionImpl>(desk, SectionCalendar);
};

// The handler asks for exceptions only while the status is 1. Read as "more
// to come", a single exception gives status 1 and is exported. Read as "this
// one delivered", the search itself delivers it with status 0, without a
// date, and the handler exports none: the exception is lost. The window
// starts a day before the start, so an exception at 00:00 of the start day
// is in it.
TEST_F(CalendarReadings, ExceptionSearchStatusReadings) {
    struct Case {
        bool searchDelivers;
        std::vector<DATE> exceptions;
        std::vector<std::string> exported;
    };
    const Case cases[] = {{false, {at(2007, 1, 5)}, {"20070105"}}, {true, {at(2007, 1, 5)}, {}}, {false, {}, {}},
                          {true, {}, {}}, {false, {at(2007, 1, 5), at(2007, 1, 9)}, {"20070105", "20070109"}},
                          {true, {at(2007, 1, 5), at(2007, 1, 9)}, {"20070109"}}};
    for (const Case& c : cases) {
        auto event = desk.addEvent(at(2007, 1, 5, 9), at(2007, 1, 5, 10), L"daily");
        event->repeating = 1;
        event->repeat = standin::EventRepeatRule{1, 1, 0.0, 0};
        event->exceptions = c.exceptions;
        desk.readings().beginSearchDelivers = c.searchDelivers;
        const std::vector<Record> records = exportAll(*handler);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(parsed(records[0].getField(fieldkey::Repeat)).getExclusionDates(), c.exported)
            << c.exceptions.size() << " exceptions, search delivers: " << c.searchDelivers;
        desk.calendar().remove(event);
    }
}

// The calendar offers no way to add a category. Where setting an unknown
// name fails, sendRecord answers ResponseFailed after the new event is
// created and filled up to its category; the identifier is out already.
// An empty location or category is never written, so it cannot fail.
TEST_F(CalendarReadings, UnknownCategoryUnderBothReadings) {
    namespace key = fieldkey::calendar;
    desk.calendar().addCategory(L"Known");
    struct Case {
        bool mustExist;
        const char* category;
        const char* location;
        ResponseCode answer;
        const wchar_t* stored;
        int categoryPuts, locationPuts;
    };
    const Case cases[] = {{true, "Unknown", "Here", ResponseFailed, L"", 1, 1},
                          {true, "Known", "", ResponseOk, L"Known", 1, 0},
                          {true, "", "Here", ResponseOk, L"", 0, 1},
                          {false, "Unknown", "", ResponseOk, L"Unknown", 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.category) + (c.mustExist ? " (must exist)" : " (any name)"));
        desk.readings().calendarCategoryMustExist = c.mustExist;
        ASSERT_EQ(handler->beginImport(), ResponseOk);
        const int puts = desk.faults().calls("EventItem.put_Category");
        const int locations = desk.faults().calls("EventItemEx.put_Location");
        std::string id;
        EXPECT_EQ(handler->sendRecord(withFields({{key::StartDate, "20070105"}, {key::Notes, "n"},
                                                 {key::Location, c.location}, {key::Category, c.category}}),
                                     id),
                  c.answer);
        const auto& event = *desk.calendar().items().back();
        EXPECT_EQ(event.category, c.stored);
        EXPECT_EQ(event.location, win::toWide(c.location));
        EXPECT_EQ(event.note, composedNote(id, "n"));
        EXPECT_EQ(desk.faults().calls("EventItem.put_Category") - puts, c.categoryPuts);
        EXPECT_EQ(desk.faults().calls("EventItemEx.put_Location") - locations, c.locationPuts);
    }
}

}  // namespace
