// The four COM entry points of Brannock.dll, exported by name.

#include <objbase.h>
#include <olectl.h>

#include "addin/addin_identity.h"
#include "addin/brannock_addin_idl.h"
#include "addin/com_module.h"
#include "addin/palm_addin_list.h"
#include "addin/registration.h"

STDAPI DllCanUnloadNow() { return comModule().lockCount() == 0 ? S_OK : S_FALSE; }

// The class answers to the configured identifier and to the built-in one.
STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    if (ppv) *ppv = nullptr;
    try {
        const CLSID configured = configuredAddinClassId();
        const CLSID& served = ::IsEqualCLSID(rclsid, configured) ? CLSID_BrannockAddin : rclsid;
        return comModule().getClassObject(served, riid, ppv);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDAPI DllRegisterServer() {
    ComForRegistration com;
    HRESULT hr = registerServer(true);
    if (hr == S_OK) addToPalmDesktop();
    return hr;
}

STDAPI DllUnregisterServer() {
    ComForRegistration com;
    HRESULT hr = registerServer(false);
    if (hr == S_OK) removeFromPalmDesktop();
    return hr;
}
