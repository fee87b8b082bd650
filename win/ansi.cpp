#include "win/ansi.h"

#include <new>

namespace win {

std::wstring toWide(const std::string& text, UINT codePage) {
    if (text.empty()) return {};
    int n = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string toNarrow(const wchar_t* text, size_t length, UINT codePage) {
    if (!text || length == 0) return {};
    int n = ::WideCharToMultiByte(codePage, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    if (n > 0)
        ::WideCharToMultiByte(codePage, 0, text, static_cast<int>(length), out.data(), n, nullptr, nullptr);
    return out;
}

std::string ansiToUtf8(std::string_view ansi) { return toNarrow(toWide(std::string(ansi), CP_ACP), CP_UTF8); }

bool utf8ToAnsi(std::string_view utf8, std::string& ansi) {
    const std::wstring wide = toWide(std::string(utf8), CP_UTF8);
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
