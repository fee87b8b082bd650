// Recurrences of calendar events, through CalendarSectionImpl against the
// stand-in, and the shared kind and mask mapping.

#include "sections/calendar_recurrence.h"

#include <gtest/gtest.h>

#include <tuple>

#include "sections/calendar_section.h"
#include "sections/field_keys.h"
#include "section_test_support.h"

namespace {

using namespace sectiontest;


Repeat parsed(const std::string& text) {
    Repeat repeat;
    repeat.parse(text);
    return repeat;
}

class CalendarRecurrenceTest : public ::testing::Test {
protected:
    void repeatingEvent(DATE start, long kind, long interval, DATE end, long mask, std::vector<DATE> exceptions = {}) {
        auto event = desk.addEvent(start, start + 1.0 / 24, L"repeating");
        event->repeating = 1;
        event->repeat = standin::EventRepeatRule{kind, interval, end, mask};
        event->exceptions = std::move(exceptions);
    }
    /// The "Repeat" of every event, parsed, in window order.
    std::vector<Repeat> exportedRepeats() {
        std::vector<Repeat> repeats;
        for (const Record& record : exportAll(handler)) repeats.push_back(parsed(record.getField(fieldkey::Repeat)));
        return repeats;
    }
    /// Imports one event starting on 5 January 2009 with `repeat`; answers it.
    standin::CalendarSection::Item imported(const Repeat& repeat) {
        EXPECT_EQ(handler.beginImport(), ResponseOk);
        std::string id;
        EXPECT_EQ(handler.sendRecord(withFields({{fieldkey::calendar::StartDate, "20090105"},
                                                 {fieldkey::Repeat, repeat.save()}}),
                                     id),
                  ResponseOk);
        return desk.calendar().items().back();
    }

    standin::StandinDesktop desk;
    win::ComPtr<CalendarCollection> collection =
        collectionOf<CalendarCollection>(desk, &PalmApplication::get_Calendar, IID_CalendarCollection);
    CalendarSectionImpl handler{collection.get()};
};

TEST(RepeatRuleMapping, WeekdayRunsAndDayPatternsGiveMasks) {
    Repeat run;
    run.setRepeatType(2);
    // {first weekday, days}: Friday for 3 days is Friday, Saturday, Sunday;
    // day 0 (no such day) runs on at Sunday.
    const int runs[][3] = {{6, 3, 0x61}, {6, 10, 0x7F}, {6, 0, 0}, {0, 2, 0x01}};
    for (const auto& [day, days, mask] : runs) {
        run.setDayOfWeek(day);
        run.setNumDaysToRepeat(days);
        EXPECT_EQ(palmRuleOf(run)->kind, 2);
        EXPECT_EQ(palmRuleOf(run)->mask, mask) << day << " for " << days;
    }
    Repeat pattern;
    pattern.setRepeatType(12);
    int days[7] = {0, 1, 0, 1, 0, 1, 0};
    pattern.setDayPattern(days);
    EXPECT_EQ(palmRuleOf(pattern)->kind, 2);
    EXPECT_EQ(palmRuleOf(pattern)->mask, 0x2A);
}

TEST(RepeatRuleMapping, TypesThreeAndFourSwapWithKindsAndOthersHaveNoRule) {
    Repeat repeat;
    const std::pair<int, long> accepted[] = {{1, 1}, {3, 4}, {4, 3}, {5, 5}};
    for (const auto& [type, kind] : accepted) {
        repeat.setRepeatType(type);
        ASSERT_TRUE(palmRuleOf(repeat)) << type;
        EXPECT_EQ(palmRuleOf(repeat)->kind, kind) << type;
        EXPECT_EQ(palmRuleOf(repeat)->mask, 0) << type;
    }
    for (int type : {0, 6, 7, 11, 13, -1}) {
        repeat.setRepeatType(type);
        EXPECT_FALSE(palmRuleOf(repeat)) << type;
    }
}

// Only "0" and valid date texts are read as such; "-1" (the export's own
// no-end marker), short, non-numeric or impossible dates mean no end.
TEST(RepeatRuleMapping, EndDateTextsThatNameNoDayMeanNoEnd) {
    EXPECT_DOUBLE_EQ(palmEndDate("20090630"), at(2009, 6, 30));
    EXPECT_DOUBLE_EQ(palmEndDate("20080229"), at(2008, 2, 29));
    for (const char* noDay : {"0", "-1", "", "2009", "2009063", "200906300", "2009-6-3", "20091301", "20090230",
                              "20090600", "00990101"})
        EXPECT_EQ(palmEndDate(noDay), 0.0) << noDay;
    EXPECT_EQ(repeatEndText(0.0), "-1");
    EXPECT_EQ(repeatEndText(at(2009, 6, 30)), "20090630");
}

TEST_F(CalendarRecurrenceTest, ExportsKindsAsRepeatTypes) {
    repeatingEvent(at(2007, 1, 1, 9), 1, 3, at(2007, 3, 1), 0);
    repeatingEvent(at(2007, 1, 2, 9), 2, 2, 0.0, 0x2A);
    repeatingEvent(at(2007, 1, 31, 9), 3, 1, 0.0, 0);  // a Wednesday in week 5
    repeatingEvent(at(2007, 2, 1, 9), 4, 1, 0.0, 0);
    repeatingEvent(at(2007, 2, 2, 9), 5, 1, 0.0, 0);
    repeatingEvent(at(2007, 2, 3, 9), 6, 1, 0.0, 0);

    const std::vector<Repeat> r = exportedRepeats();
    ASSERT_EQ(r.size(), 6u);
    EXPECT_EQ(r[0].getRepeatType(), 1);
    EXPECT_EQ(r[0].getFrequency(), 3);
    EXPECT_EQ(r[0].getStartDate() + "-" + r[0].getEndDate(), "20070101-20070301");

    EXPECT_EQ(r[1].getRepeatType(), 12);
    std::vector<int> pattern(7);
    r[1].getDayPattern(pattern.data());
    EXPECT_EQ(pattern, (std::vector<int>{0, 1, 0, 1, 0, 1, 0}));
    EXPECT_EQ(r[1].getNumDaysToRepeat(), 1);
    EXPECT_EQ(r[1].getEndDate(), "-1");

    EXPECT_EQ(r[2].getRepeatType(), 4);
    EXPECT_EQ(r[2].getDayOfWeek(), 4);
    EXPECT_EQ(r[2].getWeekOfMonth(), 5);
    EXPECT_EQ(r[3].getRepeatType(), 3);
    EXPECT_EQ(r[3].getDayOfMonth(), 1);
    EXPECT_EQ(r[4].getRepeatType(), 5);
    EXPECT_EQ(r[4].getDayOfMonth(), 2);
    EXPECT_EQ(r[4].getMonth(), 2);
    EXPECT_EQ(exportAll(handler).at(5).getField(fieldkey::Repeat), "");  // kind 6: repeating, no text
}

TEST_F(CalendarRecurrenceTest, ExceptionsAreSearchedUpTo2031OrTheDayAfterTheEnd) {
    repeatingEvent(at(2009, 1, 5, 9), 1, 1, 0.0, 0,
                   {at(2009, 1, 3), at(2009, 1, 4), at(2010, 3, 3), at(2031, 12, 29), at(2031, 12, 31)});
    repeatingEvent(at(2009, 1, 6, 9), 1, 1, at(2009, 6, 30), 0, {at(2009, 6, 30), at(2009, 7, 1), at(2009, 7, 2)});
    repeatingEvent(at(2009, 1, 7, 9), 1, 1, at(2040, 1, 1), 0, {at(2031, 12, 30), at(2032, 1, 5)});

    const std::vector<Repeat> r = exportedRepeats();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].getExclusionDates(), (std::vector<std::string>{"20100303", "20311229"}));
    EXPECT_EQ(r[1].getExclusionDates(), (std::vector<std::string>{"20090630", "20090701"}));
    EXPECT_EQ(r[2].getExclusionDates(), (std::vector<std::string>{"20311230"}));
}

TEST_F(CalendarRecurrenceTest, ImportsRuleEndAndExceptions) {
    Repeat weekly;
    weekly.setRepeatType(2);
    weekly.setDayOfWeek(6);
    weekly.setNumDaysToRepeat(3);
    weekly.setFrequency(2);
    weekly.setEndDate("20090630");
    weekly.setExclusionDates({"20090109", "-1", "", "2009011", "20090230", "20090116"});
    auto event = imported(weekly);
    EXPECT_EQ(event->repeating, 1);
    EXPECT_EQ(event->repeat.kind, 2);
    EXPECT_EQ(event->repeat.mask, 0x61);
    EXPECT_EQ(event->repeat.interval, 2);
    EXPECT_DOUBLE_EQ(event->repeat.end, at(2009, 6, 30));
    EXPECT_EQ(event->exceptions, (std::vector<DATE>{at(2009, 1, 9), at(2009, 1, 16)}));

    Repeat monthly;
    const std::tuple<int, const char*, long> swapped[] = {{3, "-1", 4}, {4, "0", 3}};
    for (const auto& [type, end, kind] : swapped) {
        monthly.setRepeatType(type);
        monthly.setEndDate(end);
        event = imported(monthly);
        EXPECT_EQ(event->repeat.kind, kind) << type;
        EXPECT_EQ(event->repeat.end, 0.0) << type;
    }
    for (int type : {0, 7, 13, -1}) {
        Repeat unknown;
        unknown.setRepeatType(type);
        EXPECT_EQ(imported(unknown)->repeating, 0) << type;
    }
}

}  // namespace
