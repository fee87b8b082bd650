#include "addin/brannock_addin.h"

#include <new>
#include <string>

#include "addin/addin_identity.h"
#include "addin/com_module.h"
#include "addin/hand_over_setting.h"
#include "addin/message_box.h"
#include "addin/thread_timer.h"
#include "addin/this_module.h"
#include "channel/pending_call.h"
#include "channel/section_dispatch.h"
#include "sections/record_id_index.h"
#include "win/ansi.h"
#include "win/com_error.h"
#include "win/trace_file.h"

namespace {

constexpr UINT_PTR kTimerId = 8;
constexpr UINT kTimerPeriodMs = 100;
constexpr LONG kFrameworkVersion = 2;
constexpr char kAddinCaption[] = "Brannock";
constexpr char kPalmAddinMarkerSubkey[] = "Palm AddIn";
constexpr LCID kTypeLibraryLocale = 0x0409;

/// Removes the "Palm AddIn" marker that software outside this system puts
/// under the sibling component's class key; every failure is ignored.
void removePalmAddinMarker() {
    CLSID sibling = getConfiguredClassId(kAddinConfigSection, kSiblingConfigKey, nullptr, thisModule());
    std::string classKey = "SOFTWARE\\Classes\\CLSID\\" + classIdText(sibling);
    win::UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, classKey.c_str(), 0, KEY_ALL_ACCESS, key.put()) == ERROR_SUCCESS)
        ::RegDeleteKeyA(key.get(), kPalmAddinMarkerSubkey);
}

HWND windowOf(LONG handle) noexcept { return reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle)); }

}  // namespace

HRESULT CBrannockAddin::create(IUnknown* outer, REFIID riid, void** ppv) noexcept {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer && !::IsEqualIID(riid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    CBrannockAddin* addin = new (std::nothrow) CBrannockAddin(outer);
    if (!addin) return E_OUTOFMEMORY;
    addin->inner_.AddRef();
    HRESULT hr = addin->inner_.QueryInterface(riid, ppv);
    addin->inner_.Release();
    return hr;
}

CBrannockAddin::CBrannockAddin(IUnknown* outer) noexcept
    : inner_(*this), controlling_(outer ? outer : &inner_) {
    comModule().lock();
}

CBrannockAddin::~CBrannockAddin() { comModule().unlock(); }

STDMETHODIMP CBrannockAddin::InnerUnknown::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (::IsEqualIID(riid, IID_IUnknown)) {
        *ppv = static_cast<IUnknown*>(this);
    } else if (::IsEqualIID(riid, IID_IDesktopAddin) || ::IsEqualIID(riid, IID_IDispatch)) {
        *ppv = static_cast<IDesktopAddin*>(&owner_);
    } else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    static_cast<IUnknown*>(*ppv)->AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CBrannockAddin::InnerUnknown::AddRef() { return static_cast<ULONG>(++owner_.references_); }

STDMETHODIMP_(ULONG) CBrannockAddin::InnerUnknown::Release() {
    LONG count = --owner_.references_;
    if (count == 0) delete &owner_;
    return static_cast<ULONG>(count);
}

STDMETHODIMP CBrannockAddin::QueryInterface(REFIID riid, void** ppv) {
    return controlling_->QueryInterface(riid, ppv);
}

STDMETHODIMP_(ULONG) CBrannockAddin::AddRef() { return controlling_->AddRef(); }

STDMETHODIMP_(ULONG) CBrannockAddin::Release() { return controlling_->Release(); }

// The type information comes from the type library registered under the
// library's identifier, version 1.0 and the library's own locale (the one
// registration writes); when it is not registered (the class created under
// its built-in identifier before any registration), from the DLL's own
// TYPELIB resource.
HRESULT CBrannockAddin::loadTypeInfo() noexcept {
    if (typeInfo_) return S_OK;
    win::ComPtr<ITypeLib> library;
    HRESULT hr = ::LoadRegTypeLib(LIBID_BrannockAddinLib, 1, 0, kTypeLibraryLocale, library.put());
    if (FAILED(hr)) {
        wchar_t path[MAX_PATH] = {};
        DWORD n = ::GetModuleFileNameW(thisModule(), path, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return hr;
        hr = ::LoadTypeLibEx(path, REGKIND_NONE, library.put());
        if (FAILED(hr)) return hr;
    }
    return library->GetTypeInfoOfGuid(IID_IDesktopAddin, typeInfo_.put());
}

STDMETHODIMP CBrannockAddin::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP CBrannockAddin::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    HRESULT hr = loadTypeInfo();
    if (FAILED(hr)) return hr;
    *info = typeInfo_.copy().detach();
    return S_OK;
}

STDMETHODIMP CBrannockAddin::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!::IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    HRESULT hr = loadTypeInfo();
    if (FAILED(hr)) return hr;
    return ::DispGetIDsOfNames(typeInfo_.get(), names, count, ids);
}

STDMETHODIMP CBrannockAddin::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                    EXCEPINFO* exception, UINT* argumentError) {
    if (!::IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    HRESULT hr = loadTypeInfo();
    if (FAILED(hr)) return hr;
    return ::DispInvoke(static_cast<IDesktopAddin*>(this), typeInfo_.get(), id, flags, params, result, exception,
                        argumentError);
}

STDMETHODIMP CBrannockAddin::OnInitialize(IDispatch* pUnk, LONG dwCookie, LONG, LONG, LONG* pbSuccess) {
    try {
        cookie_ = dwCookie;
        if (host_.get() != pUnk) host_ = win::ComPtr<IDispatch>::share(pUnk);

        win::ComPtr<PalmApplication> application;
        if (host_) {
            HRESULT hr = S_OK;
            application = host_.query<PalmApplication>(IID_PalmApplication, &hr);
            if (FAILED(hr) && hr != E_NOINTERFACE) throw win::ComError(hr);
        }

        // No record of the current add-in is kept: the timer procedure's
        // dispatch is process-wide and uses nothing of the add-in object.
        timerId_ = startTimer(nullptr, kTimerId, kTimerPeriodMs, &pendingCallTimerProc);
        initializeEvent_.reset(::CreateEventA(nullptr, TRUE, FALSE, kAddinInitializeEventName));
        if (initializeEvent_) ::SetEvent(initializeEvent_.get());

        stopPromptHandOver(stopSlave());
        startPromptHandOver();
        const bool offered = static_cast<bool>(application);
        startSlave(std::move(application));
        if (pbSuccess) *pbSuccess = 1;
        trace::traceLine(trace::End::Slave, "OnInitialize: initialised; application interface %s, hand-over %s",
                         offered ? "offered" : "not offered", promptHandOver_ ? "prompt" : "timer");
    } catch (const win::ComError& error) {
        reportFailure(error.code(), pbSuccess);
    } catch (unsigned long systemError) {
        // The channel's kernel objects could not be opened.
        reportFailure(HRESULT_FROM_WIN32(systemError), pbSuccess);
    } catch (...) {
        reportFailure(E_OUTOFMEMORY, pbSuccess);
    }
    return S_OK;
}

// A holder that cannot be built (the channel's objects cannot be opened, or
// memory runs out) is reported like a COM error; the timer and the event
// exist by then and OnUninitialize stops and closes them as usual.
void CBrannockAddin::startSlave(win::ComPtr<PalmApplication> application) {
    stopSlave();
    std::shared_ptr<SlaveThread> holder = SlaveThread::create(std::move(application));
    holder->start(holder);
    slaveThread_ = std::move(holder);
}

// Shows the standard text of `code` in a message box captioned with the
// DLL's base file name and reports the failure to Palm Desktop.
void CBrannockAddin::reportFailure(HRESULT code, LONG* pbSuccess) noexcept {
    try {
        std::string text = win::ComError(code).message();
        trace::traceLine(trace::End::Slave, "OnInitialize: failed with 0x%08lX: %s", static_cast<unsigned long>(code),
                         text.c_str());
        std::string caption = moduleBaseName(thisModule());
        showMessageBox(nullptr, text.c_str(), caption.c_str(), MB_OK);
    } catch (...) {
        // No memory for the texts: the failure is still reported below.
    }
    if (pbSuccess) *pbSuccess = 0;
}

STDMETHODIMP CBrannockAddin::OnUninitialize() {
    try {
        removePalmAddinMarker();
    } catch (...) {
        // The marker stays; nothing else depends on it.
    }
    const bool workerEnded = stopSlave();
    trace::traceLine(trace::End::Slave, "OnUninitialize: %s",
                     workerEnded ? "worker ended" : "worker still running after 10 s, left to end by itself");
    stopPromptHandOver(workerEnded);
    // A bracket the engine left open (it may have died mid-export) gives
    // back Palm Desktop's objects now rather than at process end. The last
    // named section stays: an engine that named it before the add-in was
    // initialised again may still write categories or delete all. While a
    // call still runs (this is a nested message loop inside it, and the
    // stop gave up waiting), its handler stays: the call is using it.
    if (isHandOverReady()) sectionDispatch().releaseCurrentHandler();
    cookie_ = 0;
    stopTimer(nullptr, timerId_);
    timerId_ = 0;
    initializeEvent_.reset();
    return S_OK;
}

bool CBrannockAddin::stopSlave() noexcept {
    if (!slaveThread_) return true;
    const bool ended = slaveThread_->stop();
    slaveThread_.reset();
    return ended;
}

// The prompt hand-over, when "conn_install.cfg" asks for it: a wake-up
// window beside the timer, and the search by record id through an index.
void CBrannockAddin::startPromptHandOver() noexcept {
    if (readHandOverMode(configFileBesideThisModule()) != HandOverMode::Prompt) return;
    promptHandOver_ = PromptHandOver::install();
    if (!promptHandOver_)
        ::OutputDebugStringA("Brannock: the prompt hand-over cannot be set up; the timer is used\n");
    setRecordIdIndexing(promptHandOver_ != nullptr);
}

// A worker that outlived its ten seconds may still wait on the hand-over's
// event and post to its window: both stay, and so does the module, whose
// code the window procedure is.
void CBrannockAddin::stopPromptHandOver(bool workerEnded) noexcept {
    setRecordIdIndexing(false);
    if (!promptHandOver_) return;
    if (workerEnded) {
        promptHandOver_.reset();
    } else {
        comModule().lock();
        promptHandOver_.release();
    }
}

STDMETHODIMP CBrannockAddin::GetFrameworkVersion(LONG* plVersion) {
    if (plVersion) *plVersion = kFrameworkVersion;
    return S_OK;
}

STDMETHODIMP CBrannockAddin::ShowAboutBox(LONG hWndParent) {
    showMessageBox(windowOf(hWndParent), "BrannockAddin AboutBox", kAddinCaption, MB_OK);
    return S_OK;
}

STDMETHODIMP CBrannockAddin::ShowProperties(LONG hWndParent) {
    showMessageBox(windowOf(hWndParent), "BrannockAddin Properties Dialog", kAddinCaption, MB_OK);
    return S_OK;
}
