#include "sections/calendar_recurrence.h"

#include <vector>

#include "win/com_error.h"

namespace {

enum PalmKind : long { KindDaily = 1, KindWeekly = 2, KindMonthlyByWeekday = 3, KindMonthlyByDate = 4, KindYearly = 5 };

enum RepeatType : int {
    TypeDaily = 1,
    TypeWeeklyRun = 2,
    TypeMonthlyByDate = 3,
    TypeMonthlyByWeekday = 4,
    TypeYearly = 5,
    TypeWeeklyPattern = 12
};

constexpr int daysPerWeek = Repeat::dayPatternSize;

// The first year that Palm Desktop's date values represent as written.
constexpr int firstDateYear = 100;

// Status values of Palm Desktop's exception search.
constexpr long exceptionDelivered = 1;
constexpr long noException = -1;

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

/// The day at 00:00 of a date text known to be valid.
double dateValueAtMidnight(const std::string& dateText)
{
    DateTimeFields fields;
    fields.setFromTexts(dateText, std::string());
    return fields.toDateValue();
}

long maskOfWeekdayRun(int firstDay, int length)
{
    long mask = 0;
    int day = firstDay;
    for (int k = 0; k < length && k < daysPerWeek; ++k) {
        mask |= weekdayBit(day);
        if (++day > daysPerWeek) day = 1;
    }
    return mask;
}

long maskOfDayPattern(const Repeat& repeat)
{
    int pattern[daysPerWeek] = {};
    repeat.getDayPattern(pattern);
    long mask = 0;
    for (int i = 0; i < daysPerWeek; ++i)
        if (pattern[i] != 0) mask |= weekdayBit(i + 1);
    return mask;
}

double exceptionSearchEnd(double ruleEnd)
{
    const double windowEnd = calendarWindowEnd();
    if (ruleEnd != 0.0 && ruleEnd < windowEnd) return ruleEnd + 1.0;
    return windowEnd;
}

std::vector<std::string> exceptionDates(EventItem& event, double ruleEnd)
{
    long count = 0;
    win::check(event.get_ExceptionCount(&count));
    const double searchEnd = exceptionSearchEnd(ruleEnd);
    double start = 0.0;
    win::check(event.get_Start(&start));
    long cursor = 0;
    long status = noException;
    win::check(event.FirstException(start - 1.0, searchEnd, &cursor, &status));

    std::vector<std::string> dates;
    if (count <= 0 || status != exceptionDelivered) return dates;
    do {
        double date = 0.0;
        win::check(event.NextException(cursor, searchEnd, &date, &status));
        if (status != noException) dates.push_back(dateValueToDateText(date));
    } while (status == exceptionDelivered);
    return dates;
}

}  // namespace

double calendarWindowEnd()
{
    return calendarDateToDateValue(2031, 12, 30);
}

long weekdayBit(int day)
{
    return day >= 1 && day <= daysPerWeek ? 1L << (day - 1) : 0;
}

namespace {

bool describePalmKind(long kind, long mask, const DateTimeFields& start, Repeat& repeat)
{
    switch (kind) {
    case KindDaily:
        repeat.setRepeatType(TypeDaily);
        return true;
    case KindWeekly: {
        int pattern[daysPerWeek];
        for (int i = 0; i < daysPerWeek; ++i) pattern[i] = (mask >> i) & 1 ? 1 : 0;
        repeat.setDayPattern(pattern);
        repeat.setRepeatType(TypeWeeklyPattern);
        return true;
    }
    case KindMonthlyByWeekday:
        repeat.setDayOfWeek(start.weekday() + 1);
        repeat.setWeekOfMonth(start.weekOfMonth());
        repeat.setRepeatType(TypeMonthlyByWeekday);
        return true;
    case KindMonthlyByDate:
        repeat.setDayOfMonth(start.day);
        repeat.setRepeatType(TypeMonthlyByDate);
        return true;
    case KindYearly:
        repeat.setRepeatType(TypeYearly);
        repeat.setDayOfMonth(start.day);
        repeat.setMonth(start.month);
        return true;
    default:
        return false;
    }
}

}  // namespace

std::optional<Repeat> repeatOfPalmRule(long kind, long interval, double end, long mask,
                                       const DateTimeFields& start)
{
    Repeat repeat;
    repeat.setEndDate(repeatEndText(end));
    repeat.setFrequency(interval);
    repeat.setNumDaysToRepeat(1);
    repeat.setStartDate(start.toDateText());
    if (!describePalmKind(kind, mask, start, repeat)) return std::nullopt;
    return repeat;
}

std::optional<PalmRepeatRule> palmRuleOf(const Repeat& repeat)
{
    switch (repeat.getRepeatType()) {
    case TypeDaily: return PalmRepeatRule{KindDaily, 0};
    case TypeWeeklyRun:
        return PalmRepeatRule{KindWeekly, maskOfWeekdayRun(repeat.getDayOfWeek(), repeat.getNumDaysToRepeat())};
    case TypeMonthlyByDate: return PalmRepeatRule{KindMonthlyByDate, 0};
    case TypeMonthlyByWeekday: return PalmRepeatRule{KindMonthlyByWeekday, 0};
    case TypeYearly: return PalmRepeatRule{KindYearly, 0};
    case TypeWeeklyPattern: return PalmRepeatRule{KindWeekly, maskOfDayPattern(repeat)};
    default: return std::nullopt;
    }
}

bool isValidDateText(const std::string& text)
{
    if (text.size() != 8) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    DateTimeFields fields;
    fields.setFromTexts(text, std::string());
    return fields.year >= firstDateYear && fields.month >= 1 && fields.month <= 12 && fields.day >= 1 &&
           fields.day <= daysInMonth(fields.year, fields.month);
}

double palmEndDate(const std::string& endDateText)
{
    if (endDateText == "0" || !isValidDateText(endDateText)) return 0.0;
    return dateValueAtMidnight(endDateText);
}

std::string repeatEndText(double endDate)
{
    if (endDate == 0.0) return "-1";
    DateTimeFields end;
    end.setFromDateValue(endDate);
    return end.toDateText();
}

std::string eventRecurrenceText(EventItem& event)
{
    long repeating = 0;
    win::check(event.get_Repeating(&repeating));
    if (repeating == 0) return std::string();

    long kind = 0, interval = 0, mask = 0;
    double end = 0.0;
    win::check(event.GetRepeat(&kind, &interval, &end, &mask));
    double startValue = 0.0;
    win::check(event.get_Start(&startValue));
    DateTimeFields start;
    start.setFromDateValue(startValue);
    std::optional<Repeat> repeat = repeatOfPalmRule(kind, interval, end, mask, start);
    if (!repeat) return std::string();

    const std::vector<std::string> exclusions = exceptionDates(event, end);
    if (!exclusions.empty()) repeat->setExclusionDates(exclusions);
    return repeat->save();
}

void applyRecurrenceText(const std::string& text, EventItem& event)
{
    if (text.empty()) return;
    Repeat repeat;
    repeat.parse(text);
    const std::optional<PalmRepeatRule> rule = palmRuleOf(repeat);
    if (!rule) return;

    win::check(event.SetRepeat(rule->kind, repeat.getFrequency(), palmEndDate(repeat.getEndDate()), rule->mask));
    for (const std::string& exclusion : repeat.getExclusionDates())
        if (isValidDateText(exclusion)) win::check(event.AddException(dateValueAtMidnight(exclusion)));
}
