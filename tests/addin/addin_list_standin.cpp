// A stand-in for Palm Desktop's add-in list, so that registration can be
// watched. Each call of the list's add (slot 17) and find (slot 19) and of
// an entry's remove (slot 17) appends one line to the file named by
// BRANNOCK_ADDIN_LIST_LOG: "find ID", "add ID NAME", "remove ID", ending
// " failed" when BRANNOCK_ADDIN_LIST_FAIL names the method, which then
// answers E_FAIL. The list holds the ids added and not removed since. The
// test registers the class itself.

#include <objbase.h>
#include <oleauto.h>

#include <fstream>
#include <string>

namespace {

const CLSID CLSID_AddinList = {0xBE44897A, 0xEB38, 0x11D5, {0x82, 0x3F, 0x00, 0xC0, 0x4F, 0xA0, 0x37, 0x55}};
const IID IID_AddinList = {0xBE448979, 0xEB38, 0x11D5, {0x82, 0x3F, 0x00, 0xC0, 0x4F, 0xA0, 0x37, 0x55}};
const IID IID_AddinEntry = {0x5DBF9006, 0xEE9F, 0x11D5, {0x82, 0x41, 0x00, 0xC0, 0x4F, 0xA0, 0x37, 0x55}};

std::string environment(const char* name) {
    char value[MAX_PATH] = {};
    const DWORD n = ::GetEnvironmentVariableA(name, value, MAX_PATH);
    return n < MAX_PATH ? std::string(value, n) : std::string();
}

std::string narrow(BSTR text) {
    std::string out;
    for (UINT i = 0; i < ::SysStringLen(text); ++i) out += static_cast<char>(text[i]);
    return out;
}

HRESULT logCall(const std::string& method, const std::string& arguments) {
    const bool fail = environment("BRANNOCK_ADDIN_LIST_FAIL") == method;
    std::ofstream(environment("BRANNOCK_ADDIN_LIST_LOG"), std::ios::app | std::ios::binary)
        << method << ' ' << arguments << (fail ? " failed" : "") << '\n';
    return fail ? E_FAIL : S_OK;
}

bool isListed(const std::string& id) {
    std::ifstream log(environment("BRANNOCK_ADDIN_LIST_LOG"));
    bool listed = false;
    for (std::string line; std::getline(log, line);) {
        if (line.rfind("add " + id + " ", 0) == 0 && line.find(" failed") == std::string::npos) listed = true;
        if (line == "remove " + id) listed = false;
    }
    return listed;
}

#define UNUSED_SLOT(n) \
    virtual HRESULT STDMETHODCALLTYPE unused##n() { return E_NOTIMPL; }

// IDispatch without type information, with the slots 7 to 16 that the
// add-in does not call: the base of both objects.
template <typename Derived, const IID& interfaceId>
class Dispatch : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        const bool known = riid == IID_IUnknown || riid == IID_IDispatch || riid == interfaceId;
        *ppv = known ? this : nullptr;
        if (known) AddRef();
        return known ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG count = ::InterlockedDecrement(&references_);
        if (count == 0) delete static_cast<Derived*>(this);
        return static_cast<ULONG>(count);
    }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    UNUSED_SLOT(7) UNUSED_SLOT(8) UNUSED_SLOT(9) UNUSED_SLOT(10) UNUSED_SLOT(11)
    UNUSED_SLOT(12) UNUSED_SLOT(13) UNUSED_SLOT(14) UNUSED_SLOT(15) UNUSED_SLOT(16)

protected:
    ~Dispatch() = default;  // not virtual: a destructor slot would shift the methods

private:
    volatile LONG references_ = 1;
};

class AddinEntry final : public Dispatch<AddinEntry, IID_AddinEntry> {
public:
    explicit AddinEntry(std::string id) : id_(std::move(id)) {}
    virtual HRESULT STDMETHODCALLTYPE remove() { return logCall("remove", id_); }

private:
    std::string id_;
};

class AddinList final : public Dispatch<AddinList, IID_AddinList> {
public:
    virtual HRESULT STDMETHODCALLTYPE add(BSTR id, BSTR name, IDispatch** entry) {
        const HRESULT hr = logCall("add", narrow(id) + " " + narrow(name));
        *entry = SUCCEEDED(hr) ? new AddinEntry(narrow(id)) : nullptr;
        return hr;
    }
    UNUSED_SLOT(18)
    virtual HRESULT STDMETHODCALLTYPE find(BSTR id, IDispatch** entry) {
        const bool listed = isListed(narrow(id));
        const HRESULT hr = logCall("find", narrow(id));
        *entry = SUCCEEDED(hr) && listed ? new AddinEntry(narrow(id)) : nullptr;
        return hr;
    }
};

// A static class object: one list per CreateInstance.
class ListFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        const bool known = riid == IID_IUnknown || riid == IID_IClassFactory;
        *ppv = known ? this : nullptr;
        return known ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        AddinList* list = new AddinList();
        const HRESULT hr = list->QueryInterface(riid, ppv);
        list->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
} factory;

}  // namespace

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    *ppv = nullptr;
    return rclsid == CLSID_AddinList ? factory.QueryInterface(riid, ppv) : CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() { return S_FALSE; }
