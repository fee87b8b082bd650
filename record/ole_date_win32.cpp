#include "record/ole_date.h"

#include <windows.h>
#include <cstddef>
#include <cstring>
#include <oleauto.h>

namespace {
// DateTimeFields has the layout of SYSTEMTIME, so the two convert by copy.
static_assert(sizeof(DateTimeFields) == sizeof(SYSTEMTIME), "DateTimeFields must match SYSTEMTIME");
static_assert(offsetof(DateTimeFields, milliseconds) == offsetof(SYSTEMTIME, wMilliseconds),
              "DateTimeFields must match SYSTEMTIME");

SYSTEMTIME toSystemTime(const DateTimeFields& fields)
{
    SYSTEMTIME time;
    std::memcpy(&time, &fields, sizeof time);
    return time;
}

void fromSystemTime(const SYSTEMTIME& time, DateTimeFields& fields)
{
    std::memcpy(static_cast<void*>(&fields), &time, sizeof fields);
}
}  // namespace

bool variantTimeToFields(double date, DateTimeFields& fields)
{
    SYSTEMTIME time{};
    if (!VariantTimeToSystemTime(date, &time))
        return false;
    fromSystemTime(time, fields);
    return true;
}

// Windows rejects a month of 0 as it rejects 13: it fixes only the day
// (day 0 being the last day of the month before). Wine rolls month 0 back
// into the previous December; the check keeps Windows' answer everywhere.
bool fieldsToVariantTime(const DateTimeFields& fields, double& date)
{
    if (fields.month == 0)
        return false;
    SYSTEMTIME time = toSystemTime(fields);
    DATE value = 0.0;
    if (!SystemTimeToVariantTime(&time, &value))
        return false;
    date = value;
    return true;
}

void fileTimeToFields(std::uint64_t fileTime100ns, DateTimeFields& fields)
{
    FILETIME fileTime{};
    fileTime.dwLowDateTime = static_cast<DWORD>(fileTime100ns & 0xFFFFFFFFu);
    fileTime.dwHighDateTime = static_cast<DWORD>(fileTime100ns >> 32);
    SYSTEMTIME time{};
    if (FileTimeToSystemTime(&fileTime, &time))
        fromSystemTime(time, fields);
}
