// A stand-in for Palm Desktop's add-in list, so that registration can be
// watched. Every call of the list's find (slot 19) and add (slot 17) methods
// and of an entry's remove method (slot 17) appends one line to the file
// named by BRANNOCK_ADDIN_LIST_LOG: "find ID", "add ID NAME", "remove ID"
// (" failed" added when the call fails).
// The list's contents are what the log says: an id added and not removed
// since. Setting BRANNOCK_ADDIN_LIST_FAIL to "find", "add" or "remove" makes
// that method log its call and fail with E_FAIL.

#include <objbase.h>
#include <oleauto.h>

#include <fstream>
#include <new>
#include <string>

namespace {

const CLSID CLSID_AddinList = {0xBE44897A, 0xEB38, 0x11D5, {0x82, 0x3F, 0x00, 0xC0, 0x4F, 0xA0, 0x37, 0x55}};
const IID IID_AddinList = {0xBE448979, 0xEB38, 0x11D5, {0x82, 0x3F, 0x00, 0xC0, 0x4F, 0xA0, 0x37, 0x55}};
const IID IID_AddinEntry = {0x5DBF9006, 0xEE9F, 0x11D5, {0x82, 0x41, 0x00, 0xC0, 0x4F, 0xA0, 0x37, 0x55}};

HMODULE standinModule = nullptr;

std::string environment(const char* name) {
    char value[MAX_PATH] = {};
    DWORD n = ::GetEnvironmentVariableA(name, value, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(value, n) : std::string();
}

std::string narrow(BSTR text) {
    std::string out;
    for (UINT i = 0; text && i < ::SysStringLen(text); ++i) out += static_cast<char>(text[i]);
    return out;
}

// Logs one call; answers E_FAIL, logged as "failed", when the call is the
// one told to fail.
HRESULT logCall(const std::string& method, const std::string& arguments) {
    bool fail = environment("BRANNOCK_ADDIN_LIST_FAIL") == method;
    std::ofstream(environment("BRANNOCK_ADDIN_LIST_LOG"), std::ios::app | std::ios::binary)
        << method << ' ' << arguments << (fail ? " failed" : "") << '\n';
    return fail ? E_FAIL : S_OK;
}

bool isListed(const std::string& id) {
    std::ifstream log(environment("BRANNOCK_ADDIN_LIST_LOG"));
    bool listed = false;
    for (std::string line; std::getline(log, line);) {
        bool failed = line.size() >= 7 && line.compare(line.size() - 7, 7, " failed") == 0;
        if (failed) continue;
        if (line.rfind("add " + id + " ", 0) == 0) listed = true;
        if (line == "remove " + id) listed = false;
    }
    return listed;
}

// IDispatch with no type information, the base of both objects.
template <typename Derived>
class Dispatch : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (::IsEqualIID(riid, IID_IUnknown) || ::IsEqualIID(riid, IID_IDispatch) ||
            ::IsEqualIID(riid, Derived::interfaceId())) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG count = ::InterlockedDecrement(&references_);
        if (count == 0) delete static_cast<Derived*>(this);
        return static_cast<ULONG>(count);
    }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
protected:
    // Not virtual: a destructor slot would shift the methods that follow.
    ~Dispatch() = default;

private:
    volatile LONG references_ = 1;
};

// Slots 7 to 16 and 18 are methods the add-in does not call.
#define UNUSED_SLOT(n) \
    virtual HRESULT STDMETHODCALLTYPE unused##n() { return E_NOTIMPL; }

class AddinEntry final : public Dispatch<AddinEntry> {
public:
    static const IID& interfaceId() { return IID_AddinEntry; }
    explicit AddinEntry(std::string id) : id_(std::move(id)) {}
    UNUSED_SLOT(7) UNUSED_SLOT(8) UNUSED_SLOT(9) UNUSED_SLOT(10) UNUSED_SLOT(11)
    UNUSED_SLOT(12) UNUSED_SLOT(13) UNUSED_SLOT(14) UNUSED_SLOT(15) UNUSED_SLOT(16)
    virtual HRESULT STDMETHODCALLTYPE remove() { return logCall("remove", id_); }

private:
    std::string id_;
};

class AddinList final : public Dispatch<AddinList> {
public:
    static const IID& interfaceId() { return IID_AddinList; }
    UNUSED_SLOT(7) UNUSED_SLOT(8) UNUSED_SLOT(9) UNUSED_SLOT(10) UNUSED_SLOT(11)
    UNUSED_SLOT(12) UNUSED_SLOT(13) UNUSED_SLOT(14) UNUSED_SLOT(15) UNUSED_SLOT(16)
    virtual HRESULT STDMETHODCALLTYPE add(BSTR id, BSTR name, IDispatch** entry) {
        *entry = nullptr;
        HRESULT hr = logCall("add", narrow(id) + " " + narrow(name));
        if (SUCCEEDED(hr)) *entry = new AddinEntry(narrow(id));
        return hr;
    }
    UNUSED_SLOT(18)
    virtual HRESULT STDMETHODCALLTYPE find(BSTR id, IDispatch** entry) {
        *entry = nullptr;
        bool listed = isListed(narrow(id));
        HRESULT hr = logCall("find", narrow(id));
        if (SUCCEEDED(hr) && listed) *entry = new AddinEntry(narrow(id));
        return hr;
    }
};

class ListFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (::IsEqualIID(riid, IID_IUnknown) || ::IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = this;
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        AddinList* list = new (std::nothrow) AddinList();
        if (!list) return E_OUTOFMEMORY;
        HRESULT hr = list->QueryInterface(riid, ppv);
        list->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

ListFactory factory;

const wchar_t kClassKey[] = L"CLSID\\{BE44897A-EB38-11D5-823F-00C04FA03755}";

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) standinModule = instance;
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    if (!::IsEqualCLSID(rclsid, CLSID_AddinList)) {
        *ppv = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return factory.QueryInterface(riid, ppv);
}

STDAPI DllCanUnloadNow() { return S_FALSE; }

STDAPI DllRegisterServer() {
    wchar_t path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameW(standinModule, path, MAX_PATH);
    std::wstring server = std::wstring(kClassKey) + L"\\InprocServer32";
    const wchar_t apartment[] = L"Apartment";
    LSTATUS status = ::RegSetKeyValueW(HKEY_CLASSES_ROOT, server.c_str(), nullptr, REG_SZ, path,
                                       static_cast<DWORD>((n + 1) * sizeof(wchar_t)));
    if (status == ERROR_SUCCESS)
        status = ::RegSetKeyValueW(HKEY_CLASSES_ROOT, server.c_str(), L"ThreadingModel", REG_SZ, apartment,
                                   sizeof apartment);
    return HRESULT_FROM_WIN32(status);
}

STDAPI DllUnregisterServer() { return HRESULT_FROM_WIN32(::RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey)); }
