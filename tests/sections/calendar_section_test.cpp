// CalendarSectionImpl against the Palm Desktop stand-in, in one process.

#include "sections/calendar_section.h"

#include <gtest/gtest.h>

#include "record/date_time.h"
#include "sections/field_keys.h"
#include "section_test_support.h"

namespace {

using namespace sectiontest;
namespace key = fieldkey::calendar;

const std::string sampleId = "{0A1B2C3D-0000-4000-8000-00000000000A}";
const std::string otherId = "{0A1B2C3D-0000-4000-8000-00000000000B}";

DATE at(int year, int month, int day, int hour = 0, int minute = 0)
{
    return calendarDateToDateValue(year, month, day) + (hour * 60 + minute) / 1440.0;
}

std::string idInNote(const std::wstring& note)
{
    return RecordIdNote(narrow(note)).getRecordId();
}

class CalendarSectionTest : public ::testing::Test {
protected:
    CalendarSectionTest()
        : collection(collectionOf<CalendarCollection>(desk, &PalmApplication::get_Calendar, IID_CalendarCollection)),
          handler(collection.get())
    {
    }

    std::vector<standin::CalendarSection::Item> events() { return desk.eventsBetween(at(1900, 1, 1), at(2100, 1, 1)); }

    standin::StandinDesktop desk;
    win::ComPtr<CalendarCollection> collection;
    CalendarSectionImpl handler;
};

TEST_F(CalendarSectionTest, ExportsTimedAndUntimedEventsWithTheirFields)
{
    auto timed = desk.addEvent(at(2007, 1, 5, 9, 30), at(2007, 1, 5, 10, 45), L"Dentist");
    timed->isPrivate = 1;
    timed->location = L"Main St";
    timed->category = L"Health";
    auto untimed = desk.addEvent(at(2007, 1, 6), at(2007, 1, 6), L"Holiday");
    untimed->untimed = 1;
    untimed->note = L"bring towels";
    untimed->extended = false;

    int count = -1;
    ASSERT_EQ(handler.beginExport(), ResponseOk);
    ASSERT_EQ(handler.getRecordCount(count), ResponseOk);
    EXPECT_EQ(count, 2);
    Record first, second, none;
    ASSERT_EQ(handler.getNextRecord(first), ResponseOk);
    ASSERT_EQ(handler.getNextRecord(second), ResponseOk);
    EXPECT_EQ(handler.getNextRecord(none), ResponseNoMoreRecords);
    EXPECT_EQ(handler.getNextRecord(none), ResponseNoMoreRecords);
    EXPECT_EQ(none.save(), "");

    EXPECT_EQ(first.getField(key::StartDate), "20070105");
    EXPECT_EQ(first.getField(key::StartTime), "0930");
    EXPECT_EQ(first.getField(key::EndDate), "20070105");
    EXPECT_EQ(first.getField(key::EndTime), "1045");
    EXPECT_EQ(first.getField(key::ConfidentialFlag), "1");
    EXPECT_EQ(first.getField(key::RecurringFlag), "0");
    EXPECT_EQ(first.getField(key::Location), "Main St");
    EXPECT_EQ(first.getField(key::Category), "Health");
    EXPECT_FALSE(hasKey(first, fieldkey::Repeat));
    EXPECT_FALSE(hasKey(first, key::AlarmDate));

    // Untimed: only the start date of the four; no EventItemEx, no location
    // or category. The note gains the tag with the exported identifier.
    EXPECT_EQ(second.getField(key::StartDate), "20070106");
    for (const char* absent : {key::StartTime, key::EndDate, key::EndTime, key::Location, key::Category})
        EXPECT_FALSE(hasKey(second, absent)) << absent;
    EXPECT_EQ(second.getField(key::Notes), "bring towels");
    const std::string id = second.getField(fieldkey::RecordId);
    EXPECT_EQ(id.size(), 38u);
    EXPECT_EQ(untimed->note, composedNote(id, "bring towels"));
}

TEST_F(CalendarSectionTest, ImportsTimedAndUntimedEvents)
{
    desk.calendar().extendNewItems = false;
    ASSERT_EQ(handler.beginImport(), ResponseOk);
    Record untimed;
    untimed.putField(key::StartDate, "20070106");
    untimed.putField(key::Description, "Holiday");
    untimed.putField(key::Notes, "towels");
    untimed.putField(key::Location, "Beach");  // set only through EventItemEx
    std::string id;
    ASSERT_EQ(handler.sendRecord(untimed, id), ResponseOk);
    EXPECT_EQ(id.size(), 38u);
    desk.calendar().extendNewItems = true;

    Record timed;
    timed.putField(key::StartDate, "20070105");
    timed.putField(key::StartTime, "0930");
    timed.putField(key::EndDate, "20070105");
    timed.putField(key::EndTime, "1045");
    timed.putField(key::ConfidentialFlag, "1");
    timed.putField(key::Location, "");  // empty: left as Palm Desktop makes it
    timed.putField(key::Category, "Health");
    timed.putField(fieldkey::RecordId, sampleId);
    std::string timedId;
    ASSERT_EQ(handler.sendRecord(timed, timedId), ResponseOk);
    EXPECT_EQ(timedId, sampleId);

    const auto stored = events();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0]->untimed, 0);
    EXPECT_DOUBLE_EQ(stored[0]->start, at(2007, 1, 5, 9, 30));
    EXPECT_DOUBLE_EQ(stored[0]->end, at(2007, 1, 5, 10, 45));
    EXPECT_EQ(stored[0]->isPrivate, 1);
    EXPECT_EQ(stored[0]->location, L"");
    EXPECT_EQ(stored[0]->category, L"Health");
    EXPECT_EQ(stored[0]->note, composedNote(sampleId, ""));
    EXPECT_EQ(stored[0]->repeating, 0);

    EXPECT_EQ(stored[1]->untimed, 1);
    EXPECT_DOUBLE_EQ(stored[1]->start, at(2007, 1, 6));
    EXPECT_DOUBLE_EQ(stored[1]->end, at(2007, 1, 6));
    EXPECT_EQ(stored[1]->description, L"Holiday");
    EXPECT_EQ(stored[1]->note, composedNote(id, "towels"));
    EXPECT_EQ(stored[1]->location, L"");
}

TEST_F(CalendarSectionTest, AlarmLeadTravelsBothWays)
{
    auto leapDay = desk.addEvent(at(2008, 3, 1, 0, 30), at(2008, 3, 1, 1, 0), L"Leap");
    leapDay->alarmFlag = 1;
    leapDay->alarmLeadUnit = 2;
    leapDay->alarmLeadCount = 1;
    auto halfHour = desk.addEvent(at(2008, 3, 2, 9, 0), at(2008, 3, 2, 10, 0), L"Call");
    halfHour->alarmFlag = 1;
    halfHour->alarmLeadUnit = 0;
    halfHour->alarmLeadCount = 30;

    const std::vector<Record> records = exportAll(handler);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].getField(key::AlarmFlag), "1");
    EXPECT_EQ(records[0].getField(key::AlarmDate), "20080229");
    EXPECT_EQ(records[0].getField(key::AlarmTime), "0030");
    EXPECT_EQ(records[1].getField(key::AlarmDate), "20080302");
    EXPECT_EQ(records[1].getField(key::AlarmTime), "0830");

    // Back in: the leap day gives one day; two hours before gives 2 hours;
    // an alarm flag 0 sets no lead.
    CalendarSectionImpl importer(collection.get());
    ASSERT_EQ(importer.deleteAll(), ResponseOk);
    ASSERT_EQ(importer.beginImport(), ResponseOk);
    std::string id;
    ASSERT_EQ(importer.sendRecord(records[0], id), ResponseOk);
    Record twoHours = records[1];
    twoHours.putField(key::AlarmTime, "0700");
    ASSERT_EQ(importer.sendRecord(twoHours, id), ResponseOk);
    Record silent = records[1];
    silent.putField(key::AlarmFlag, "0");
    silent.putField(key::StartDate, "20080303");
    ASSERT_EQ(importer.sendRecord(silent, id), ResponseOk);

    const auto stored = events();
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[0]->alarmFlag, 1);
    EXPECT_EQ(stored[0]->alarmLeadUnit, 2);
    EXPECT_EQ(stored[0]->alarmLeadCount, 1);
    EXPECT_EQ(stored[1]->alarmLeadUnit, 1);
    EXPECT_EQ(stored[1]->alarmLeadCount, 2);
    EXPECT_EQ(stored[2]->alarmFlag, 0);
    EXPECT_EQ(stored[2]->alarmLeadCount, 0);
}

TEST_F(CalendarSectionTest, GetRecordCountLeavesSharedIdentifierWithHighestIndex)
{
    auto low = desk.addEvent(at(2007, 1, 1, 8), at(2007, 1, 1, 9), L"copy");
    low->note = composedNote(sampleId, "mine");
    auto other = desk.addEvent(at(2007, 1, 2, 8), at(2007, 1, 2, 9), L"other");
    other->note = composedNote(otherId, "");
    auto high = desk.addEvent(at(2007, 1, 3, 8), at(2007, 1, 3, 9), L"original");
    high->note = composedNote(sampleId, "mine");
    auto bare = desk.addEvent(at(2007, 1, 4, 8), at(2007, 1, 4, 9), L"bare");

    int count = 0;
    ASSERT_EQ(handler.beginExport(), ResponseOk);
    const int notesBefore = desk.faults().calls("EventItem.put_Note");
    ASSERT_EQ(handler.getRecordCount(count), ResponseOk);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(desk.faults().calls("EventItem.put_Note") - notesBefore, 1);

    EXPECT_EQ(idInNote(high->note), sampleId);
    EXPECT_EQ(idInNote(other->note), otherId);
    EXPECT_EQ(bare->note, L"");
    const std::string fresh = idInNote(low->note);
    EXPECT_NE(fresh, sampleId);
    EXPECT_EQ(fresh.size(), 38u);
    EXPECT_EQ(low->note, composedNote(fresh, "mine"));

    // Without beginExport there is nothing to count.
    CalendarSectionImpl unopened(collection.get());
    EXPECT_EQ(unopened.getRecordCount(count), ResponseOk);
    EXPECT_EQ(count, 0);
}

TEST_F(CalendarSectionTest, UpdateReplacesTheEventAndKeepsItsIdentifier)
{
    auto old = desk.addEvent(at(2007, 5, 1, 8), at(2007, 5, 1, 9), L"old");
    old->note = composedNote(sampleId, "old note");
    auto neighbour = desk.addEvent(at(2007, 5, 2, 8), at(2007, 5, 2, 9), L"neighbour");
    neighbour->note = composedNote(otherId, "");

    ASSERT_EQ(handler.beginImport(), ResponseOk);
    Record record;
    record.putField(fieldkey::RecordId, sampleId);
    record.putField(key::StartDate, "20070503");
    record.putField(key::Description, "new");
    record.putField(key::Notes, "new note");
    std::string id;
    ASSERT_EQ(handler.sendRecord(record, id), ResponseOk);
    EXPECT_EQ(id, sampleId);
    EXPECT_TRUE(old->deleted);

    const auto stored = events();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[1]->description, L"new");
    EXPECT_EQ(stored[1]->note, composedNote(sampleId, "new note"));

    // Sent again within the same bracket, the search runs on the list
    // fetched right after the deletion, which does not hold the new event:
    // a second event with the identifier is made (getRecordCount sorts that
    // out on the next export).
    ASSERT_EQ(handler.sendRecord(record, id), ResponseOk);
    ASSERT_EQ(events().size(), 3u);
    EXPECT_EQ(idInNote(events()[2]->note), sampleId);

    EXPECT_EQ(handler.deleteRecord("{no such id}"), ResponseOk);
    EXPECT_EQ(events().size(), 3u);
    EXPECT_EQ(handler.deleteRecord(sampleId), ResponseOk);
    EXPECT_EQ(handler.deleteRecord(sampleId), ResponseOk);
    ASSERT_EQ(events().size(), 1u);
    EXPECT_EQ(events()[0]->description, L"neighbour");
}

TEST_F(CalendarSectionTest, WorksOnlyInsideTheWindow)
{
    desk.addEvent(at(1970, 1, 1, 12), at(1970, 1, 1, 13), L"too early");
    desk.addEvent(at(1970, 1, 2), at(1970, 1, 2), L"first day");
    desk.addEvent(at(2031, 12, 30), at(2031, 12, 30), L"last day");
    desk.addEvent(at(2031, 12, 30, 0, 1), at(2031, 12, 30, 1), L"too late");

    const std::vector<Record> records = exportAll(handler);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].getField(key::Description), "first day");
    EXPECT_EQ(records[1].getField(key::Description), "last day");

    EXPECT_EQ(handler.deleteAll(), ResponseOk);
    const auto left = events();
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0]->description, L"too early");
    EXPECT_EQ(left[1]->description, L"too late");
}

TEST_F(CalendarSectionTest, CategoryLists)
{
    desk.calendar().addCategory(L"Work");
    desk.calendar().addCategory(L"Home");
    std::vector<std::string> names{"kept"};
    ASSERT_EQ(handler.readCategoryList(names), ResponseOk);
    EXPECT_EQ(names, (std::vector<std::string>{"kept", "Work", "Home"}));

    EXPECT_EQ(handler.writeCategoryList({"Travel"}), ResponseOk);
    EXPECT_EQ(desk.calendar().categories().size(), 2u);
}

TEST_F(CalendarSectionTest, PalmDesktopFailuresAnswerFailed)
{
    desk.addEvent(at(2007, 1, 5, 9), at(2007, 1, 5, 10), L"only");
    ASSERT_EQ(handler.beginExport(), ResponseOk);

    // A failed conversion does not move the export on: the next call
    // delivers the same event.
    desk.faults().failOn("EventItem.get_Description", 1, E_ACCESSDENIED);
    Record record;
    EXPECT_EQ(handler.getNextRecord(record), ResponseFailed);
    EXPECT_EQ(handler.getLastError(), E_ACCESSDENIED);
    record.clear();
    ASSERT_EQ(handler.getNextRecord(record), ResponseOk);
    EXPECT_EQ(record.getField(key::Description), "only");
    EXPECT_EQ(handler.getNextRecord(record), ResponseNoMoreRecords);

    desk.faults().failOn("CalendarCollection.Events", 1, E_OUTOFMEMORY);
    EXPECT_EQ(handler.beginImport(), ResponseFailed);
    EXPECT_EQ(handler.getLastError(), E_OUTOFMEMORY);
    desk.faults().failOn("CalendarCollection.NewEvent", 1, E_FAIL);
    std::string id;
    EXPECT_EQ(handler.sendRecord(Record(), id), ResponseFailed);
    EXPECT_EQ(id, "");

    CalendarSectionImpl withoutCalendar(nullptr);
    std::vector<std::string> names;
    EXPECT_EQ(withoutCalendar.beginExport(), ResponseFailed);
    EXPECT_EQ(withoutCalendar.readCategoryList(names), ResponseFailed);
    EXPECT_EQ(withoutCalendar.deleteAll(), ResponseFailed);
    EXPECT_EQ(withoutCalendar.getLastError(), E_POINTER);
    EXPECT_EQ(withoutCalendar.writeCategoryList({"x"}), ResponseOk);
}

}  // namespace
