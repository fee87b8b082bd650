#pragma once

// The separator bytes of the record and recurrence text forms. The forms
// have no escape: a key, a value or a recurrence item that holds one of
// these cannot travel (see channel/travel_rules.h).

namespace separator {

/// Ends a key in a record's text.
constexpr char recordKeyEnd = '\xB5';
/// Ends an entry (key and value) in a record's text.
constexpr char recordEntryEnd = '\xBA';
/// Ends each of the eleven fields of a recurrence text.
constexpr char repeatFieldEnd = '\xA7';
/// Ends each item of a list inside a recurrence text.
constexpr char repeatItemEnd = '\xBF';

}  // namespace separator
