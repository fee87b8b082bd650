#pragma once

#include <windows.h>

#include <memory>

#include "addin/brannock_addin_idl.h"
#include "addin/prompt_hand_over.h"
#include "addin/slave_thread.h"
#include "win/com_ptr.h"
#include "win/unique_handle.h"

/// Name of the event that tells other processes an add-in is initialised in
/// Palm Desktop; the same for every installation.
inline constexpr char kAddinInitializeEventName[] = "Marrowvelle_Tesk_PDAddinInitializeEvent";

/// The add-in object Palm Desktop creates: it starts the slave end of the
/// command channel when Palm Desktop initialises it and stops it again when
/// Palm Desktop uninitialises it. Answers IUnknown, IDesktopAddin and
/// IDispatch (the same pointer); can be aggregated; holds a module lock while
/// it lives. Every call comes on Palm Desktop's user-interface thread.
class CBrannockAddin final : public IDesktopAddin {
public:
    /// The class factory's CreateInstance: a new add-in, aggregated when
    /// `outer` is given (then `riid` must be IID_IUnknown).
    static HRESULT create(IUnknown* outer, REFIID riid, void** ppv) noexcept;

    // IUnknown, delegating to the controlling unknown.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch over the type information of IDesktopAddin.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override;

    // IDesktopAddin.
    STDMETHODIMP OnInitialize(IDispatch* pUnk, LONG dwCookie, LONG dwDesktopVersion, LONG lParam,
                              LONG* pbSuccess) override;
    STDMETHODIMP OnUninitialize() override;
    STDMETHODIMP GetFrameworkVersion(LONG* plVersion) override;
    STDMETHODIMP ShowAboutBox(LONG hWndParent) override;
    STDMETHODIMP ShowProperties(LONG hWndParent) override;

    virtual ~CBrannockAddin();

    CBrannockAddin(const CBrannockAddin&) = delete;
    CBrannockAddin& operator=(const CBrannockAddin&) = delete;

private:
    /// The object's own IUnknown, which the outer object of an aggregate
    /// holds; for a plain object it is the controlling unknown.
    class InnerUnknown final : public IUnknown {
    public:
        explicit InnerUnknown(CBrannockAddin& owner) noexcept : owner_(owner) {}
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;

    private:
        CBrannockAddin& owner_;
    };

    explicit CBrannockAddin(IUnknown* outer) noexcept;
    HRESULT loadTypeInfo() noexcept;
    void startSlave(win::ComPtr<PalmApplication> application);
    /// Stops the worker; false when it did not end within its time.
    bool stopSlave() noexcept;
    void startPromptHandOver() noexcept;
    void stopPromptHandOver(bool workerEnded) noexcept;
    void reportFailure(HRESULT code, LONG* pbSuccess) noexcept;

    LONG references_ = 0;
    LONG cookie_ = 0;
    win::ComPtr<IDispatch> host_;
    std::shared_ptr<SlaveThread> slaveThread_;
    win::UniqueHandle initializeEvent_;
    UINT_PTR timerId_ = 0;
    std::unique_ptr<PromptHandOver> promptHandOver_;
    InnerUnknown inner_;
    IUnknown* controlling_;
    win::ComPtr<ITypeInfo> typeInfo_;
};
