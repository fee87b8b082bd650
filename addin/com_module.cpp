#include "addin/com_module.h"

#include "addin/addin_class_factory.h"
#include "addin/brannock_addin_idl.h"
#include "win/com_ptr.h"

namespace {

/// One class the module serves: its identifier, how its factory is made,
/// and the cached factory.
struct ObjectEntry {
    const CLSID* clsid;
    HRESULT (*createFactory)(IClassFactory** factory);
    win::ComPtr<IClassFactory> cachedFactory;
};

ObjectEntry objectMap[] = {
    {&CLSID_BrannockAddin, &createBrannockAddinFactory, {}},
};

}  // namespace

ComModule& comModule() noexcept {
    static ComModule module;
    return module;
}

void ComModule::term() noexcept {
    win::CriticalSection::Lock guard(factoryLock_);
    for (ObjectEntry& entry : objectMap) entry.cachedFactory.reset();
}

long ComModule::lock() noexcept { return ::InterlockedIncrement(&locks_); }

long ComModule::unlock() noexcept { return ::InterlockedDecrement(&locks_); }

long ComModule::lockCount() const noexcept { return locks_; }

HRESULT ComModule::getClassObject(REFCLSID rclsid, REFIID riid, void** ppv) noexcept {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (ObjectEntry& entry : objectMap) {
        if (!::IsEqualCLSID(rclsid, *entry.clsid)) continue;
        win::ComPtr<IClassFactory> factory;
        {
            win::CriticalSection::Lock guard(factoryLock_);
            if (!entry.cachedFactory) {
                HRESULT hr = entry.createFactory(entry.cachedFactory.put());
                if (FAILED(hr)) return hr;
            }
            factory = entry.cachedFactory.copy();
        }
        return factory->QueryInterface(riid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}
