#pragma once

// The stand-in desktop's whole data set as a JSON file (UTF-8), so that a
// stand-in Palm Desktop can start from a prepared set and leave behind what
// an import did to it.
//
// The file is one object with the members "contacts", "calendar", "todos"
// and "memos", each {"categories": [names...], "items": [items...]}. An item
// is an object whose members are the fields of ContactData, EventData,
// TodoData or MemoData, spelled as there ("isPrivate" is written "private").
// Members that hold their default value may be left out; the writer leaves
// them out. Positional arrays (a contact's addresses, custom fields, phones
// and IM entries) may be shorter than the contact's slots: the missing
// trailing slots keep their defaults, and the writer drops trailing slots
// that hold them. Dates are texts "YYYY-MM-DD", "YYYY-MM-DD HH:MM" or
// "YYYY-MM-DD HH:MM:SS" (local time, as Palm Desktop keeps them), or a raw
// date value as a number; the writer uses the number only for a value no
// text names exactly. Unknown members are refused, so that a misspelt
// field is not silently dropped.

#include <stdexcept>
#include <string>

#include "standin/desktop_state.h"

namespace standin {

/// A data set that cannot be read or written; the message names the file
/// and the place of the fault.
class DataFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The items and categories of `state` as JSON text, UTF-8.
std::string dataSetToJson(const DesktopState& state);

/// Replaces the items and categories of every section of `state` with those
/// of `json`. Throws DataFileError on malformed text or content, leaving
/// `state` unchanged.
void dataSetFromJson(const std::string& json, DesktopState& state);

/// Reads the data file at `path` (an ANSI path) into `state`, as
/// dataSetFromJson. Throws DataFileError, `state` unchanged.
void loadDataFile(const std::string& path, DesktopState& state);

/// Writes the data set of `state` to `path`, replacing the file only once
/// the new text is written in full. Throws DataFileError.
void saveDataFile(const std::string& path, const DesktopState& state);

}  // namespace standin
