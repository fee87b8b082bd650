#include "record/date_time.h"

#include "record/number_text.h"
#include "record/ole_date.h"

#include <cstdio>
#include <string_view>

using number_text::readInt;

namespace {
constexpr long long secondsPerDay = 86400;
constexpr long long secondsFrom1601To1970 = 11644473600LL;
constexpr long long fileTicksPerSecond = 10000000;

// A date text needs at least year and month to be a date. A shorter
// non-empty text (which only an engine could send; the program writes
// none) reads as no date: its pieces would start past the end of the text,
// and reading the month as 0 would roll the date back into the previous
// year, which nobody could have meant.
constexpr std::size_t shortestDateText = 6;

/// The piece of a text at [start, start + length), shorter (or empty) where
/// the text ends sooner, read as by atoi.
int readPiece(std::string_view text, std::size_t start, std::size_t length)
{
    return start < text.size() ? readInt(text.substr(start, length)) : 0;
}

bool readDateText(const std::string& dateText, DateTimeFields& fields)
{
    if (dateText.size() < shortestDateText)
        return false;
    fields.year = static_cast<std::uint16_t>(readPiece(dateText, 0, 4));
    fields.month = static_cast<std::uint16_t>(readPiece(dateText, 4, 2));
    fields.day = static_cast<std::uint16_t>(readPiece(dateText, 6, 2));
    return true;
}

// The pieces sit at fixed positions, and a time text shorter than four
// characters reads its missing pieces as 0: "9" is 09:00, and "930" is hour
// 93 and minute 0 (not 09:30), which the platform then rolls over.
void readTimeText(const std::string& timeText, DateTimeFields& fields)
{
    fields.hour = static_cast<std::uint16_t>(readPiece(timeText, 0, 2));
    fields.minute = static_cast<std::uint16_t>(readPiece(timeText, 2, 2));
}

std::string formatDate(int year, int month, int day)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
    return text;
}

std::string formatTime(int hour, int minute)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d", hour, minute);
    return text;
}

long long floorDiv(long long a, long long b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

/// Days from 1970-01-01 on the proleptic Gregorian calendar; month and day
/// may lie outside their ranges and count on linearly.
long long daysSince1970(long long year, long long month, long long day)
{
    year += floorDiv(month - 1, 12);
    month = month - 1 - 12 * floorDiv(month - 1, 12) + 1;
    // Years start in March so that the leap day ends the year.
    const long long y = month <= 2 ? year - 1 : year;
    const long long era = floorDiv(y, 400);
    const long long yearOfEra = y - era * 400;
    const long long dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::int32_t wrapTo32Bits(long long value)
{
    const auto low = static_cast<std::uint32_t>(static_cast<unsigned long long>(value));
    return low <= 0x7FFFFFFFu ? static_cast<std::int32_t>(low)
                              : static_cast<std::int32_t>(static_cast<long long>(low) - 0x100000000LL);
}

long long leadInSeconds(int count, int unit)
{
    switch (unit) {
    case LeadMinutes: return count * 60LL;
    case LeadHours: return count * 3600LL;
    case LeadDays: return count * secondsPerDay;
    default: return count;
    }
}
}  // namespace

bool DateTimeFields::setFromDateValue(double date)
{
    return variantTimeToFields(date, *this);
}

double DateTimeFields::toDateValue() const
{
    double date = 0.0;
    fieldsToVariantTime(*this, date);
    return date;
}

void DateTimeFields::setFromTexts(const std::string& dateText, const std::string& timeText)
{
    *this = DateTimeFields();
    readDateText(dateText, *this);
    readTimeText(timeText, *this);
}

std::string DateTimeFields::toDateText() const
{
    return formatDate(year, month, day);
}

std::string DateTimeFields::toTimeText() const
{
    return formatTime(hour, minute);
}

int DateTimeFields::weekday() const
{
    return dayOfWeek;
}

int DateTimeFields::weekOfMonth() const
{
    return (day - 1) / 7 + 1;
}

std::int32_t DateTimeFields::toSecondsSince1970() const
{
    const long long days = daysSince1970(year, month, day);
    return wrapTo32Bits(days * secondsPerDay + hour * 3600LL + minute * 60LL + second);
}

void DateTimeFields::setFromSecondsSince1970(std::int32_t seconds)
{
    const auto ticks = static_cast<std::uint64_t>(
        (static_cast<long long>(seconds) + secondsFrom1601To1970) * fileTicksPerSecond);
    fileTimeToFields(ticks, *this);
}

std::string dateValueToDateText(double date)
{
    DateTimeFields fields;
    if (date == 0.0 || !fields.setFromDateValue(date))
        return std::string();
    return fields.toDateText();
}

std::string dateValueToTimeText(double date)
{
    DateTimeFields fields;
    if (date == 0.0 || !fields.setFromDateValue(date))
        return std::string();
    return fields.toTimeText();
}

double dateTextToDateValue(const std::string& dateText)
{
    return dateTimeTextsToDateValue(dateText, std::string());
}

double dateTimeTextsToDateValue(const std::string& dateText, const std::string& timeText)
{
    DateTimeFields fields;
    if (!readDateText(dateText, fields))
        return 0.0;
    readTimeText(timeText, fields);
    double date = 0.0;
    return fieldsToVariantTime(fields, date) ? date : 0.0;
}

double calendarDateToDateValue(std::uint16_t year, std::uint16_t month, std::uint16_t day)
{
    DateTimeFields fields;
    fields.year = year;
    fields.month = month;
    fields.day = day;
    double date = 0.0;
    return fieldsToVariantTime(fields, date) ? date : 0.0;
}

void alarmMomentFromLead(double eventStart, int leadCount, int leadUnit,
                         std::string& alarmDateText, std::string& alarmTimeText)
{
    DateTimeFields start;
    start.setFromDateValue(eventStart);
    DateTimeFields alarm;
    alarm.setFromSecondsSince1970(
        wrapTo32Bits(start.toSecondsSince1970() - leadInSeconds(leadCount, leadUnit)));
    alarmDateText = alarm.toDateText();
    alarmTimeText = alarm.toTimeText();
}

void leadFromAlarmMoment(const std::string& alarmDateText, const std::string& alarmTimeText,
                         const std::string& startDateText, const std::string& startTimeText,
                         int& leadCount, int& leadUnit)
{
    DateTimeFields alarm;
    alarm.setFromTexts(alarmDateText, alarmTimeText);
    DateTimeFields start;
    start.setFromTexts(startDateText, startTimeText);
    const long long difference =
        static_cast<long long>(start.toSecondsSince1970()) - alarm.toSecondsSince1970();
    if (difference % secondsPerDay == 0) {
        leadCount = static_cast<int>(difference / secondsPerDay);
        leadUnit = LeadDays;
    } else if (difference % 3600 == 0) {
        leadCount = static_cast<int>(difference / 3600);
        leadUnit = LeadHours;
    } else {
        leadCount = static_cast<int>(difference / 60);
        leadUnit = LeadMinutes;
    }
}
