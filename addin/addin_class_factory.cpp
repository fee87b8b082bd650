#include "addin/addin_class_factory.h"

#include <new>

#include "addin/brannock_addin.h"
#include "addin/com_module.h"

namespace {

// The factory's first reference belongs to the module's cache; every further
// reference keeps the module locked, so that a client holding the factory
// keeps the DLL loaded.
class CBrannockAddinFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (::IsEqualIID(riid, IID_IUnknown) || ::IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override {
        LONG count = ::InterlockedIncrement(&references_);
        if (count == 2) comModule().lock();
        return static_cast<ULONG>(count);
    }
    STDMETHODIMP_(ULONG) Release() override {
        LONG count = ::InterlockedDecrement(&references_);
        if (count == 1) comModule().unlock();
        if (count == 0) delete this;
        return static_cast<ULONG>(count);
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        return CBrannockAddin::create(outer, riid, ppv);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock)
            comModule().lock();
        else
            comModule().unlock();
        return S_OK;
    }

private:
    volatile LONG references_ = 1;
};

}  // namespace

HRESULT createBrannockAddinFactory(IClassFactory** factory) noexcept {
    *factory = new (std::nothrow) CBrannockAddinFactory();
    return *factory ? S_OK : E_OUTOFMEMORY;
}
