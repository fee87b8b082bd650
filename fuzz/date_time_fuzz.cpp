// Date and time conversions on any texts (date, time, alarm date and time at line feeds). Round trips: texts
// through a date value (1899-12-30 00:00 is 0.0, no date), seconds since 1970 in 32 bits, a lead through a moment.
#include <sstream>
#include <vector>

#include "fuzz_support.h"
#include "record/date_time.h"

namespace {

void convertArbitraryTexts(const std::string& text) {
    std::vector<std::string> part(4);
    std::istringstream lines(text);
    for (std::string& line : part) std::getline(lines, line);
    const double date = dateTimeTextsToDateValue(part[0], part[1]);
    dateTextToDateValue(part[0]);
    dateValueToDateText(date);
    dateValueToTimeText(date);
    DateTimeFields fields, back;
    fields.setFromTexts(part[0], part[1]);
    fields.toDateText();
    fields.toTimeText();
    fields.weekOfMonth();
    fields.toDateValue();
    back.setFromSecondsSince1970(fields.toSecondsSince1970());
    int count = 0, unit = 0;
    leadFromAlarmMoment(part[2], part[3], part[0], part[1], count, unit);
    FUZZ_CHECK(unit == LeadMinutes || unit == LeadHours || unit == LeadDays);
}

/// A valid moment and its texts ("YYYYMMDD", "HHMM").
struct Moment {
    int year, month, day, hour, minute;
    std::string date, time;
};

Moment takeMoment(FuzzedDataProvider& input, int firstYear, int lastYear) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    Moment m{};
    m.year = input.ConsumeIntegralInRange(firstYear, lastYear);
    m.month = input.ConsumeIntegralInRange(1, 12);
    const bool leap = m.year % 4 == 0 && (m.year % 100 != 0 || m.year % 400 == 0);
    m.day = input.ConsumeIntegralInRange(1, days[m.month - 1] + (m.month == 2 && leap ? 1 : 0));
    m.hour = input.ConsumeIntegralInRange(0, 23);
    m.minute = input.ConsumeIntegralInRange(0, 59);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d %02d%02d", m.year, m.month, m.day, m.hour, m.minute);
    m.date.assign(text, 8);
    m.time.assign(text + 9, 4);
    return m;
}

void textsRoundTrip(FuzzedDataProvider& input) {
    const Moment m = takeMoment(input, 100, 9999);
    const double date = dateTimeTextsToDateValue(m.date, m.time);
    if (m.year == 1899 && m.month == 12 && m.day == 30 && m.hour == 0 && m.minute == 0)
        return FUZZ_CHECK(date == 0.0);
    FUZZ_CHECK(dateValueToDateText(date) == m.date && dateValueToTimeText(date) == m.time);
    FUZZ_CHECK(dateTextToDateValue(m.date) ==
               calendarDateToDateValue(static_cast<std::uint16_t>(m.year), static_cast<std::uint16_t>(m.month),
                                       static_cast<std::uint16_t>(m.day)));
}

void secondsRoundTrip(FuzzedDataProvider& input) {
    const Moment m = takeMoment(input, 1902, 2037);  // whole days inside the 32-bit range
    DateTimeFields fields, back, fromValue, any;
    fields.setFromTexts(m.date, m.time);
    fields.second = static_cast<std::uint16_t>(input.ConsumeIntegralInRange(0, 59));
    back.setFromSecondsSince1970(fields.toSecondsSince1970());
    FUZZ_CHECK(back.year == fields.year && back.month == fields.month && back.day == fields.day);
    FUZZ_CHECK(back.hour == fields.hour && back.minute == fields.minute && back.second == fields.second);
    FUZZ_CHECK(fromValue.setFromDateValue(fields.toDateValue()));
    FUZZ_CHECK(fromValue.weekday() == back.weekday());
    any.setFromSecondsSince1970(input.ConsumeIntegral<std::int32_t>());
    any.toDateValue();
}

void leadRoundTrip(FuzzedDataProvider& input) {
    const Moment start = takeMoment(input, 1903, 2036);
    const int unit = input.ConsumeIntegralInRange(0, 2);
    const auto seconds = [](long long n, int u) { return n * (u == LeadDays ? 86400 : u == LeadHours ? 3600 : 60); };
    const int count = static_cast<int>(input.ConsumeIntegralInRange(-300000, 300000) * 60 / seconds(1, unit));
    std::string date, time;
    alarmMomentFromLead(dateTimeTextsToDateValue(start.date, start.time), count, unit, date, time);
    int countBack = 0, unitBack = -1;
    leadFromAlarmMoment(date, time, start.date, start.time, countBack, unitBack);
    FUZZ_CHECK(seconds(countBack, unitBack) == seconds(count, unit));
    alarmMomentFromLead(input.ConsumeFloatingPoint<double>(), input.ConsumeIntegral<int>(),
                        input.ConsumeIntegral<int>(), date, time);
}

void roundTrips(FuzzedDataProvider& input) {
    textsRoundTrip(input);
    secondsRoundTrip(input);
    leadRoundTrip(input);
    dateValueToDateText(input.ConsumeFloatingPoint<double>());
    dateValueToTimeText(input.ConsumeFloatingPoint<double>());
}

}  // namespace

FUZZ_TARGET(convertArbitraryTexts, roundTrips)
