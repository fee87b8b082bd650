#pragma once

#include <windows.h>
#include <oleauto.h>

#include <atomic>
#include <initializer_list>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "standin/desktop_state.h"
#include "standin/standin_hresult.h"
#include "win/com_ptr.h"

/// A placeholder slot of Palm Desktop's interfaces; never called.
#define STANDIN_RESERVED(n) \
    HRESULT STDMETHODCALLTYPE Reserved##n() override { return E_NOTIMPL; }

namespace standin {

/// Base of every stand-in COM object: reference counting, QueryInterface
/// over a list of interface identifiers, IDispatch answering E_NOTIMPL, and
/// `guarded`, which runs a method body under the fault table and turns
/// every exception into an HRESULT.
template <typename Interface>
class ComObject : public Interface {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (HRESULT hr = state_->faults.enter(name_, "QueryInterface"); FAILED(hr)) return hr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch) && !answers(iid))
            return E_NOINTERFACE;
        this->AddRef();
        *out = static_cast<Interface*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

protected:
    ComObject(std::shared_ptr<DesktopState> state, const char* name)
        : state_(std::move(state)), name_(name) {}
    virtual ~ComObject() = default;

    /// Whether QueryInterface answers `iid` (IUnknown and IDispatch always).
    virtual bool answers(REFIID iid) const = 0;

    DesktopState& state() const noexcept { return *state_; }
    const std::shared_ptr<DesktopState>& sharedState() const noexcept { return state_; }

    /// Counts the call `iface`.`method`, answers its planned failure if any,
    /// otherwise runs `body` (which returns an HRESULT).
    template <typename Body>
    HRESULT guarded(const char* iface, const char* method, Body&& body) noexcept {
        try {
            if (HRESULT hr = state_->faults.enter(iface, method); FAILED(hr)) return hr;
            return body();
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
    }
    /// `guarded` under the object's own interface name.
    template <typename Body>
    HRESULT guarded(const char* method, Body&& body) noexcept {
        return guarded(name_, method, std::forward<Body>(body));
    }

private:
    std::shared_ptr<DesktopState> state_;
    const char* name_;
    std::atomic<ULONG> references_{1};
};

/// Makes a new object with one reference, owned by the result.
template <typename Object, typename... Args>
win::ComPtr<Object> makeObject(Args&&... args) {
    return win::ComPtr<Object>::adopt(new Object(std::forward<Args>(args)...));
}

/// Makes a new object with one reference, owned by the result as `Interface`.
template <typename Interface, typename Object, typename... Args>
win::ComPtr<Interface> makeAs(Args&&... args) {
    return win::ComPtr<Interface>::adopt(new Object(std::forward<Args>(args)...));
}

/// Hands the reference held by `object` to a caller's out-parameter.
template <typename Interface, typename Object>
HRESULT handOut(win::ComPtr<Object> object, Interface** out) {
    *out = object.detach();
    return S_OK;
}

/// True when `iid` is one of `iids`.
inline bool isOneOf(REFIID iid, std::initializer_list<const IID*> iids) {
    for (const IID* candidate : iids)
        if (IsEqualIID(iid, *candidate)) return true;
    return false;
}

/// The text of an incoming BSTR; a null BSTR is the empty text.
inline std::wstring textOf(BSTR text) {
    return text ? std::wstring(text, ::SysStringLen(text)) : std::wstring();
}

/// Answers `text` through a BSTR out-parameter.
inline HRESULT answerText(const std::wstring& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

/// Answers a plain value through an out-parameter.
template <typename T>
HRESULT answerValue(T value, T* out) {
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}

/// Whether `index` lies in [0, size).
inline bool inRange(long index, size_t size) {
    return index >= 0 && static_cast<size_t>(index) < size;
}

}  // namespace standin
