#include "record/ole_date.h"

#include <cmath>

// OLE Automation's date arithmetic, as Windows (and Wine) perform it:
// SystemTimeToVariantTime rolls out-of-range fields over (day 0 into the
// previous month's last day, Feb 30 into March, hour 25 into the next day),
// reads years 0-49 as 2000-2049 and 50-99 as 1950-1999 (as Wine does; Windows
// takes the cut from the user's two-digit year setting), and rejects a month
// of 0 or above 12, a day above 31 or a negative year (Windows rejects month
// 0; Wine rolls it into the previous December, and the Windows build checks
// for it first). Before 30 December 1899 the integer part of a date value counts the
// days and the fraction is the time of day, both with the value's sign.
// Where Wine 8 rolls a day past the end of November into January (30
// November plus one day giving 1 January), this arithmetic gives 1 December.

namespace {
constexpr double firstDate = -657434.0;  // 0100-01-01
constexpr double lastDate = 2958465.0;   // 9999-12-31
constexpr long julianDayOfDateZero = 2415019;  // 1899-12-30
constexpr long long fileTicksPerDay = 864000000000LL;
constexpr int fileTimeEpochWeekday = 1;  // 1601-01-01 was a Monday

bool isLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int daysInMonth(int year, int month)
{
    static const int days[] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month];
}

// Fliegel and Van Flandern; linear in the day, so day 0 is the last day of
// the previous month.
long julianDayOf(long year, long month, long day)
{
    const long m12 = (month - 14) / 12;
    return (1461 * (year + 4800 + m12)) / 4 + (367 * (month - 2 - 12 * m12)) / 12 -
           (3 * ((year + 4900 + m12) / 100)) / 4 + day - 32075;
}

void civilOf(long julianDay, int& year, int& month, int& day)
{
    long l = julianDay + 68569;
    const long n = 4 * l / 146097;
    l -= (146097 * n + 3) / 4;
    const long i = 4000 * (l + 1) / 1461001;
    l += 31 - 1461 * i / 4;
    const long j = 80 * l / 2447;
    day = static_cast<int>(l - 2447 * j / 80);
    l = j / 11;
    month = static_cast<int>(j + 2 - 12 * l);
    year = static_cast<int>(100 * (n - 49) + i + l);
}

struct RolledFields {
    int year, month, day, hour, minute, second;
};

// Brings the fields into range by rolling the excess over into the next
// larger unit; false when the year is out of reach.
bool roll(RolledFields& f)
{
    if (f.year > 9999 || f.year < -9999)
        return false;
    if (f.year >= 0 && f.year < 50)
        f.year += 2000;
    else if (f.year >= 50 && f.year < 100)
        f.year += 1900;

    f.minute += f.second / 60;
    f.second %= 60;
    f.hour += f.minute / 60;
    f.minute %= 60;
    f.day += f.hour / 24;
    f.hour %= 24;
    f.year += f.month / 12;
    f.month %= 12;
    if (f.month <= 0) {
        f.month += 12;
        --f.year;
    }
    while (f.day > daysInMonth(f.year, f.month)) {
        f.day -= daysInMonth(f.year, f.month);
        if (++f.month > 12) {
            f.month = 1;
            ++f.year;
        }
    }
    while (f.day <= 0) {
        if (--f.month < 1) {
            f.month = 12;
            --f.year;
        }
        f.day += daysInMonth(f.year, f.month);
    }
    if (f.second < 0) {
        f.second += 60;
        --f.minute;
    }
    if (f.minute < 0) {
        f.minute += 60;
        --f.hour;
    }
    if (f.hour < 0) {
        f.hour += 24;
        --f.day;
    }
    if (f.year <= 0)
        f.year += 2000;
    return true;
}

int asSigned(std::uint16_t value)
{
    return value < 0x8000 ? value : value - 0x10000;
}
}  // namespace

bool variantTimeToFields(double date, DateTimeFields& fields)
{
    if (!(date > firstDate - 1.0 && date < lastDate + 1.0))
        return false;
    const double datePart = date < 0.0 ? std::ceil(date) : std::floor(date);
    // The small bias keeps a time that is a hair below a whole second from
    // being cut down by the truncations below.
    double timePart = std::fabs(date - datePart) + 0.00000000001;
    if (timePart >= 1.0)
        timePart -= 0.00000000001;

    int year = 0, month = 0, day = 0;
    civilOf(static_cast<long>(datePart) + julianDayOfDateZero, year, month, day);

    // 30 December 1899 (date 0) was a Saturday.
    const double weeks = (datePart + 1.5) / 7.0;
    const int weekPhase = static_cast<int>((weeks - std::floor(weeks)) * 7);
    const int dayOfWeek = weekPhase < 2 ? weekPhase + 5 : weekPhase - 2;

    timePart *= 24.0;
    int hour = static_cast<int>(timePart);
    timePart = (timePart - hour) * 60.0;
    int minute = static_cast<int>(timePart);
    timePart = (timePart - minute) * 60.0;
    int second = static_cast<int>(timePart);
    timePart -= second;
    // Rounds to the nearest second; the day of week stays that of the
    // date part even when the rounding reaches the next day.
    if (timePart > 0.5 && ++second == 60) {
        second = 0;
        if (++minute == 60) {
            minute = 0;
            if (++hour == 24) {
                hour = 0;
                RolledFields next{year, month, day + 1, 0, 0, 0};
                roll(next);
                year = next.year;
                month = next.month;
                day = next.day;
            }
        }
    }

    fields.year = static_cast<std::uint16_t>(year);
    fields.month = static_cast<std::uint16_t>(month);
    fields.dayOfWeek = static_cast<std::uint16_t>(dayOfWeek);
    fields.day = static_cast<std::uint16_t>(day);
    fields.hour = static_cast<std::uint16_t>(hour);
    fields.minute = static_cast<std::uint16_t>(minute);
    fields.second = static_cast<std::uint16_t>(second);
    fields.milliseconds = 0;
    return true;
}

bool fieldsToVariantTime(const DateTimeFields& fields, double& date)
{
    if (fields.month == 0 || fields.month > 12 || fields.day > 31 || asSigned(fields.year) < 0)
        return false;
    RolledFields f{asSigned(fields.year), asSigned(fields.month), asSigned(fields.day),
                   asSigned(fields.hour), asSigned(fields.minute), asSigned(fields.second)};
    if (!roll(f))
        return false;
    double value = static_cast<double>(julianDayOf(f.year, f.month, f.day) - julianDayOfDateZero);
    const double sign = value < 0.0 ? -1.0 : 1.0;
    value += f.hour / 24.0 * sign;
    value += f.minute / 1440.0 * sign;
    value += f.second / 86400.0 * sign;
    date = value;
    return true;
}

void fileTimeToFields(std::uint64_t fileTime100ns, DateTimeFields& fields)
{
    const auto days = static_cast<long long>(fileTime100ns / fileTicksPerDay);
    const auto ticksOfDay = static_cast<long long>(fileTime100ns % fileTicksPerDay);
    int year = 0, month = 0, day = 0;
    civilOf(static_cast<long>(julianDayOf(1601, 1, 1) + days), year, month, day);
    fields.year = static_cast<std::uint16_t>(year);
    fields.month = static_cast<std::uint16_t>(month);
    fields.dayOfWeek = static_cast<std::uint16_t>((days + fileTimeEpochWeekday) % 7);
    fields.day = static_cast<std::uint16_t>(day);
    const long long seconds = ticksOfDay / 10000000;
    fields.hour = static_cast<std::uint16_t>(seconds / 3600);
    fields.minute = static_cast<std::uint16_t>(seconds / 60 % 60);
    fields.second = static_cast<std::uint16_t>(seconds % 60);
    fields.milliseconds = static_cast<std::uint16_t>(ticksOfDay % 10000000 / 10000);
}
