#include "win/com_error.h"

#include <cstdio>

namespace win {

std::string ComError::message() const {
    char* text = nullptr;
    DWORD n = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                   FORMAT_MESSAGE_IGNORE_INSERTS,
                               nullptr, static_cast<DWORD>(code_), 0,
                               reinterpret_cast<char*>(&text), 0, nullptr);
    if (n > 0 && text) {
        std::string s(text, n);
        ::LocalFree(text);
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
        return s;
    }
    char buf[64];
    const HRESULT first = static_cast<HRESULT>(0x80040200L);  // WCODE_HRESULT_FIRST
    const HRESULT last = static_cast<HRESULT>(0x8004FFFFL);   // WCODE_HRESULT_LAST
    // The dispatch error number is the offset from the first code; the
    // first code itself carries number 0, which means no dispatch error.
    if (code_ > first && code_ <= last)
        std::snprintf(buf, sizeof buf, "IDispatch error #%d", static_cast<int>(code_ - first));
    else
        std::snprintf(buf, sizeof buf, "Unknown error 0x%0lX", static_cast<unsigned long>(code_));
    return buf;
}

}  // namespace win
