#include "win/ansi.h"

#include <climits>
#include <new>
#include <stdexcept>

namespace win {

namespace {

/// `length` as the int the conversion functions take; throws
/// std::length_error for a text they cannot take in one piece.
int convertibleLength(size_t length) {
    if (length > static_cast<size_t>(INT_MAX)) throw std::length_error("text too long to convert");
    return static_cast<int>(length);
}

}  // namespace

std::wstring toWide(const std::string& text, UINT codePage) {
    if (text.empty()) return {};
    int n = ::MultiByteToWideChar(codePage, 0, text.data(), convertibleLength(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(codePage, 0, text.data(), convertibleLength(text.size()), out.data(), n);
    return out;
}

std::string toNarrow(const wchar_t* text, size_t length, UINT codePage) {
    if (!text || length == 0) return {};
    int n = ::WideCharToMultiByte(codePage, 0, text, convertibleLength(length), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    if (n > 0)
        ::WideCharToMultiByte(codePage, 0, text, convertibleLength(length), out.data(), n, nullptr, nullptr);
    return out;
}

std::string ansiToUtf8(std::string_view ansi) { return toNarrow(toWide(std::string(ansi), CP_ACP), CP_UTF8); }

bool utf8ToAnsi(std::string_view utf8, std::string& ansi) {
    if (utf8.size() > static_cast<size_t>(INT_MAX)) return false;
    ansi.clear();
    if (utf8.empty()) return true;
    // Malformed UTF-8 is refused here, not left to become U+FFFD, which a
    // code page such as 65001 would carry through the round trip below.
    const int length = static_cast<int>(utf8.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
    if (n <= 0) return false;
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, wide.data(), n);
    ansi = toNarrow(wide, CP_ACP);
    return toWide(ansi, CP_ACP) == wide;
}

std::string fromBstr(BSTR text) { return text ? toNarrow(text, static_cast<size_t>(::SysStringLen(text)), CP_ACP) : std::string(); }

UniqueBstr makeBstr(const std::string& text) {
    std::wstring wide = toWide(text);
    BSTR b = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!b) throw std::bad_alloc();
    return UniqueBstr(b);
}

}  // namespace win
