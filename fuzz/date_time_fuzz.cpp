// The date and time conversions on arbitrary texts (date, time, alarm date,
// alarm time at line feeds). Round trips on built values: date and time
// texts through a date value (1899-12-30 00:00 is 0.0, no date), seconds
// since 1970 within 32 bits, and an alarm lead through an alarm moment.
#include "fuzz_support.h"
#include "record/date_time.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace {

void convertArbitraryTexts(const std::string& text)
{
    std::vector<std::string> part(4);
    std::istringstream lines(text);
    for (std::string& line : part)
        std::getline(lines, line);
    const double date = dateTimeTextsToDateValue(part[0], part[1]);
    dateTextToDateValue(part[0]);
    dateValueToDateText(date);
    dateValueToTimeText(date);
    DateTimeFields fields;
    fields.setFromTexts(part[0], part[1]);
    fields.toDateText();
    fields.toTimeText();
    fields.weekOfMonth();
    fields.toDateValue();
    DateTimeFields back;
    back.setFromSecondsSince1970(fields.toSecondsSince1970());
    int count = 0;
    int unit = 0;
    leadFromAlarmMoment(part[2], part[3], part[0], part[1], count, unit);
    FUZZ_CHECK(unit == LeadMinutes || unit == LeadHours || unit == LeadDays);
}

bool isLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int daysInMonth(int year, int month)
{
    static const int days[] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month];
}

struct Moment {
    int year, month, day, hour, minute;
    std::string dateText() const
    {
        char text[16];
        std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
        return text;
    }
    std::string timeText() const
    {
        char text[8];
        std::snprintf(text, sizeof text, "%02d%02d", hour, minute);
        return text;
    }
};

Moment takeMoment(FuzzedDataProvider& input, int firstYear, int lastYear)
{
    Moment moment{};
    moment.year = input.ConsumeIntegralInRange(firstYear, lastYear);
    moment.month = input.ConsumeIntegralInRange(1, 12);
    moment.day = input.ConsumeIntegralInRange(1, daysInMonth(moment.year, moment.month));
    moment.hour = input.ConsumeIntegralInRange(0, 23);
    moment.minute = input.ConsumeIntegralInRange(0, 59);
    return moment;
}

void textsRoundTrip(FuzzedDataProvider& input)
{
    const Moment moment = takeMoment(input, 100, 9999);
    const double date = dateTimeTextsToDateValue(moment.dateText(), moment.timeText());
    if (moment.year == 1899 && moment.month == 12 && moment.day == 30 && moment.hour == 0 &&
        moment.minute == 0) {
        FUZZ_CHECK(date == 0.0);
        return;
    }
    FUZZ_CHECK(dateValueToDateText(date) == moment.dateText());
    FUZZ_CHECK(dateValueToTimeText(date) == moment.timeText());
    FUZZ_CHECK(dateTextToDateValue(moment.dateText()) == calendarDateToDateValue(
        static_cast<std::uint16_t>(moment.year), static_cast<std::uint16_t>(moment.month),
        static_cast<std::uint16_t>(moment.day)));
}

void secondsRoundTrip(FuzzedDataProvider& input)
{
    // Whole days inside the exact 32-bit range, 1901-12-14 to 2038-01-18.
    Moment moment = takeMoment(input, 1902, 2037);
    DateTimeFields fields;
    fields.setFromTexts(moment.dateText(), moment.timeText());
    fields.second = static_cast<std::uint16_t>(input.ConsumeIntegralInRange(0, 59));
    DateTimeFields back;
    back.setFromSecondsSince1970(fields.toSecondsSince1970());
    FUZZ_CHECK(back.year == fields.year && back.month == fields.month && back.day == fields.day);
    FUZZ_CHECK(back.hour == fields.hour && back.minute == fields.minute && back.second == fields.second);
    DateTimeFields fromValue;
    FUZZ_CHECK(fromValue.setFromDateValue(fields.toDateValue()));
    FUZZ_CHECK(fromValue.weekday() == back.weekday());

    DateTimeFields any;
    any.setFromSecondsSince1970(input.ConsumeIntegral<std::int32_t>());
    any.toDateValue();
}

void leadRoundTrip(FuzzedDataProvider& input)
{
    const Moment start = takeMoment(input, 1903, 2036);
    const int unit = input.ConsumeIntegralInRange(0, 2);
    const int count = input.ConsumeIntegralInRange(-300000, 300000) / (unit == LeadDays ? 1440 : unit == LeadHours ? 60 : 1);
    std::string alarmDate;
    std::string alarmTime;
    alarmMomentFromLead(dateTimeTextsToDateValue(start.dateText(), start.timeText()), count, unit,
                        alarmDate, alarmTime);
    int countBack = 0;
    int unitBack = -1;
    leadFromAlarmMoment(alarmDate, alarmTime, start.dateText(), start.timeText(), countBack, unitBack);
    const auto seconds = [](long long n, int u) { return n * (u == LeadDays ? 86400 : u == LeadHours ? 3600 : 60); };
    FUZZ_CHECK(seconds(countBack, unitBack) == seconds(count, unit));

    std::string date;
    std::string time;
    alarmMomentFromLead(input.ConsumeFloatingPoint<double>(), input.ConsumeIntegral<int>(),
                        input.ConsumeIntegral<int>(), date, time);
}

void roundTrips(FuzzedDataProvider& input)
{
    textsRoundTrip(input);
    secondsRoundTrip(input);
    leadRoundTrip(input);
    dateValueToDateText(input.ConsumeFloatingPoint<double>());
    dateValueToTimeText(input.ConsumeFloatingPoint<double>());
}

}  // namespace

FUZZ_TARGET(convertArbitraryTexts, roundTrips)
