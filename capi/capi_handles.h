#pragma once

// What stands behind the C interface's handles, and the conventions every C
// function follows: no exception leaves it, null pointers are refused, and
// returned text stays in the handle until its next call.

#include "capi/brannock.h"
#include "channel/travel_rules.h"
#include "record/record.h"
#include "record/repeat.h"

#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct brannock_record {
    Record record;
    /// The length of the record's text form, kept below the zone's size.
    std::size_t textLength = 0;
    /// Text handed out by the last call.
    std::string scratch;
    /// The keys in order, for the key walk; rebuilt after a change.
    std::vector<const std::string*> keys;
    bool keysCurrent = false;
};

struct brannock_repeat {
    Repeat repeat;
    std::string scratch;
};

struct brannock_list {
    std::vector<std::string> names;
    std::string scratch;
};

namespace capi {

/// Runs `body` and returns its code. An exception becomes one of this
/// interface's own codes, never a code of Palm Desktop's answers: a text too
/// long for a string BRANNOCK_CANNOT_TRAVEL, anything else (allocation
/// failure is all the library throws) BRANNOCK_OUT_OF_MEMORY.
template <typename Body>
int guarded(Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::length_error&) {
        return BRANNOCK_CANNOT_TRAVEL;
    } catch (...) {
        return BRANNOCK_OUT_OF_MEMORY;
    }
}

/// Whether every pointer is set.
template <typename... Pointers>
bool present(const Pointers*... pointers) noexcept
{
    return ((pointers != nullptr) && ...);
}

/// The longest UTF-8 text that may still become an ANSI text short enough
/// to travel: every character that the code page holds takes at most three
/// bytes of UTF-8 and at least one of ANSI.
constexpr std::size_t longestUtf8Text = 3 * (sharedZoneSize - 1);

/// Checks a text argument and views its bytes in `out`, copying nothing.
/// BRANNOCK_BAD_ARGUMENT for a length above PTRDIFF_MAX, which no caller
/// could mean, or a null pointer with a length other than 0 (null with 0 is
/// the empty text); BRANNOCK_CANNOT_TRAVEL for a text longer than `longest`.
inline int textArgument(const char* text, std::size_t length, std::string_view& out,
                        std::size_t longest = sharedZoneSize - 1) noexcept
{
    if (length > static_cast<std::size_t>(PTRDIFF_MAX) || (!text && length != 0))
        return BRANNOCK_BAD_ARGUMENT;
    if (length > longest)
        return BRANNOCK_CANNOT_TRAVEL;
    out = text ? std::string_view(text, length) : std::string_view();
    return BRANNOCK_OK;
}

/// textArgument for each (text, length, view) in turn; the first refusal.
template <typename... More>
int textArguments(std::size_t longest, const char* text, std::size_t length, std::string_view& out,
                  More&&... more) noexcept
{
    const int checked = textArgument(text, length, out, longest);
    if constexpr (sizeof...(More) == 0)
        return checked;
    else
        return checked != BRANNOCK_OK ? checked : textArguments(longest, std::forward<More>(more)...);
}

/// Hands `text` out through the caller's pointers; it must live in a handle.
inline int handOut(const std::string& text, const char** out, std::size_t* length) noexcept
{
    *out = text.c_str();
    *length = text.size();
    return BRANNOCK_OK;
}

/// Sets a record field from ANSI bytes that have been checked for presence;
/// BRANNOCK_CANNOT_TRAVEL, and nothing changed, for a key or value that
/// cannot travel or a record whose text would grow too long for the zone.
int putField(brannock_record& record, std::string_view key, std::string_view value);
/// Replaces the record's fields with those of `fields`.
void replaceFields(brannock_record& record, const Record& fields);
/// The length of the text form of `record`.
std::size_t textLength(const Record& record) noexcept;
/// The record's key at `index`, or null past the end.
const std::string* keyAt(brannock_record& record, std::size_t index);
/// Appends a name to a list, from ANSI bytes.
int addName(brannock_list& list, std::string_view name);

}  // namespace capi
