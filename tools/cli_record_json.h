#pragma once

// Records as brannock_cli shows them: JSON objects mapping each field key to
// its value, in UTF-8. Inside the engine, keys and values are bytes of the
// ANSI code page; the conversion happens here, at the tool's boundary.
//
// A non-empty "Repeat" field is shown decoded, as an object with the
// members of a recurrence:
//   {"startDate": "20240105", "frequency": 2, "endDate": "-1",
//    "numDaysToRepeat": 1, "repeatType": 12, "dayPattern": [0,1,0,1,0,0,0],
//    "dayOfWeek": 0, "weekOfMonth": 0, "dayOfMonth": 0, "month": 0,
//    "exclusionDates": ["20240117"]}
// or, in the raw form, as its text. Reading accepts either form; members
// left out of the object take their default (empty text, 0). A recurrence
// text that its decoded form would not give back byte for byte stays text.

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "record/record.h"
#include "record/repeat.h"

namespace cli {

using Json = nlohmann::ordered_json;

/// How a "Repeat" field is written.
enum class RepeatForm { Decoded, Raw };

/// The text of ANSI bytes as UTF-8.
std::string ansiToUtf8(const std::string& ansi);
/// The UTF-8 text as ANSI bytes. Throws a bad-input Failure naming `where`
/// when a character has no form in the ANSI code page.
std::string utf8ToAnsi(const std::string& utf8, const std::string& where);

/// The fields of `record` in its own (byte) order.
std::vector<std::pair<std::string, std::string>> fieldsOf(const Record& record);

/// `record` as a JSON object: "RecordId" first, then every other field in
/// the record's order.
Json recordToJson(const Record& record, RepeatForm form);
/// The record a JSON object describes. Throws a bad-input Failure naming
/// `where` for anything that cannot travel unchanged to Palm Desktop.
Record recordFromJson(const Json& object, const std::string& where);

/// The decoded form of a recurrence.
Json repeatToJson(const Repeat& repeat);
/// The recurrence a decoded form describes; throws a bad-input Failure.
Repeat repeatFromJson(const Json& object, const std::string& where);

/// Parses a JSON document; a syntax error becomes a bad-input Failure that
/// names `source` with the line and column of the fault.
Json parseJson(const std::string& text, const std::string& source);
/// The records of a JSON array of record objects read from `source`.
std::vector<Record> recordsFromJson(const Json& document, const std::string& source);

}  // namespace cli
