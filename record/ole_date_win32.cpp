#include "record/ole_date.h"

#include <windows.h>
#include <oleauto.h>

namespace {
SYSTEMTIME toSystemTime(const DateTimeFields& fields)
{
    SYSTEMTIME time{};
    time.wYear = fields.year;
    time.wMonth = fields.month;
    time.wDayOfWeek = fields.dayOfWeek;
    time.wDay = fields.day;
    time.wHour = fields.hour;
    time.wMinute = fields.minute;
    time.wSecond = fields.second;
    time.wMilliseconds = fields.milliseconds;
    return time;
}

void fromSystemTime(const SYSTEMTIME& time, DateTimeFields& fields)
{
    fields.year = time.wYear;
    fields.month = time.wMonth;
    fields.dayOfWeek = time.wDayOfWeek;
    fields.day = time.wDay;
    fields.hour = time.wHour;
    fields.minute = time.wMinute;
    fields.second = time.wSecond;
    fields.milliseconds = time.wMilliseconds;
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

bool fieldsToVariantTime(const DateTimeFields& fields, double& date)
{
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
