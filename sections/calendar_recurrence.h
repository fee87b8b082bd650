#pragma once

#include <optional>
#include <string>

#include "record/date_time.h"
#include "record/repeat.h"
#include "sections/palm_desktop.h"

// Palm Desktop's repeat rules against the recurrence text of a `Repeat`.
//
// Palm Desktop describes a rule by a kind (1 daily, 2 weekly, 3 monthly on
// the n-th weekday, 4 monthly on a date, 5 yearly), an interval, an end date
// (0.0 meaning no end) and, for weekly rules, a weekday mask (bit 0 Sunday
// ... bit 6 Saturday); day, weekday, week and month come from the item's own
// start. Events and to-dos share the kind, mask and end mapping below; the
// event translations with their exception dates follow it.

/// 30 December 2031 00:00: the end of the calendar's date window and the
/// latest day up to which exception dates are searched.
double calendarWindowEnd();

/// A Palm Desktop repeat kind with its weekday mask.
struct PalmRepeatRule {
    long kind = 0;
    long mask = 0;
};

/// The weekday bit of day number `day` (1 = Sunday ... 7 = Saturday): 1
/// shifted left by day - 1; 0 for a day outside 1 ... 7.
long weekdayBit(int day);

/// The recurrence that Palm Desktop's rule describes for an item starting
/// (or due) on `start`: its interval, its end ("-1" for none) and, by kind,
/// kind 1 type 1, kind 2 type 12 with the day pattern of the mask, kind 3
/// type 4 (weekday and week), kind 4 type 3 (day of month), kind 5 type 5
/// (day and month). Nothing for any other kind.
std::optional<Repeat> repeatOfPalmRule(long kind, long interval, double end, long mask,
                                       const DateTimeFields& start);

/// The Palm Desktop kind and mask for `repeat`'s type: 1 daily; 2 weekly on
/// the run of numDaysToRepeat weekdays from dayOfWeek (at most seven,
/// wrapping from Saturday to Sunday); 3 monthly on a date (Palm Desktop's
/// kind 4); 4 monthly on a weekday (kind 3); 5 yearly; 12 weekly on the
/// days of the day pattern. Nothing for any other type.
std::optional<PalmRepeatRule> palmRuleOf(const Repeat& repeat);

/// Whether `text` names a real day as a date text: exactly eight ASCII
/// digits, a year from 100, a month 1 ... 12 and a day that exists in that
/// month.
bool isValidDateText(const std::string& text);

/// Palm Desktop's end date for a recurrence's end date text. "0" means no
/// end (0.0); a valid date text gives that day at 00:00. Any other text,
/// the export's own no-end marker "-1" among them, also means no end: a
/// text that names no day cannot bound the recurrence.
double palmEndDate(const std::string& endDateText);

/// The end date text of a recurrence for Palm Desktop's end date: "-1" for
/// no end (0.0), otherwise the date text of the day.
std::string repeatEndText(double endDate);

/// The recurrence text of `event`: empty when the event does not repeat or
/// repeats by a kind other than 1 ... 5. Exception dates are searched from
/// one day before the start up to the rule's end plus one day, and never
/// beyond 30 December 2031.
std::string eventRecurrenceText(EventItem& event);

/// Applies a recurrence text to `event` (just created, without rule): sets
/// its repeat rule and adds its exception dates. An empty text, or a type
/// that Palm Desktop cannot hold, leaves the event without recurrence. An
/// exclusion date that is not a valid date text is skipped.
void applyRecurrenceText(const std::string& text, EventItem& event);
