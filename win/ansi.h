#pragma once

#include <windows.h>

#include <string>

#include "win/unique_bstr.h"

namespace win {

/// Converts bytes of `codePage` (the ANSI code page by default) to UTF-16.
std::wstring toWide(const std::string& text, UINT codePage = CP_ACP);
/// Converts UTF-16 to bytes of `codePage` (the ANSI code page by default).
std::string toNarrow(const wchar_t* text, size_t length, UINT codePage = CP_ACP);
inline std::string toNarrow(const std::wstring& text, UINT codePage = CP_ACP) {
    return toNarrow(text.data(), text.size(), codePage);
}
/// The text of a BSTR in the ANSI code page; a null BSTR is the empty text.
std::string fromBstr(BSTR text);
/// A new BSTR holding `text` converted from the ANSI code page.
UniqueBstr makeBstr(const std::string& text);

}  // namespace win
