#include "record/date_time.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

constexpr double jan5of2007 = 39087.0;

TEST(DateTimeTest, DateValuesToTexts)
{
    EXPECT_EQ(dateValueToDateText(0.0), "");
    EXPECT_EQ(dateValueToTimeText(0.0), "");
    EXPECT_EQ(dateValueToDateText(jan5of2007), "20070105");
    EXPECT_EQ(dateValueToTimeText(jan5of2007), "0000");
    EXPECT_EQ(dateValueToTimeText(jan5of2007 + 14.5 / 24), "1430");
    EXPECT_EQ(dateValueToDateText(-333464.0), "09870101");
    // Negative values: the integer part is the day, the fraction the time.
    EXPECT_EQ(dateValueToDateText(-1.5), "18991229");
    EXPECT_EQ(dateValueToTimeText(-1.5), "1200");
    // A hair before midnight rounds to the next day.
    EXPECT_EQ(dateValueToDateText(39087.99999999), "20070106");
    EXPECT_EQ(dateValueToTimeText(39087.99999999), "0000");
    EXPECT_EQ(dateValueToDateText(1e9), "") << "out of range";
}

TEST(DateTimeTest, TextsToDateValues)
{
    EXPECT_EQ(dateTextToDateValue(""), 0.0);
    EXPECT_EQ(dateTimeTextsToDateValue("", "1430"), 0.0);
    EXPECT_EQ(dateTextToDateValue("20070105"), jan5of2007);
    EXPECT_EQ(dateTimeTextsToDateValue("20070105", ""), jan5of2007);
    EXPECT_DOUBLE_EQ(dateTimeTextsToDateValue("20070105", "1430"), jan5of2007 + 14.5 / 24);
    EXPECT_EQ(calendarDateToDateValue(2007, 1, 5), jan5of2007);
    EXPECT_EQ(calendarDateToDateValue(987, 1, 1), -333464.0);
    EXPECT_EQ(dateValueToDateText(dateTextToDateValue("09870101")), "09870101");
}

TEST(DateTimeTest, PlatformRollsOrRejectsOutOfRangeFields)
{
    EXPECT_EQ(dateTextToDateValue("20071305"), 0.0) << "month 13 is rejected";
    EXPECT_EQ(dateTextToDateValue("20070005"), 0.0) << "month 0 is rejected, as Windows does";
    EXPECT_EQ(dateTextToDateValue("20070230"), 39143.0) << "Feb 30 is Mar 2";
    EXPECT_EQ(dateTextToDateValue("20070100"), 39082.0) << "day 0 is the day before";
    EXPECT_EQ(dateTextToDateValue("00000101"), 36526.0) << "year 0 is 2000";
    EXPECT_EQ(dateTextToDateValue("00370101"), 50041.0) << "year 37 is 2037";
    EXPECT_EQ(dateTextToDateValue("00500101"), 18264.0) << "year 50 is 1950";
    EXPECT_DOUBLE_EQ(dateTimeTextsToDateValue("20070105", "2500"), jan5of2007 + 1 + 1.0 / 24);
    EXPECT_EQ(calendarDateToDateValue(2007, 13, 1), 0.0);
}

// A date text of six or seven characters has a short day piece; anything
// shorter is no date at all. Missing time pieces read as 0.
TEST(DateTimeTest, ShortTextsNeitherCrashNorReadPastTheEnd)
{
    EXPECT_EQ(dateTextToDateValue("200701"), 39082.0) << "day piece empty: day 0";
    EXPECT_EQ(dateTextToDateValue("2007015"), 39087.0);
    for (const char* shortDate : {"2", "2007", "20071", "-1", "0"})
        EXPECT_EQ(dateTimeTextsToDateValue(shortDate, "1430"), 0.0) << shortDate;
    EXPECT_DOUBLE_EQ(dateTimeTextsToDateValue("20070105", "9"), jan5of2007 + 9.0 / 24);
    EXPECT_DOUBLE_EQ(dateTimeTextsToDateValue("20070105", "093"), jan5of2007 + 9.05 / 24);

    DateTimeFields fields;
    fields.setFromTexts("2007", "9");
    EXPECT_EQ(fields.year, 0);
    EXPECT_EQ(fields.month, 0);
    EXPECT_EQ(fields.day, 0);
    EXPECT_EQ(fields.hour, 9);
    EXPECT_EQ(fields.minute, 0);
}

TEST(DateTimeTest, FieldsFromAndToDateValues)
{
    static_assert(sizeof(DateTimeFields) == 16, "SYSTEMTIME layout");

    DateTimeFields epoch;
    ASSERT_TRUE(epoch.setFromDateValue(0.0));
    EXPECT_EQ(epoch.toDateText(), "18991230");
    EXPECT_EQ(epoch.weekday(), 6);

    DateTimeFields friday;
    ASSERT_TRUE(friday.setFromDateValue(jan5of2007 + 0.75));
    EXPECT_EQ(friday.weekday(), 5);
    EXPECT_EQ(friday.toTimeText(), "1800");
    EXPECT_DOUBLE_EQ(friday.toDateValue(), jan5of2007 + 0.75);

    DateTimeFields texts;
    texts.setFromTexts("20080229", "2359");
    EXPECT_EQ(texts.toDateText(), "20080229");
    EXPECT_EQ(texts.toTimeText(), "2359");
    EXPECT_EQ(texts.weekOfMonth(), 5);
    for (const auto& [day, week] : {std::pair{1, 1}, {7, 1}, {8, 2}, {28, 4}, {31, 5}}) {
        texts.day = static_cast<std::uint16_t>(day);
        EXPECT_EQ(texts.weekOfMonth(), week) << day;
    }
}

TEST(DateTimeTest, SecondsSince1970BothWays)
{
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

    DateTimeFields back;
    back.setFromSecondsSince1970(INT_MIN);
    EXPECT_EQ(back.toDateText(), "19011213");
    EXPECT_EQ(back.toTimeText(), "2045");
    EXPECT_EQ(back.second, 52);
    EXPECT_EQ(back.weekday(), 5);
    back.setFromSecondsSince1970(-1);
    EXPECT_EQ(back.toDateText(), "19691231");
    EXPECT_EQ(back.weekday(), 3);
    back.setFromSecondsSince1970(951782400);  // 2000-02-29
    EXPECT_EQ(back.toDateText(), "20000229");
    EXPECT_EQ(back.toSecondsSince1970(), 951782400);
}

TEST(DateTimeTest, AlarmLeadConversions)
{
    const auto lead = [](const char* alarmDate, const char* alarmTime, const char* startDate,
                         const char* startTime) {
        int count = -99, unit = -99;
        leadFromAlarmMoment(alarmDate, alarmTime, startDate, startTime, count, unit);
        return std::pair{count, unit};
    };
    EXPECT_EQ(lead("20070105", "0830", "20070105", "0900"), std::pair(30, 0));
    EXPECT_EQ(lead("20070104", "0700", "20070105", "0700"), std::pair(1, 2));
    EXPECT_EQ(lead("20070105", "0800", "20070105", "1000"), std::pair(2, 1));
    EXPECT_EQ(lead("20070105", "1000", "20070105", "0900"), std::pair(-1, 1));
    EXPECT_EQ(lead("20070105", "0900", "20070105", "0900"), std::pair(0, 2));
    EXPECT_EQ(lead("20071231", "2330", "20080101", "0100"), std::pair(90, 0));

    std::string date, time;
    alarmMomentFromLead(dateTimeTextsToDateValue("20080301", "0030"), 1, LeadDays, date, time);
    EXPECT_EQ(date + " " + time, "20080229 0030");
    alarmMomentFromLead(dateTimeTextsToDateValue("20070105", "0900"), 30, LeadMinutes, date, time);
    EXPECT_EQ(date + " " + time, "20070105 0830");
    alarmMomentFromLead(dateTimeTextsToDateValue("20070105", "0900"), 25, LeadHours, date, time);
    EXPECT_EQ(date + " " + time, "20070104 0800");
    alarmMomentFromLead(dateTimeTextsToDateValue("20070105", "0900"), 90, 7, date, time);
    EXPECT_EQ(date + " " + time, "20070105 0858") << "unknown unit: seconds";
}

}  // namespace
