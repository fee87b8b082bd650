#pragma once

#include <cstddef>
#include <string>

// The split of a memo's text into title and body, free of any platform call:
// the code page enters only as a predicate that tells lead bytes of
// double-byte characters.

/// A memo's text split into its title (the first line, at most 255 bytes)
/// and its body (the rest).
struct MemoText {
    std::string title;
    std::string body;
};

/// The longest memo title, in bytes.
constexpr std::size_t memoTitleLimit = 255;

/// Splits a memo text at its first "\r\n" into title and body. A first line
/// longer than 255 bytes is cut after 255 bytes, or 254 when byte 255 would
/// split a double-byte character; the rest of the line then begins the body.
/// `isLeadByte(unsigned char)` is true for the lead bytes of the code page.
template <typename IsLeadByte>
MemoText splitMemoTextBy(const std::string& text, IsLeadByte isLeadByte)
{
    const std::size_t lineEnd = text.find("\r\n");
    bool hasLineBreak = lineEnd != std::string::npos;
    std::size_t titleLength = hasLineBreak ? lineEnd : text.size();
    if (titleLength > memoTitleLimit) {
        titleLength = memoTitleLimit;
        hasLineBreak = false;
    }
    // Whole characters only: a lead byte whose trail byte lies beyond the
    // limit stays out of the title.
    std::size_t whole = 0;
    while (whole < titleLength) {
        const std::size_t next = whole + (isLeadByte(static_cast<unsigned char>(text[whole])) ? 2 : 1);
        if (next > titleLength)
            break;
        whole = next;
    }
    MemoText split;
    split.title = text.substr(0, whole);
    split.body = text.substr(hasLineBreak ? whole + 2 : whole);
    return split;
}
