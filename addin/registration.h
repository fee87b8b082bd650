#pragma once

#include <objbase.h>

/// Identifier of the REGISTRY resource that holds the registration script.
inline constexpr UINT kRegistrationScriptId = 101;

/// Registers (`registering` true) or unregisters the add-in class: runs the
/// registration script through the system registrar with CLSID = the
/// configured class identifier and MODULE = the DLL's full path, then
/// registers or unregisters the DLL's type library. Returns the first
/// failure, or S_OK.
HRESULT registerServer(bool registering) noexcept;

/// COM on the calling thread for the life of the object, so that the
/// registration entry points work when their caller (an installer, say) has
/// not initialised it. A thread that has COM already keeps it as it is.
class ComForRegistration {
public:
    ComForRegistration() noexcept : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComForRegistration() {
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }
    ComForRegistration(const ComForRegistration&) = delete;
    ComForRegistration& operator=(const ComForRegistration&) = delete;

private:
    HRESULT result_;
};
