// CalendarSectionImpl against the Palm Desktop stand-in, in one process.

#include "sections/calendar_section.h"

#include <gtest/gtest.h>

#include <tuple>

#include "record/date_time.h"
#include "record/repeat.h"
#include "sections/field_keys.h"
#include "section_test_support.h"

namespace {

using namespace sectiontest;
namespace key = fieldkey::calendar;

const std::string sampleId = "{0A1B2C3D-0000-4000-8000-00000000000A}";
const std::string otherId = "{0A1B2C3D-0000-4000-8000-00000000000B}";


class CalendarSectionTest : public ::testing::Test {
protected:
    std::vector<standin::CalendarSection::Item> events() { return desk.eventsBetween(at(1900, 1, 1), at(2100, 1, 1)); }
    std::string send(const Record& record) {
        std::string id;
        EXPECT_EQ(handler.sendRecord(record, id), ResponseOk);
        return id;
    }

    // Event lists are snapshots here, so deleteAll empties the window in
    // one pass (section_readings_test has the live reading).
    CalendarSectionTest() { desk.readings().liveViews = false; }

    standin::StandinDesktop desk;
    win::ComPtr<CalendarCollection> collection =
        collectionOf<CalendarCollection>(desk, &PalmApplication::get_Calendar, IID_CalendarCollection);
    CalendarSectionImpl handler{collection.get()};
};

TEST_F(CalendarSectionTest, TimedAndUntimedEventsBothWays) {
    auto timed = desk.addEvent(at(2007, 1, 5, 9, 30), at(2007, 1, 5, 10, 45), L"Dentist");
    timed->isPrivate = 1;
    timed->location = L"Main St";
    timed->category = L"Health";
    auto untimed = desk.addEvent(at(2007, 1, 6), at(2007, 1, 6), L"Holiday");
    untimed->untimed = 1;
    untimed->note = L"bring towels";
    untimed->extended = false;

    const std::vector<Record> records = exportAll(handler);
    ASSERT_EQ(records.size(), 2u);
    const std::pair<const char*, const char*> timedFields[] = {
        {key::StartDate, "20070105"}, {key::StartTime, "0930"}, {key::EndDate, "20070105"},
        {key::EndTime, "1045"},       {key::ConfidentialFlag, "1"}, {key::RecurringFlag, "0"},
        {key::Location, "Main St"},   {key::Category, "Health"}};
    for (const auto& [k, value] : timedFields) EXPECT_EQ(records[0].getField(k), value) << k;
    EXPECT_FALSE(hasKey(records[0], fieldkey::Repeat) || hasKey(records[0], key::AlarmDate));
    // Untimed: only the start date of the four; no EventItemEx, no location
    // or category. The note gains the tag with the exported identifier.
    EXPECT_EQ(records[1].getField(key::StartDate), "20070106");
    for (const char* absent : {key::StartTime, key::EndDate, key::EndTime, key::Location, key::Category})
        EXPECT_FALSE(hasKey(records[1], absent)) << absent;
    EXPECT_EQ(records[1].getField(key::Notes), "bring towels");
    EXPECT_EQ(untimed->note, composedNote(records[1].getField(fieldkey::RecordId), "bring towels"));

    ASSERT_EQ(handler.deleteAll(), ResponseOk);
    desk.calendar().addCategory(L"Health");
    desk.calendar().extendNewItems = false;
    ASSERT_EQ(handler.beginImport(), ResponseOk);
    const std::string untimedId = send(withFields({{key::StartDate, "20070106"}, {key::Description, "Holiday"},
                                                   {key::Notes, "towels"}, {key::Location, "Beach"}}));
    desk.calendar().extendNewItems = true;
    Record timedBack = records[0];
    timedBack.putField(key::Location, "");  // empty: left as Palm Desktop makes it
    timedBack.putField(fieldkey::RecordId, sampleId);
    EXPECT_EQ(send(timedBack), sampleId);

    const auto stored = events();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0]->untimed, 0);
    EXPECT_DOUBLE_EQ(stored[0]->start, at(2007, 1, 5, 9, 30));
    EXPECT_DOUBLE_EQ(stored[0]->end, at(2007, 1, 5, 10, 45));
    EXPECT_EQ(stored[0]->isPrivate, 1);
    EXPECT_EQ(stored[0]->location, L"");
    EXPECT_EQ(stored[0]->category, L"Health");
    EXPECT_EQ(stored[0]->repeating, 0);
    EXPECT_EQ(stored[1]->untimed, 1);
    EXPECT_DOUBLE_EQ(stored[1]->start, at(2007, 1, 6));
    EXPECT_DOUBLE_EQ(stored[1]->end, at(2007, 1, 6));
    EXPECT_EQ(stored[1]->note, composedNote(untimedId, "towels"));
    EXPECT_EQ(stored[1]->location, L"") << "set only through EventItemEx";
}

TEST_F(CalendarSectionTest, AlarmLeadTravelsBothWays) {
    auto leapDay = desk.addEvent(at(2008, 3, 1, 0, 30), at(2008, 3, 1, 1, 0), L"Leap");
    leapDay->alarmFlag = 1;
    leapDay->alarmLeadUnit = 2;  // days
    leapDay->alarmLeadCount = 1;
    auto halfHour = desk.addEvent(at(2008, 3, 2, 9, 0), at(2008, 3, 2, 10, 0), L"Call");
    halfHour->alarmFlag = 1;
    halfHour->alarmLeadUnit = 0;  // minutes
    halfHour->alarmLeadCount = 30;

    const std::vector<Record> records = exportAll(handler);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].getField(key::AlarmFlag), "1");
    EXPECT_EQ(records[0].getField(key::AlarmDate) + " " + records[0].getField(key::AlarmTime), "20080229 0030");
    EXPECT_EQ(records[1].getField(key::AlarmDate) + " " + records[1].getField(key::AlarmTime), "20080302 0830");

    // Back in: the leap day gives one day; two hours before gives 2 hours;
    // an alarm flag 0 sets no lead.
    ASSERT_EQ(handler.deleteAll(), ResponseOk);
    ASSERT_EQ(handler.beginImport(), ResponseOk);
    send(records[0]);
    Record twoHours = records[1];
    twoHours.putField(key::AlarmTime, "0700");
    send(twoHours);
    Record silent = records[1];
    silent.putField(key::AlarmFlag, "0");
    silent.putField(key::StartDate, "20080303");
    send(silent);

    const auto stored = events();
    ASSERT_EQ(stored.size(), 3u);
    const long expected[3][3] = {{1, 2, 1}, {1, 1, 2}, {0, 0, 0}};  // flag, unit, count
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(stored[i]->alarmFlag, expected[i][0]) << i;
        EXPECT_EQ(stored[i]->alarmFlag ? stored[i]->alarmLeadUnit : 0, expected[i][1]) << i;
        EXPECT_EQ(stored[i]->alarmLeadCount, expected[i][2]) << i;
    }
}

TEST_F(CalendarSectionTest, GetRecordCountLeavesSharedIdentifierWithHighestIndex) {
    auto low = desk.addEvent(at(2007, 1, 1, 8), at(2007, 1, 1, 9), L"copy");
    low->note = composedNote(sampleId, "mine");
    auto other = desk.addEvent(at(2007, 1, 2, 8), at(2007, 1, 2, 9), L"other");
    other->note = composedNote(otherId, "");
    auto high = desk.addEvent(at(2007, 1, 3, 8), at(2007, 1, 3, 9), L"original");
    high->note = composedNote(sampleId, "mine");
    auto bare = desk.addEvent(at(2007, 1, 4, 8), at(2007, 1, 4, 9), L"bare");

    int count = 0;
    EXPECT_EQ(handler.getRecordCount(count), ResponseOk);
    EXPECT_EQ(count, 0) << "without beginExport there is nothing to count";
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
    EXPECT_EQ(low->note, composedNote(fresh, "mine"));
}

TEST_F(CalendarSectionTest, UpdateReplacesTheEventAndKeepsItsIdentifier) {
    auto old = desk.addEvent(at(2007, 5, 1, 8), at(2007, 5, 1, 9), L"old");
    old->note = composedNote(sampleId, "old note");
    desk.addEvent(at(2007, 5, 2, 8), at(2007, 5, 2, 9), L"neighbour")->note = composedNote(otherId, "");

    ASSERT_EQ(handler.beginImport(), ResponseOk);
    const Record record = withFields({{fieldkey::RecordId, sampleId}, {key::StartDate, "20070503"},
                                      {key::Description, "new"}, {key::Notes, "new note"}});
    EXPECT_EQ(send(record), sampleId);
    EXPECT_TRUE(old->deleted);
    ASSERT_EQ(events().size(), 2u);
    EXPECT_EQ(events()[1]->description, L"new");
    EXPECT_EQ(events()[1]->note, composedNote(sampleId, "new note"));

    // Sent again within the same bracket, the search runs on the list
    // fetched right after the deletion, which does not hold the new event:
    // a second event with the identifier is made (getRecordCount sorts that
    // out on the next export).
    send(record);
    ASSERT_EQ(events().size(), 3u);
    EXPECT_EQ(idInNote(events()[2]->note), sampleId);

    EXPECT_EQ(handler.deleteRecord("{no such id}"), ResponseOk);
    EXPECT_EQ(handler.deleteRecord(sampleId), ResponseOk);
    EXPECT_EQ(handler.deleteRecord(sampleId), ResponseOk);
    ASSERT_EQ(events().size(), 1u);
    EXPECT_EQ(events()[0]->description, L"neighbour");
}

// Only "Repeat" decides whether an imported event repeats; an import
// bracket has nothing to export.
TEST_F(CalendarSectionTest, RecurringFlagIsNotReadOnImport) {
    Repeat daily;
    daily.setRepeatType(1);
    daily.setEndDate("0");
    const std::tuple<const char*, std::string, long> cases[] = {{"1", "", 0}, {"0", daily.save(), 1}};
    ASSERT_EQ(handler.beginImport(), ResponseOk);
    Record record = withFields({{"kept", "yes"}});
    EXPECT_EQ(handler.getNextRecord(record), ResponseNoMoreRecords);
    EXPECT_EQ(record.save(), withFields({{"kept", "yes"}}).save());
    for (const auto& [flag, repeat, repeating] : cases) {
        send(withFields({{key::StartDate, "20070105"}, {key::RecurringFlag, flag}, {fieldkey::Repeat, repeat}}));
        EXPECT_EQ(desk.calendar().items().back()->repeating, repeating) << flag;
    }
}

TEST_F(CalendarSectionTest, WorksOnlyInsideTheWindow) {
    desk.addEvent(at(1970, 1, 1, 12), at(1970, 1, 1, 13), L"too early");
    desk.addEvent(at(1970, 1, 2), at(1970, 1, 2), L"first day");
    desk.addEvent(at(2031, 12, 30), at(2031, 12, 30), L"last day");
    desk.addEvent(at(2031, 12, 30, 0, 1), at(2031, 12, 30, 1), L"too late");

    const std::vector<Record> records = exportAll(handler);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].getField(key::Description), "first day");
    EXPECT_EQ(records[1].getField(key::Description), "last day");

    EXPECT_EQ(handler.deleteAll(), ResponseOk);
    ASSERT_EQ(events().size(), 2u);
    EXPECT_EQ(events()[0]->description, L"too early");
    EXPECT_EQ(events()[1]->description, L"too late");

    desk.calendar().addCategory(L"Work");
    std::vector<std::string> names{"kept"};
    ASSERT_EQ(handler.readCategoryList(names), ResponseOk);
    EXPECT_EQ(names, (std::vector<std::string>{"kept", "Work"}));
    EXPECT_EQ(handler.writeCategoryList({"Travel"}), ResponseOk);
    EXPECT_EQ(desk.calendar().categories().size(), 1u) << "the calendar's categories are not written";
}

TEST_F(CalendarSectionTest, PalmDesktopFailuresAnswerFailed) {
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
    EXPECT_EQ(withoutCalendar.getLastError(), E_POINTER);
    EXPECT_EQ(withoutCalendar.writeCategoryList({"x"}), ResponseOk);
}

}  // namespace
