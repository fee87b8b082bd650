#include "addin/registration.h"

#include <oleauto.h>

#include <string>

#include "addin/addin_identity.h"
#include "addin/registrar.h"
#include "addin/this_module.h"
#include "win/ansi.h"
#include "win/com_ptr.h"

namespace {

std::wstring modulePath() {
    wchar_t path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameW(thisModule(), path, MAX_PATH);
    return (n == 0 || n >= MAX_PATH) ? std::wstring() : std::wstring(path, n);
}

// The script reads a value between apostrophes, where two apostrophes
// stand for one; a path may hold apostrophes.
std::wstring scriptText(const std::wstring& text) {
    std::wstring escaped;
    for (wchar_t c : text) {
        escaped += c;
        if (c == L'\'') escaped += c;
    }
    return escaped;
}

HRESULT updateClassRegistry(bool registering, const std::wstring& module) {
    std::wstring classId = win::toWide(classIdText(configuredAddinClassId()));
    win::ComPtr<IRegistrar> registrar;
    HRESULT hr = ::CoCreateInstance(CLSID_SystemRegistrar, nullptr, CLSCTX_INPROC_SERVER, IID_IRegistrar,
                                    registrar.putVoid());
    if (FAILED(hr)) return hr;
    if (FAILED(hr = registrar->AddReplacement(L"CLSID", classId.c_str()))) return hr;
    if (FAILED(hr = registrar->AddReplacement(L"MODULE", scriptText(module).c_str()))) return hr;
    return registering ? registrar->ResourceRegister(module.c_str(), kRegistrationScriptId, L"REGISTRY")
                       : registrar->ResourceUnregister(module.c_str(), kRegistrationScriptId, L"REGISTRY");
}

HRESULT updateTypeLibrary(bool registering, const std::wstring& module) {
    win::ComPtr<ITypeLib> library;
    HRESULT hr = ::LoadTypeLibEx(module.c_str(), REGKIND_NONE, library.put());
    if (FAILED(hr)) return hr;
    if (registering) {
        std::wstring path = module;
        return ::RegisterTypeLib(library.get(), path.data(), nullptr);
    }
    TLIBATTR* attributes = nullptr;
    if (FAILED(hr = library->GetLibAttr(&attributes))) return hr;
    hr = ::UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum, attributes->lcid,
                             attributes->syskind);
    library->ReleaseTLibAttr(attributes);
    return hr;
}

}  // namespace

HRESULT registerServer(bool registering) noexcept {
    try {
        std::wstring module = modulePath();
        if (module.empty()) return HRESULT_FROM_WIN32(::GetLastError());
        HRESULT hr = updateClassRegistry(registering, module);
        if (FAILED(hr)) return hr;
        return updateTypeLibrary(registering, module);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}
