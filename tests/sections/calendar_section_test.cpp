// The calendar handler and its recurrences against the stand-in, and the
// shared repeat kind and mask mapping.

#include <gtest/gtest.h>

#include "sections/calendar_recurrence.h"
#include "sections/calendar_section.h"
#include "record/date_time.h"
#include "section_test_support.h"

#include <tuple>

namespace {

using namespace sectiontest;
namespace key = fieldkey::calendar;

const std::string sampleId = "{0A1B2C3D-0000-4000-8000-00000000000A}";
const std::string otherId = "{0A1B2C3D-0000-4000-8000-00000000000B}";

// The stand-in's default readings: event lists are snapshots, so deleteAll
// empties the window in one pass (section_readings_test has the others).
class CalendarSectionTest : public ::testing::Test {
protected:
    std::vector<standin::CalendarSection::Item> events() { return desk.eventsBetween(at(1900, 1, 1), at(2100, 1, 1)); }
    std::string send(const Record& record) {
        std::string id;
        EXPECT_EQ(handler->sendRecord(record, id), ResponseOk);
        return id;
    }
    void repeatingEvent(DATE start, long kind, long interval, DATE end, long mask, std::vector<DATE> exceptions = {}) {
        auto event = desk.addEvent(start, start + 1.0 / 24, L"repeating");
        event->repeating = 1;
        event->repeat = standin::EventRepeatRule{kind, interval, end, mask};
        event->exceptions = std::move(exceptions);
    }
    /// Imports one event starting on 5 January 2009 with `repeat` and `recurringFlag`; answers it.
    standin::CalendarSection::Item imported(const std::string& repeat, const char* recurringFlag = "0") {
        EXPECT_EQ(handler->beginImport(), ResponseOk);
        send(withFields({{key::StartDate, "20090105"}, {key::RecurringFlag, recurringFlag},
                         {fieldkey::Repeat, repeat}}));
        return desk.calendar().items().back();
    }

    standin::StandinDesktop desk;
    std::unique_ptr<CalendarSectionImpl> handler = handlerOf<CalendarSectionImpl>(desk, SectionCalendar);
};

TEST_F(CalendarSectionTest, TimedAndUntimedEventsBothWays) {
    auto timed = desk.addEvent(at(2007, 1, 5, 9, 30), at(2007, 1, 5, 10, 45), L"Dentist");
    timed->isPrivate = 1;
    timed->alarmFlag = 1;
    timed->alarmLeadUnit = 2;  // days
    timed->alarmLeadCount = 1;
    timed->location = L"Main St";
    timed->category = L"Health";
    auto untimed = desk.addEvent(at(2007, 1, 6), at(2007, 1, 6), L"Holiday");
    untimed->untimed = 1;
    untimed->note = L"bring towels";
    untimed->extended = false;

    const std::vector<Record> records = exportAll(*handler);
    ASSERT_EQ(records.size(), 2u);
    expectFields(records[0], {{key::StartDate, "20070105"}, {key::StartTime, "0930"}, {key::EndDate, "20070105"},
                              {key::EndTime, "1045"}, {key::ConfidentialFlag, "1"}, {key::RecurringFlag, "0"},
                              {key::Location, "Main St"}, {key::Category, "Health"}, {fieldkey::Repeat, nullptr},
                              {key::AlarmFlag, "1"}, {key::AlarmDate, "20070104"}, {key::AlarmTime, "0930"}});
    // Untimed: only the start date of the four; no EventItemEx, no location or category.
    expectFields(records[1], {{key::StartDate, "20070106"}, {key::Notes, "bring towels"}, {key::StartTime, nullptr},
                              {key::EndDate, nullptr}, {key::EndTime, nullptr}, {key::Location, nullptr},
                              {key::Category, nullptr}, {key::AlarmFlag, "0"}, {key::AlarmDate, nullptr}});
    EXPECT_EQ(untimed->note, composedNote(records[1].getField(fieldkey::RecordId), "bring towels"));

    ASSERT_EQ(handler->deleteAll(), ResponseOk);
    desk.calendar().addCategory(L"Health");
    desk.calendar().extendNewItems = false;
    ASSERT_EQ(handler->beginImport(), ResponseOk);
    // An alarm flag 0 sets no lead.
    const std::string untimedId = send(withFields({{key::StartDate, "20070106"}, {key::Description, "Holiday"},
                                                   {key::Notes, "towels"}, {key::Location, "Beach"},
                                                   {key::AlarmFlag, "0"}, {key::AlarmDate, "20070105"},
                                                   {key::AlarmTime, "2200"}}));
    desk.calendar().extendNewItems = true;
    Record timedBack = records[0];
    timedBack.putField(key::Location, "");  // empty: left as Palm Desktop makes it
    timedBack.putField(fieldkey::RecordId, sampleId);
    EXPECT_EQ(send(timedBack), sampleId);

    const auto stored = events();
    ASSERT_EQ(stored.size(), 2u);
    const auto &t = *stored[0], &u = *stored[1];
    EXPECT_EQ(std::vector<long>({t.untimed, t.isPrivate, t.repeating, t.alarmFlag, t.alarmLeadUnit, t.alarmLeadCount,
                                 u.untimed, u.alarmFlag, u.alarmLeadCount}),
              std::vector<long>({0, 1, 0, 1, 2, 1, 1, 0, 0}));
    EXPECT_DOUBLE_EQ(t.start, at(2007, 1, 5, 9, 30));
    EXPECT_DOUBLE_EQ(t.end, at(2007, 1, 5, 10, 45));
    EXPECT_DOUBLE_EQ(u.start, at(2007, 1, 6));
    EXPECT_DOUBLE_EQ(u.end, at(2007, 1, 6));
    EXPECT_EQ(t.location + L"/" + t.category, L"/Health");
    EXPECT_EQ(u.note, composedNote(untimedId, "towels"));
    EXPECT_EQ(u.location, L"") << "set only through EventItemEx";
}

// Leads in minutes and hours: the moment the alarm rings on export; on import, the lead again, in the largest unit
// that divides it.
TEST_F(CalendarSectionTest, AlarmLeadsInMinutesAndHoursBothWays) {
    const std::tuple<long, long, const char*, const char*> leads[] = {{LeadMinutes, 15, "20070105", "0915"},
                                                                      {LeadMinutes, 90, "20070105", "0800"},
                                                                      {LeadHours, 2, "20070105", "0730"},
                                                                      {LeadHours, 10, "20070104", "2330"}};
    for (const auto& [unit, count, date, time] : leads) {
        auto event = desk.addEvent(at(2007, 1, 5, 9, 30), at(2007, 1, 5, 10, 0), L"Call");
        event->alarmFlag = 1;
        event->alarmLeadUnit = unit;
        event->alarmLeadCount = count;
    }
    const std::vector<Record> records = exportAll(*handler);
    ASSERT_EQ(records.size(), std::size(leads));
    ASSERT_EQ(handler->deleteAll(), ResponseOk);
    ASSERT_EQ(handler->beginImport(), ResponseOk);
    for (std::size_t i = 0; i < records.size(); ++i) {
        expectFields(records[i], {{key::AlarmDate, std::get<2>(leads[i])}, {key::AlarmTime, std::get<3>(leads[i])}});
        send(records[i]);
    }
    const auto stored = events();
    ASSERT_EQ(stored.size(), std::size(leads));
    for (std::size_t i = 0; i < stored.size(); ++i)
        EXPECT_EQ(std::make_pair(stored[i]->alarmLeadUnit, stored[i]->alarmLeadCount),
                  std::make_pair(std::get<0>(leads[i]), std::get<1>(leads[i])))
            << i;
}

/// The calendar handler with the record-id index off (the full scan) or on.
class CalendarSearchTest : public ::testing::WithParamInterface<bool>,
                           public RecordIdIndexing,
                           public CalendarSectionTest {
protected:
    CalendarSearchTest() : RecordIdIndexing(GetParam()) {}
};

// An update replaces the event and keeps its identifier. Sent again in the
// same bracket, the search runs on the list fetched right after the deletion,
// without the new event: a second event gets the identifier, and the next
// export's count gives the one with the lower index a fresh identifier. The
// index finds the same events as the scan.
TEST_P(CalendarSearchTest, UpdateReplacesTheEventAndCountingMendsSharedIdentifiers) {
    auto old = desk.addEvent(at(2007, 5, 1, 8), at(2007, 5, 1, 9), L"old");
    old->note = composedNote(sampleId, "old note");
    desk.addEvent(at(2007, 5, 9, 8), at(2007, 5, 9, 9), L"neighbour")->note = composedNote(otherId, "");
    desk.addEvent(at(2007, 5, 10, 8), at(2007, 5, 10, 9), L"no note");

    ASSERT_EQ(handler->beginImport(), ResponseOk);
    const Record record = withFields({{fieldkey::RecordId, sampleId}, {key::StartDate, "20070503"},
                                      {key::Description, "new"}, {key::Notes, "new note"}});
    EXPECT_EQ(send(record), sampleId);
    EXPECT_TRUE(old->deleted);
    ASSERT_EQ(events().size(), 3u);
    EXPECT_EQ(events()[0]->description, L"new");
    EXPECT_EQ(events()[0]->note, composedNote(sampleId, "new note"));
    EXPECT_EQ(send(record), sampleId);
    const auto e = events();
    ASSERT_EQ(e.size(), 4u);

    int count = -1;
    EXPECT_EQ(handler->getRecordCount(count), ResponseOk);
    EXPECT_EQ(count, 0) << "without beginExport there is nothing to count";
    ASSERT_EQ(handler->beginExport(), ResponseOk);
    const int notesBefore = desk.faults().calls("EventItem.put_Note");
    ASSERT_EQ(handler->getRecordCount(count), ResponseOk);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(desk.faults().calls("EventItem.put_Note") - notesBefore, 1);
    EXPECT_EQ(e[1]->note + e[2]->note + e[3]->note, composedNote(sampleId, "new note") + composedNote(otherId, ""));
    const std::string fresh = idInNote(e[0]->note);
    EXPECT_NE(fresh, sampleId);
    EXPECT_EQ(e[0]->note, composedNote(fresh, "new note"));

    EXPECT_EQ(handler->deleteRecord("{no such id}"), ResponseOk);
    EXPECT_EQ(handler->deleteRecord(sampleId), ResponseOk);
    EXPECT_EQ(handler->deleteRecord(sampleId), ResponseOk);
    EXPECT_TRUE(e[1]->deleted && !e[0]->deleted);
    EXPECT_EQ(events().size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(ScanAndIndex, CalendarSearchTest, ::testing::Bool());

// Only events inside the window count; a failed conversion does not move the
// export on: the next call delivers the same event.
TEST_F(CalendarSectionTest, WorksInsideTheWindowAndAnswersFailures) {
    desk.addEvent(at(1970, 1, 1, 12), at(1970, 1, 1, 13), L"too early");
    desk.addEvent(at(1970, 1, 2), at(1970, 1, 2), L"first day");
    desk.addEvent(at(2031, 12, 30), at(2031, 12, 30), L"last day");
    desk.addEvent(at(2031, 12, 30, 0, 1), at(2031, 12, 30, 1), L"too late");
    ASSERT_EQ(handler->beginExport(), ResponseOk);
    desk.faults().failOn("EventItem.get_Description", 1, E_ACCESSDENIED);
    Record record;
    EXPECT_EQ(handler->getNextRecord(record), ResponseFailed);
    EXPECT_EQ(handler->getLastError(), E_ACCESSDENIED);
    std::vector<std::string> names;
    for (record.clear(); handler->getNextRecord(record) == ResponseOk; record.clear())
        names.push_back(record.getField(key::Description));
    EXPECT_EQ(names, (std::vector<std::string>{"first day", "last day"}));
    EXPECT_EQ(handler->deleteAll(), ResponseOk);
    ASSERT_EQ(events().size(), 2u);
    EXPECT_EQ(events()[0]->description + L"/" + events()[1]->description, L"too early/too late");

    desk.calendar().addCategory(L"Work");
    names = {"kept"};
    ASSERT_EQ(handler->readCategoryList(names), ResponseOk);
    EXPECT_EQ(names, (std::vector<std::string>{"kept", "Work"}));
    EXPECT_EQ(handler->writeCategoryList({"Travel"}), ResponseOk);
    EXPECT_EQ(desk.calendar().categories().size(), 1u) << "the calendar's categories are not written";

    desk.faults().failOn("CalendarCollection.Events", 1, E_OUTOFMEMORY);
    EXPECT_EQ(handler->beginImport(), ResponseFailed);
    EXPECT_EQ(handler->getLastError(), E_OUTOFMEMORY);
    desk.faults().failOn("CalendarCollection.NewEvent", 1, E_FAIL);
    std::string id;
    EXPECT_EQ(handler->sendRecord(Record(), id), ResponseFailed);
    EXPECT_EQ(id, "");

    CalendarSectionImpl withoutCalendar(nullptr);
    EXPECT_EQ(withoutCalendar.beginExport(), ResponseFailed);
    EXPECT_EQ(withoutCalendar.readCategoryList(names), ResponseFailed);
    EXPECT_EQ(withoutCalendar.getLastError(), E_POINTER);
    EXPECT_EQ(withoutCalendar.writeCategoryList({"x"}), ResponseOk);
}

TEST(RepeatRuleMapping, KindsAndMasks) {
    Repeat repeat;
    const auto rule = [&] { return palmRuleOf(repeat)->kind * 0x100 + palmRuleOf(repeat)->mask; };
    // {type, kind}: types 3 and 4 swap; others have no rule.
    for (const auto& [type, kind] : {std::pair{1, 1}, {3, 4}, {4, 3}, {5, 5}}) {
        repeat.setRepeatType(type);
        ASSERT_TRUE(palmRuleOf(repeat)) << type;
        EXPECT_EQ(rule(), kind * 0x100) << type;
    }
    for (int type : {0, 6, 7, 11, 13, -1}) {
        repeat.setRepeatType(type);
        EXPECT_FALSE(palmRuleOf(repeat)) << type;
    }
    // {first weekday, days, mask}: Friday for 3 days is Friday, Saturday,
    // Sunday; day 0 (no such day) runs on at Sunday.
    repeat.setRepeatType(2);
    const int runs[][3] = {{6, 3, 0x61}, {6, 10, 0x7F}, {6, 0, 0}, {0, 2, 0x01}};
    for (const auto& [day, days, mask] : runs) {
        repeat.setDayOfWeek(day);
        repeat.setNumDaysToRepeat(days);
        EXPECT_EQ(rule(), 0x200 + mask) << day << " for " << days;
    }
    repeat.setRepeatType(12);
    int days[7] = {1, 0, 0, 1, 0, 1, 1};  // Sunday, Wednesday, Friday, Saturday
    repeat.setDayPattern(days);
    EXPECT_EQ(rule(), 0x269);
}

// Only "0" and valid date texts are read as such; "-1" (the export's own
// no-end marker), short, non-numeric or impossible dates mean no end.
TEST(RepeatRuleMapping, EndDateTextsThatNameNoDayMeanNoEnd) {
    EXPECT_DOUBLE_EQ(palmEndDate("20090630"), at(2009, 6, 30));
    EXPECT_DOUBLE_EQ(palmEndDate("20080229"), at(2008, 2, 29));
    for (const char* noDay : {"0", "-1", "", "20090132", "2009063", "200906300", "2009-6-3", "20091301", "20090230",
                              "20090600", "00990101", "2009063x", "20090631", "+2009063"})
        EXPECT_EQ(palmEndDate(noDay), 0.0) << noDay;
    EXPECT_EQ(repeatEndText(0.0) + "/" + repeatEndText(at(2009, 6, 30)), "-1/20090630");
}

// Kinds become repeat types. Exceptions are searched from the day before the
// start up to the window's end (30 December 2031) or the day after the rule's
// end, and asked for while the search's status is 1. Read as "more to come"
// (the stand-in's default), every exception found is exported; read as "this
// one delivered", the search delivers the first itself, without a date, and
// it is lost.
TEST_F(CalendarSectionTest, ExportsKindsAndExceptionsUnderBothSearchReadings) {
    repeatingEvent(at(2007, 1, 1, 9), 1, 3, at(2007, 3, 1), 0);
    repeatingEvent(at(2007, 1, 2, 9), 2, 2, 0.0, 0x2A);
    repeatingEvent(at(2007, 1, 31, 9), 3, 1, 0.0, 0);  // a Wednesday in week 5
    repeatingEvent(at(2007, 2, 1, 9), 4, 1, 0.0, 0);
    repeatingEvent(at(2007, 2, 2, 9), 5, 1, 0.0, 0);
    repeatingEvent(at(2007, 2, 3, 9), 6, 1, 0.0, 0);
    repeatingEvent(at(2009, 1, 5, 9), 1, 1, 0.0, 0,
                   {at(2009, 1, 3), at(2009, 1, 4), at(2010, 3, 3), at(2031, 12, 29), at(2031, 12, 31)});
    repeatingEvent(at(2009, 1, 6, 9), 1, 1, at(2009, 6, 30), 0,
                   {at(2009, 1, 6), at(2009, 6, 30), at(2009, 7, 1), at(2009, 7, 2)});
    repeatingEvent(at(2009, 1, 7, 9), 1, 1, at(2040, 1, 1), 0, {at(2031, 12, 30), at(2032, 1, 5)});

    using Dates = std::vector<std::string>;
    const Dates exceptions[2][4] = {{{}, {"20100303", "20311229"}, {"20090106", "20090630", "20090701"}, {"20311230"}},
                                    {{}, {"20311229"}, {"20090630", "20090701"}, {}}};
    std::vector<Repeat> r;
    for (const bool searchDelivers : {false, true}) {
        desk.readings().beginSearchDelivers = searchDelivers;
        r.clear();
        for (const Record& record : exportAll(*handler)) r.push_back(parsed(record.getField(fieldkey::Repeat)));
        ASSERT_EQ(r.size(), 9u);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(r[i ? i + 5 : 0].getExclusionDates(), exceptions[searchDelivers][i]) << searchDelivers << i;
    }
    auto text = [](auto... v) { return ((std::to_string(v) + "/") + ...); };
    EXPECT_EQ(text(r[0].getRepeatType(), r[0].getFrequency()) + r[0].getStartDate() + "-" + r[0].getEndDate(),
              "1/3/20070101-20070301");
    std::vector<int> pattern(7);
    r[1].getDayPattern(pattern.data());
    EXPECT_EQ(pattern, (std::vector<int>{0, 1, 0, 1, 0, 1, 0}));
    EXPECT_EQ(text(r[1].getRepeatType(), r[1].getNumDaysToRepeat()) + r[1].getEndDate(), "12/1/-1");
    EXPECT_EQ(text(r[2].getRepeatType(), r[2].getDayOfWeek(), r[2].getWeekOfMonth()), "4/4/5/");
    EXPECT_EQ(text(r[3].getRepeatType(), r[3].getDayOfMonth()), "3/1/");
    EXPECT_EQ(text(r[4].getRepeatType(), r[4].getDayOfMonth(), r[4].getMonth()), "5/2/2/");
    EXPECT_EQ(exportAll(*handler).at(5).getField(fieldkey::Repeat), "");  // kind 6: repeating, no text
}

// Only "Repeat" decides whether an imported event repeats, its rule taken
// from the mapping above; an import bracket has nothing to export.
TEST_F(CalendarSectionTest, ImportsRuleEndAndExceptions) {
    Repeat weekly;
    weekly.setRepeatType(2);
    weekly.setDayOfWeek(6);
    weekly.setNumDaysToRepeat(3);
    weekly.setFrequency(2);
    weekly.setEndDate("20090630");
    weekly.setExclusionDates({"20090109", "-1", "", "2009011", "20090230", "20090116"});
    auto event = imported(weekly.save());
    const auto& rule = event->repeat;
    EXPECT_EQ(std::vector<long>({event->repeating, rule.kind, rule.mask, rule.interval}),
              std::vector<long>({1, 2, 0x61, 2}));
    EXPECT_DOUBLE_EQ(rule.end, at(2009, 6, 30));
    EXPECT_EQ(event->exceptions, (std::vector<DATE>{at(2009, 1, 9), at(2009, 1, 16)}));

    Repeat unknown;
    unknown.setRepeatType(7);
    EXPECT_EQ(imported(unknown.save(), "1")->repeating, 0);
    EXPECT_EQ(imported("", "1")->repeating, 0);
    Record record = withFields({{"kept", "yes"}});
    EXPECT_EQ(handler->getNextRecord(record), ResponseNoMoreRecords);
    EXPECT_EQ(record.save(), withFields({{"kept", "yes"}}).save());
}

}  // namespace
