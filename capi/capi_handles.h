#pragma once

// What stands behind the C interface's handles, and the conventions every C
// function follows: no exception leaves it, null pointers are refused, and
// returned text stays in the handle until its next call.

#include "capi/brannock.h"
#include "channel/travel_rules.h"
#include "record/record.h"
#include "record/repeat.h"

#include <new>
#include <string>
#include <string_view>
#include <vector>

struct brannock_record {
    Record record;
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

/// Runs `body` and returns its code; an exception becomes
/// BRANNOCK_OUT_OF_MEMORY (allocation) or BRANNOCK_FAILED.
template <typename Body>
int guarded(Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return BRANNOCK_OUT_OF_MEMORY;
    } catch (...) {
        return BRANNOCK_FAILED;
    }
}

/// Whether every pointer is set.
template <typename... Pointers>
bool present(const Pointers*... pointers) noexcept
{
    return ((pointers != nullptr) && ...);
}

/// A text argument as bytes: a null pointer is allowed only with length 0.
inline bool textArgument(const char* text, std::size_t length, std::string_view& out) noexcept
{
    if (!text && length != 0)
        return false;
    out = text ? std::string_view(text, length) : std::string_view();
    return true;
}

/// Hands `text` out through the caller's pointers; it must live in a handle.
inline int handOut(const std::string& text, const char** out, std::size_t* length) noexcept
{
    *out = text.c_str();
    *length = text.size();
    return BRANNOCK_OK;
}

/// Sets a record field from ANSI bytes that have been checked for presence.
int putField(brannock_record& record, std::string_view key, std::string_view value);
/// The record's key at `index`, or null past the end.
const std::string* keyAt(brannock_record& record, std::size_t index);
/// Appends a name to a list, from ANSI bytes.
int addName(brannock_list& list, std::string_view name);

}  // namespace capi
