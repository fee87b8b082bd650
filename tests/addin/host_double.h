#pragma once

// Palm Desktop's side of OnInitialize for the in-process add-in tests.

#include <windows.h>

#include <utility>

#include <gtest/gtest.h>

#include "addin/brannock_addin.h"
#include "sections/palm_desktop.h"
#include "win/com_ptr.h"

/// The host object Palm Desktop hands to OnInitialize: answers the
/// application interface through `application`, or, without one, fails
/// that query with `failure`. Lives on the stack; counts its references.
class HostDouble final : public IDispatch {
public:
    explicit HostDouble(HRESULT failure, win::ComPtr<PalmApplication> application = nullptr)
        : failure_(failure), application_(std::move(application)) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        *ppv = nullptr;
        if (::IsEqualIID(riid, IID_PalmApplication))
            return application_ ? application_.get()->QueryInterface(riid, ppv) : failure_;
        if (!::IsEqualIID(riid, IID_IUnknown) && !::IsEqualIID(riid, IID_IDispatch)) return E_NOINTERFACE;
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&references)); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(::InterlockedDecrement(&references)); }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    volatile LONG references = 1;

private:
    HRESULT failure_;
    win::ComPtr<PalmApplication> application_;
};

/// A new add-in object, made in this process.
inline win::ComPtr<IDesktopAddin> newAddin() {
    win::ComPtr<IDesktopAddin> addin;
    EXPECT_EQ(S_OK, CBrannockAddin::create(nullptr, IID_IDesktopAddin, addin.putVoid()));
    return addin;
}
