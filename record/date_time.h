#pragma once

#include <cstdint>
#include <string>

// Dates and times as they travel in records: the date text "%04d%02d%02d"
// and the time text "%02d%02d" (the empty text meaning none), Palm Desktop's
// OLE Automation date values (a double: days since 30 December 1899, the
// fraction being the time of day; 0.0 meaning none) and DateTimeFields.

/// A broken-down date and time with the layout of the Win32 SYSTEMTIME.
/// No time zone is kept or applied. A new value is all zeros.
struct DateTimeFields {
    std::uint16_t year = 0;
    std::uint16_t month = 0;        ///< 1 ... 12
    std::uint16_t dayOfWeek = 0;    ///< 0 = Sunday ... 6 = Saturday
    std::uint16_t day = 0;          ///< 1 ... 31
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;

    /// Breaks a date value down as VariantTimeToSystemTime does; false (and
    /// the fields unchanged) when the platform rejects the value.
    bool setFromDateValue(double date);
    /// The date value of the fields as SystemTimeToVariantTime gives it.
    /// When the platform rejects the fields the result is 0.0 and no caller
    /// may rely on it.
    double toDateValue() const;
    /// Zeroes every field, then reads year, month and day from a date text
    /// and hour and minute from a time text; an empty (or too short) date
    /// text leaves the date 0, an empty time text leaves the time 0.
    void setFromTexts(const std::string& dateText, const std::string& timeText);
    /// Year, month and day as a date text.
    std::string toDateText() const;
    /// Hour and minute as a time text.
    std::string toTimeText() const;
    /// The day of week, 0 = Sunday.
    int weekday() const;
    /// (day - 1) / 7 + 1: days 1-7 give 1, days 29-31 give 5.
    int weekOfMonth() const;
    /// Seconds from 1970-01-01 00:00:00 on the Gregorian calendar, without
    /// time zone, taken modulo 2^32; exact from 1901-12-13 to 2038-01-19.
    std::int32_t toSecondsSince1970() const;
    /// Sets every field, the day of week included, from seconds since 1970.
    void setFromSecondsSince1970(std::int32_t seconds);
};

/// The date text of a date value; 0.0 (no date) gives the empty text.
std::string dateValueToDateText(double date);
/// The time text of a date value; 0.0 (no date) gives the empty text.
std::string dateValueToTimeText(double date);
/// The date value of a date text at 00:00; the empty text gives 0.0.
double dateTextToDateValue(const std::string& dateText);
/// The date value of a date text and a time text (00:00 when the time text
/// is empty); an empty date text gives 0.0 whatever the time text.
double dateTimeTextsToDateValue(const std::string& dateText, const std::string& timeText);
/// The date value of a calendar date at 00:00; 0.0 when the platform
/// rejects it.
double calendarDateToDateValue(std::uint16_t year, std::uint16_t month, std::uint16_t day);

/// Units of an alarm's lead time.
enum LeadUnit { LeadMinutes = 0, LeadHours = 1, LeadDays = 2 };

/// The moment an alarm rings: `leadCount` units before the event start.
/// An unknown unit code takes the count as seconds.
void alarmMomentFromLead(double eventStart, int leadCount, int leadUnit,
                         std::string& alarmDateText, std::string& alarmTimeText);
/// The lead of an alarm before the start, in the largest unit that divides
/// it exactly (days, then hours, else whole minutes truncated toward zero);
/// negative when the alarm rings after the start.
void leadFromAlarmMoment(const std::string& alarmDateText, const std::string& alarmTimeText,
                         const std::string& startDateText, const std::string& startTimeText,
                         int& leadCount, int& leadUnit);
