#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "win/unique_bstr.h"

namespace win {

/// Converts bytes of `codePage` (the ANSI code page by default) to UTF-16.
std::wstring toWide(const std::string& text, UINT codePage = CP_ACP);
/// Converts UTF-16 to bytes of `codePage` (the ANSI code page by default).
std::string toNarrow(const wchar_t* text, size_t length, UINT codePage = CP_ACP);
inline std::string toNarrow(const std::wstring& text, UINT codePage = CP_ACP) {
    return toNarrow(text.data(), text.size(), codePage);
}
/// ANSI bytes as UTF-8.
std::string ansiToUtf8(std::string_view ansi);
/// UTF-8 text as ANSI bytes, into `ansi`. False when a character has no form
/// in the ANSI code page (malformed UTF-8 counts as such): the text would not
/// come back unchanged, so it is refused rather than altered.
bool utf8ToAnsi(std::string_view utf8, std::string& ansi);
/// The text of a BSTR in the ANSI code page; a null BSTR is the empty text.
std::string fromBstr(BSTR text);
/// A new BSTR holding `text` converted from the ANSI code page.
UniqueBstr makeBstr(const std::string& text);

}  // namespace win
