#pragma once

#include <windows.h>

#include <string>

namespace win {

/// The one error type raised by a failed call into a COM object. Section
/// operations catch it and keep `code()` as their last error.
class ComError {
public:
    explicit ComError(HRESULT code) noexcept : code_(code) {}
    HRESULT code() const noexcept { return code_; }
    /// The standard text of the code: the system's message, "IDispatch
    /// error #n" for dispatch error codes, or "Unknown error 0x...".
    std::string message() const;

private:
    HRESULT code_;
};

/// Raises ComError when `hr` is a failure code.
inline void check(HRESULT hr) {
    if (FAILED(hr)) throw ComError(hr);
}

/// Raises ComError(E_POINTER) when an interface pointer that a call needs is
/// missing.
template <typename P>
inline P& required(P& p) {
    if (!p) throw ComError(E_POINTER);
    return p;
}

}  // namespace win
