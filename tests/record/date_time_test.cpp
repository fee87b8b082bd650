#include "record/date_time.h"
#include "record/ole_date.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

constexpr double jan5 = 39087.0;  // 2007-01-05

TEST(DateTimeTest, DateValuesToTexts) {
    const struct { double value; std::string date, time; } cases[] = {
        {0.0, "", ""}, {jan5, "20070105", "0000"}, {jan5 + 14.5 / 24, "20070105", "1430"},
        {-333464.0, "09870101", "0000"},
        {-1.5, "18991229", "1200"},             // the integer part is the day, the fraction the time
        {39087.99999999, "20070106", "0000"},   // a hair before midnight rounds to the next day
        {-657434.0, "01000101", "0000"}, {-657435.0, "", ""}, {1e9, "", ""},  // the first day, and out of range
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dateValueToDateText(c.value) + "|" + dateValueToTimeText(c.value), c.date + "|" + c.time) << c.value;
    }
}

// Out-of-range fields roll over or are rejected as Windows does; a date of
// six or seven characters has a short day piece, anything shorter is no
// date; missing time pieces read as 0.
TEST(DateTimeTest, TextsToDateValues) {
    const struct { const char *date, *time; double value; } cases[] = {
        {"", "", 0.0}, {"", "1430", 0.0}, {"20070105", "", jan5}, {"20070105", "1430", jan5 + 14.5 / 24},
        {"09870101", "", -333464.0}, {"20071305", "", 0.0}, {"20070005", "", 0.0}, {"20070230", "", 39143.0},
        {"20070100", "", 39082.0}, {"00000101", "", 36526.0}, {"00370101", "", 50041.0}, {"00500101", "", 18264.0},
        {"20070105", "2500", jan5 + 1 + 1.0 / 24}, {"200701", "", 39082.0}, {"2007015", "", jan5},
        {"2", "1430", 0.0}, {"2007", "1430", 0.0}, {"20071", "1430", 0.0}, {"-1", "1430", 0.0}, {"0", "1430", 0.0},
        {"20080229", "", 39507.0}, {"20000229", "", 36585.0}, {"19000229", "", 61.0},  // leap years
        {"99991231", "", 2958465.0}, {"01000101", "", -657434.0},  // the last and the first day
        {"20070105", "9", jan5 + 9.0 / 24}, {"20070105", "093", jan5 + 9.05 / 24},
        // Day zero and the days before it: the time of day counts away from zero.
        {"18991230", "1200", 0.5}, {"18991229", "0600", -1.25},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(dateTimeTextsToDateValue(c.date, c.time), c.value) << c.date << " " << c.time;
        if (!*c.time) {
            EXPECT_EQ(dateTextToDateValue(c.date), c.value) << c.date;
        }
    }
    EXPECT_EQ(calendarDateToDateValue(2007, 1, 5), jan5);
    EXPECT_EQ(calendarDateToDateValue(987, 1, 1), -333464.0);
    EXPECT_EQ(calendarDateToDateValue(2007, 13, 1), 0.0);
    EXPECT_EQ(calendarDateToDateValue(10000, 1, 1), 0.0);

    DateTimeFields fields;
    fields.setFromTexts("2007", "9");
    EXPECT_EQ(0, fields.year + fields.month + fields.day + fields.minute);
    EXPECT_EQ(9, fields.hour);
}

// Date, time, seconds and weekday (0 is Sunday) of a set of fields.
std::string shown(const DateTimeFields& f) {
    return f.toDateText() + " " + f.toTimeText() + ":" + std::to_string(f.second) + " " + std::to_string(f.weekday());
}

// A date value's seconds round to the nearest.
TEST(DateTimeTest, FieldsFromAndToDateValues) {
    static_assert(sizeof(DateTimeFields) == 16, "SYSTEMTIME layout");
    DateTimeFields fields;
    ASSERT_TRUE(fields.setFromDateValue(0.0));
    EXPECT_EQ(shown(fields), "18991230 0000:0 6");
    ASSERT_TRUE(fields.setFromDateValue(jan5 + 0.75));
    EXPECT_EQ(shown(fields), "20070105 1800:0 5");
    EXPECT_DOUBLE_EQ(fields.toDateValue(), jan5 + 0.75);
    for (const auto& [seconds, second] : {std::pair{2.5, 3}, {59.4, 59}, {1.6, 2}, {86399.6, 0}}) {
        ASSERT_TRUE(variantTimeToFields(seconds / 86400.0, fields));
        EXPECT_EQ(fields.second, second) << seconds;
    }

    fields.setFromTexts("20080229", "2359");
    EXPECT_EQ(fields.toDateText() + fields.toTimeText(), "200802292359");
    EXPECT_EQ(fields.weekOfMonth(), 5);
    for (const auto& [day, week] : {std::pair{1, 1}, {7, 1}, {8, 2}, {28, 4}, {31, 5}}) {
        fields.day = static_cast<std::uint16_t>(day);
        EXPECT_EQ(fields.weekOfMonth(), week) << day;
    }
}

TEST(DateTimeTest, SecondsSince1970BothWays) {
    DateTimeFields fields;
    fields.setFromTexts("19700101", "");
    EXPECT_EQ(fields.toSecondsSince1970(), 0);
    fields.setFromTexts("20380119", "0314");
    fields.second = 7;
    EXPECT_EQ(fields.toSecondsSince1970(), INT_MAX);
    fields.second = 8;
    EXPECT_EQ(fields.toSecondsSince1970(), INT_MIN) << "taken modulo 2^32";
    fields.setFromTexts("19000301", "");
    EXPECT_EQ(fields.toSecondsSince1970(), -2203891200LL + 4294967296LL);

    fields.setFromSecondsSince1970(INT_MIN);
    EXPECT_EQ(shown(fields), "19011213 2045:52 5");
    fields.setFromSecondsSince1970(-1);
    EXPECT_EQ(shown(fields), "19691231 2359:59 3");
    fields.setFromSecondsSince1970(951782400);
    EXPECT_EQ(fields.toDateText(), "20000229");
    EXPECT_EQ(fields.toSecondsSince1970(), 951782400);
}

TEST(DateTimeTest, AlarmLeadConversions) {
    const struct { const char *alarmDate, *alarmTime, *startDate, *startTime; int count, unit; } leads[] = {
        {"20070105", "0830", "20070105", "0900", 30, 0}, {"20070104", "0700", "20070105", "0700", 1, 2},
        {"20070105", "0800", "20070105", "1000", 2, 1},  {"20070105", "1000", "20070105", "0900", -1, 1},
        {"20070105", "0900", "20070105", "0900", 0, 2},  {"20071231", "2330", "20080101", "0100", 90, 0},
    };
    for (const auto& l : leads) {
        int count = -99, unit = -99;
        leadFromAlarmMoment(l.alarmDate, l.alarmTime, l.startDate, l.startTime, count, unit);
        EXPECT_EQ(std::pair(count, unit), std::pair(l.count, l.unit)) << l.alarmDate << " " << l.alarmTime;
    }
    const struct { const char *date, *time; int count, unit; const char* alarm; } moments[] = {
        {"20080301", "0030", 1, LeadDays, "20080229 0030"}, {"20070105", "0900", 30, LeadMinutes, "20070105 0830"},
        {"20070105", "0900", 25, LeadHours, "20070104 0800"},
        {"20070105", "0900", 90, 7, "20070105 0858"},  // an unknown unit counts seconds
    };
    for (const auto& m : moments) {
        std::string date, time;
        alarmMomentFromLead(dateTimeTextsToDateValue(m.date, m.time), m.count, m.unit, date, time);
        EXPECT_EQ(date + " " + time, m.alarm) << m.count << " " << m.unit;
    }
}

}  // namespace
