#include "addin/com_module.h"

#include "addin/addin_class_factory.h"
#include "addin/brannock_addin_idl.h"

namespace {

/// One class the module serves: its identifier, how its factory is made,
/// and the cached factory.
struct ObjectEntry {
    const CLSID* clsid;
    HRESULT (*createFactory)(IClassFactory** factory);
    IClassFactory* cachedFactory;
};

ObjectEntry objectMap[] = {
    {&CLSID_BrannockAddin, &createBrannockAddinFactory, nullptr},
};

class ExclusiveLock {
public:
    explicit ExclusiveLock(SRWLOCK& lock) noexcept : lock_(lock) { ::AcquireSRWLockExclusive(&lock_); }
    ~ExclusiveLock() { ::ReleaseSRWLockExclusive(&lock_); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    SRWLOCK& lock_;
};

}  // namespace

ComModule& comModule() noexcept {
    static ComModule module;
    return module;
}

void ComModule::term() noexcept {
    ExclusiveLock guard(factoryLock_);
    for (ObjectEntry& entry : objectMap) {
        if (entry.cachedFactory) entry.cachedFactory->Release();
        entry.cachedFactory = nullptr;
    }
}

long ComModule::lock() noexcept { return ::InterlockedIncrement(&locks_); }

long ComModule::unlock() noexcept { return ::InterlockedDecrement(&locks_); }

long ComModule::lockCount() const noexcept { return locks_; }

HRESULT ComModule::getClassObject(REFCLSID rclsid, REFIID riid, void** ppv) noexcept {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (ObjectEntry& entry : objectMap) {
        if (!::IsEqualCLSID(rclsid, *entry.clsid)) continue;
        IClassFactory* factory = nullptr;
        {
            ExclusiveLock guard(factoryLock_);
            if (!entry.cachedFactory) {
                HRESULT hr = entry.createFactory(&entry.cachedFactory);
                if (FAILED(hr)) return hr;
            }
            factory = entry.cachedFactory;
            factory->AddRef();
        }
        HRESULT hr = factory->QueryInterface(riid, ppv);
        factory->Release();
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}
