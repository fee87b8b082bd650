// Recurrences of calendar events, through CalendarSectionImpl against the
// stand-in, and the shared kind and mask mapping.

#include "sections/calendar_recurrence.h"

#include <gtest/gtest.h>

#include "sections/calendar_section.h"
#include "sections/field_keys.h"
#include "standin/standin_desktop.h"

namespace {

using standin::StandinDesktop;

DATE at(int year, int month, int day, int hour = 0)
{
    return calendarDateToDateValue(year, month, day) + hour / 24.0;
}

Repeat parsed(const std::string& text)
{
    Repeat repeat;
    repeat.parse(text);
    return repeat;
}

std::vector<int> patternOf(const Repeat& repeat)
{
    std::vector<int> pattern(7);
    repeat.getDayPattern(pattern.data());
    return pattern;
}

class CalendarRecurrenceTest : public ::testing::Test {
protected:
    CalendarRecurrenceTest()
    {
        win::ComPtr<IDispatch> answer;
        desk.application()->get_Calendar(answer.put());
        collection = answer.query<CalendarCollection>(IID_CalendarCollection);
    }

    standin::CalendarSection::Item repeatingEvent(DATE start, long kind, long interval, DATE end, long mask)
    {
        auto event = desk.addEvent(start, start + 1.0 / 24, L"repeating");
        event->repeating = kind != 0;
        event->repeat = standin::EventRepeatRule{kind, interval, end, mask};
        return event;
    }

    /// The "Repeat" texts of every event, in window order.
    std::vector<std::string> exportedRepeats()
    {
        CalendarSectionImpl handler(collection.get());
        EXPECT_EQ(handler.beginExport(), ResponseOk);
        std::vector<std::string> texts;
        Record record;
        while (handler.getNextRecord(record) == ResponseOk) {
            texts.push_back(record.getField(fieldkey::Repeat));
            record.clear();
        }
        return texts;
    }

    /// Imports one event starting on 5 January 2009 with `repeat`; answers it.
    standin::CalendarSection::Item imported(const Repeat& repeat)
    {
        CalendarSectionImpl handler(collection.get());
        EXPECT_EQ(handler.beginImport(), ResponseOk);
        Record record;
        record.putField(fieldkey::calendar::StartDate, "20090105");
        record.putField(fieldkey::Repeat, repeat.save());
        std::string id;
        EXPECT_EQ(handler.sendRecord(record, id), ResponseOk);
        return desk.calendar().items().back();
    }

    StandinDesktop desk;
    win::ComPtr<CalendarCollection> collection;
};

TEST(RepeatRuleMapping, WeekdayRunsAndDayPatternsGiveMasks)
{
    Repeat run;
    run.setRepeatType(2);
    run.setDayOfWeek(6);
    run.setNumDaysToRepeat(3);
    EXPECT_EQ(palmRuleOf(run)->kind, 2);
    EXPECT_EQ(palmRuleOf(run)->mask, 0x61);  // Friday, Saturday, Sunday
    run.setNumDaysToRepeat(10);
    EXPECT_EQ(palmRuleOf(run)->mask, 0x7F);
    run.setNumDaysToRepeat(0);
    EXPECT_EQ(palmRuleOf(run)->mask, 0);
    run.setDayOfWeek(0);  // no such day: the run goes on at Sunday
    run.setNumDaysToRepeat(2);
    EXPECT_EQ(palmRuleOf(run)->mask, 0x01);

    Repeat pattern;
    pattern.setRepeatType(12);
    const int days[7] = {0, 1, 0, 1, 0, 1, 0};
    pattern.setDayPattern(days);
    EXPECT_EQ(palmRuleOf(pattern)->kind, 2);
    EXPECT_EQ(palmRuleOf(pattern)->mask, 0x2A);

    EXPECT_EQ(weekdayBit(1), 1);
    EXPECT_EQ(weekdayBit(7), 0x40);
    EXPECT_EQ(weekdayBit(8), 0);
}

TEST(RepeatRuleMapping, TypesThreeAndFourSwapWithKindsAndOthersHaveNoRule)
{
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
TEST(RepeatRuleMapping, EndDateTextsThatNameNoDayMeanNoEnd)
{
    EXPECT_DOUBLE_EQ(palmEndDate("20090630"), at(2009, 6, 30));
    EXPECT_DOUBLE_EQ(palmEndDate("20080229"), at(2008, 2, 29));
    for (const char* noDay : {"0", "-1", "", "2009", "2009063", "200906300", "2009-6-3", "20091301", "20090230",
                              "20090600", "00990101"})
        EXPECT_EQ(palmEndDate(noDay), 0.0) << noDay;
    EXPECT_EQ(repeatEndText(0.0), "-1");
    EXPECT_EQ(repeatEndText(at(2009, 6, 30)), "20090630");
}

TEST_F(CalendarRecurrenceTest, ExportsKindsAsRepeatTypes)
{
    repeatingEvent(at(2007, 1, 1, 9), 1, 3, at(2007, 3, 1), 0);
    repeatingEvent(at(2007, 1, 2, 9), 2, 2, 0.0, 0x2A);
    repeatingEvent(at(2007, 1, 31, 9), 3, 1, 0.0, 0);  // a Wednesday in week 5
    repeatingEvent(at(2007, 2, 1, 9), 4, 1, 0.0, 0);
    repeatingEvent(at(2007, 2, 2, 9), 5, 1, 0.0, 0);
    repeatingEvent(at(2007, 2, 3, 9), 6, 1, 0.0, 0);

    const std::vector<std::string> texts = exportedRepeats();
    ASSERT_EQ(texts.size(), 6u);

    const Repeat daily = parsed(texts[0]);
    EXPECT_EQ(daily.getRepeatType(), 1);
    EXPECT_EQ(daily.getFrequency(), 3);
    EXPECT_EQ(daily.getStartDate(), "20070101");
    EXPECT_EQ(daily.getEndDate(), "20070301");

    const Repeat weekly = parsed(texts[1]);
    EXPECT_EQ(weekly.getRepeatType(), 12);
    EXPECT_EQ(patternOf(weekly), (std::vector<int>{0, 1, 0, 1, 0, 1, 0}));
    EXPECT_EQ(weekly.getNumDaysToRepeat(), 1);
    EXPECT_EQ(weekly.getEndDate(), "-1");

    const Repeat byWeekday = parsed(texts[2]);
    EXPECT_EQ(byWeekday.getRepeatType(), 4);
    EXPECT_EQ(byWeekday.getDayOfWeek(), 4);
    EXPECT_EQ(byWeekday.getWeekOfMonth(), 5);

    const Repeat byDate = parsed(texts[3]);
    EXPECT_EQ(byDate.getRepeatType(), 3);
    EXPECT_EQ(byDate.getDayOfMonth(), 1);

    const Repeat yearly = parsed(texts[4]);
    EXPECT_EQ(yearly.getRepeatType(), 5);
    EXPECT_EQ(yearly.getDayOfMonth(), 2);
    EXPECT_EQ(yearly.getMonth(), 2);

    EXPECT_EQ(texts[5], "");  // kind 6: repeating, but no recurrence text
}

TEST_F(CalendarRecurrenceTest, ExceptionsAreSearchedUpTo2031OrTheDayAfterTheEnd)
{
    auto open = repeatingEvent(at(2009, 1, 5, 9), 1, 1, 0.0, 0);
    open->exceptions = {at(2009, 1, 3), at(2009, 1, 4), at(2010, 3, 3), at(2031, 12, 29), at(2031, 12, 31)};
    auto ending = repeatingEvent(at(2009, 1, 6, 9), 1, 1, at(2009, 6, 30), 0);
    ending->exceptions = {at(2009, 6, 30), at(2009, 7, 1), at(2009, 7, 2)};
    auto late = repeatingEvent(at(2009, 1, 7, 9), 1, 1, at(2040, 1, 1), 0);
    late->exceptions = {at(2031, 12, 30), at(2032, 1, 5)};

    const std::vector<std::string> texts = exportedRepeats();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(parsed(texts[0]).getExclusionDates(), (std::vector<std::string>{"20100303", "20311229"}));
    EXPECT_EQ(parsed(texts[1]).getExclusionDates(), (std::vector<std::string>{"20090630", "20090701"}));
    EXPECT_EQ(parsed(texts[2]).getExclusionDates(), (std::vector<std::string>{"20311230"}));
}

TEST_F(CalendarRecurrenceTest, ImportsRuleEndAndExceptions)
{
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
    monthly.setRepeatType(3);
    monthly.setEndDate("-1");
    event = imported(monthly);
    EXPECT_EQ(event->repeat.kind, 4);
    EXPECT_EQ(event->repeat.end, 0.0);
    monthly.setRepeatType(4);
    monthly.setEndDate("0");
    event = imported(monthly);
    EXPECT_EQ(event->repeat.kind, 3);
    EXPECT_EQ(event->repeat.end, 0.0);

    for (int type : {0, 7, 13, -1}) {
        Repeat unknown;
        unknown.setRepeatType(type);
        EXPECT_EQ(imported(unknown)->repeating, 0) << type;
    }
}

}  // namespace
