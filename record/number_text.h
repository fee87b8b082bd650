#pragma once

#include <charconv>
#include <climits>
#include <string>
#include <string_view>

// Decimal numbers and separator-ended fields inside the wire texts
// (messages, records, recurrences). Writing numbers matches an output stream
// in the classic locale; reading matches atoi/atol. Everything works on
// string views so that a reader takes each field in place, never copying the
// rest of the text.
namespace number_text {

/// Reads a number as atoi does: leading white space skipped, an optional
/// sign, then digits up to the first non-digit; no digits gives 0. Values
/// beyond the 32-bit range saturate (where atoi itself is undefined).
inline int readInt(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() &&
           (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long magnitude = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit) {
            magnitude = limit;
            break;
        }
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

/// Appends the decimal form of a value: digits, a leading minus sign when
/// negative, no padding or group separators.
inline void appendDecimal(std::string& out, long long value)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

/// Finds the next field ended by `separator` in `cursor`: returns the bytes
/// before it and moves the cursor past it. Without a separator the whole
/// remainder is returned and the cursor is left empty.
inline std::string_view takeField(std::string_view& cursor, char separator)
{
    const std::size_t end = cursor.find(separator);
    if (end == std::string_view::npos) {
        const std::string_view field = cursor;
        cursor = std::string_view();
        return field;
    }
    const std::string_view field = cursor.substr(0, end);
    cursor.remove_prefix(end + 1);
    return field;
}

}  // namespace number_text
