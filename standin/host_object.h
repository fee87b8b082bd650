#pragma once

#include <windows.h>

#include <utility>

#include "sections/palm_desktop.h"
#include "win/com_ptr.h"

namespace standin {

/// The object Palm Desktop hands to an add-in's OnInitialize. It answers
/// the application interface with `application`; without one it fails that
/// query with `failure` (E_NOINTERFACE: a host that offers none). Its owner
/// keeps it alive (it may live on the stack); it only counts references, so
/// that a test can see the add-in give its own back.
class HostObject final : public IDispatch {
public:
    explicit HostObject(win::ComPtr<PalmApplication> application, HRESULT failure = E_NOINTERFACE)
        : application_(std::move(application)), failure_(failure) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (::IsEqualIID(riid, IID_PalmApplication))
            return application_ ? application_->QueryInterface(riid, ppv) : failure_;
        if (!::IsEqualIID(riid, IID_IUnknown) && !::IsEqualIID(riid, IID_IDispatch)) return E_NOINTERFACE;
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(::InterlockedDecrement(&references_)); }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    /// The references held on the object, its owner's one included.
    LONG references() const noexcept { return references_; }

private:
    win::ComPtr<PalmApplication> application_;
    HRESULT failure_;
    volatile LONG references_ = 1;
};

}  // namespace standin
