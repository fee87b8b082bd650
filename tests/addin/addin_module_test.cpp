// Brannock.dll as a COM in-process server, loaded from copies with their own
// configuration: its class objects, its object's interfaces, the module's
// lock, its resources, and its registration, watched through a stand-in of
// Palm Desktop's add-in list.

#include <windows.h>
#include <cguid.h>
#include <oleauto.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "addin/brannock_addin_idl.h"
#include "dll_copy.h"
#include "win/com_ptr.h"
#include "win/unique_handle.h"

namespace {

constexpr char kClassId[] = "{6A7B8C9D-0E1F-4A2B-8C3D-4E5F6A7B8C9D}";
const CLSID kConfigured = {0x6A7B8C9D, 0x0E1F, 0x4A2B, {0x8C, 0x3D, 0x4E, 0x5F, 0x6A, 0x7B, 0x8C, 0x9D}};
const CLSID kThird = {0x00000000, 0x1111, 0x2222, {0x33, 0x33, 0x44, 0x44, 0x44, 0x44, 0x44, 0x44}};
constexpr char kTypeLibrary[] = "{B0D27AF3-7196-450B-9990-C70D233DCB82}";

using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using EntryPoint = HRESULT(STDAPICALLTYPE*)();

/// A copy of the DLL, loaded, with COM initialised on this thread.
class LoadedAddin : public ::testing::Test {
protected:
    void SetUp() override {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        module_ = ::LoadLibraryA(copy_.dllPath().c_str());
        ASSERT_NE(nullptr, module_);
        getClassObject_ = procedure<GetClassObject>(module_, "DllGetClassObject");
        canUnloadNow_ = procedure<EntryPoint>(module_, "DllCanUnloadNow");
        ASSERT_TRUE(getClassObject_ && canUnloadNow_);
    }
    void TearDown() override {
        if (module_) ::FreeLibrary(module_);
        ::CoUninitialize();
    }
    win::ComPtr<IClassFactory> factory(const CLSID& id, HRESULT* hr = nullptr) {
        win::ComPtr<IClassFactory> result;
        const HRESULT answer = getClassObject_(id, IID_IClassFactory, result.putVoid());
        if (hr) *hr = answer;
        return result;
    }
    win::ComPtr<IDesktopAddin> newAddin(IClassFactory& from) {
        win::ComPtr<IDesktopAddin> addin;
        EXPECT_EQ(S_OK, from.CreateInstance(nullptr, IID_IDesktopAddin, addin.putVoid()));
        return addin;
    }

    DllCopy copy_{kClassId};
    HMODULE module_ = nullptr;
    GetClassObject getClassObject_ = nullptr;
    EntryPoint canUnloadNow_ = nullptr;
};

TEST_F(LoadedAddin, ServesTheClassUnderTheConfiguredAndTheBuiltInIdentifierOnly) {
    HRESULT hr = E_FAIL;
    for (const CLSID& id : {kConfigured, CLSID_BrannockAddin}) {
        EXPECT_TRUE(factory(id, &hr));
        EXPECT_EQ(S_OK, hr);
    }
    const std::tuple<CLSID, IID, HRESULT> refused[] = {{kThird, IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
                                                       {CLSID_BrannockAddin, IID_IDispatch, E_NOINTERFACE}};
    for (const auto& [id, iid, expected] : refused) {
        void* out = reinterpret_cast<void*>(0x1);
        EXPECT_EQ(expected, getClassObject_(id, iid, &out));
        EXPECT_EQ(nullptr, out);
    }
    EXPECT_EQ(E_POINTER, getClassObject_(CLSID_BrannockAddin, IID_IClassFactory, nullptr));
}

TEST_F(LoadedAddin, AnObjectOrAHeldFactoryKeepsTheModuleLoaded) {
    EXPECT_EQ(S_OK, canUnloadNow_());
    win::ComPtr<IClassFactory> classFactory = factory(kConfigured);
    ASSERT_TRUE(classFactory);
    EXPECT_EQ(S_FALSE, canUnloadNow_());
    win::ComPtr<IDesktopAddin> addin = newAddin(*classFactory.get());
    classFactory.reset();
    EXPECT_EQ(S_FALSE, canUnloadNow_());
    addin.reset();
    EXPECT_EQ(S_OK, canUnloadNow_());
    for (const BOOL lock : {TRUE, FALSE}) {
        EXPECT_EQ(S_OK, factory(CLSID_BrannockAddin)->LockServer(lock));
        EXPECT_EQ(lock ? S_FALSE : S_OK, canUnloadNow_()) << "a server lock keeps the module loaded";
    }
}

// Without a usable configuration the class is served under the null
// identifier, the one the registration then writes.
TEST(UnconfiguredAddin, ServesTheClassUnderTheNullIdentifier) {
    for (const bool missing : {true, false}) {
        DllCopy copy("not a class identifier");
        if (missing) ::DeleteFileA(copy.folder().file("conn_install.cfg").c_str());
        HMODULE module = ::LoadLibraryA(copy.dllPath().c_str());
        ASSERT_NE(nullptr, module);
        win::ComPtr<IClassFactory> factory;
        EXPECT_EQ(S_OK, procedure<GetClassObject>(module, "DllGetClassObject")(GUID_NULL, IID_IClassFactory,
                                                                               factory.putVoid()))
            << (missing ? "missing" : "invalid");
        factory.reset();
        ::FreeLibrary(module);
    }
}

TEST_F(LoadedAddin, ObjectDispatchesThroughTheTypeLibraryAndCanBeAggregatedOnlyAsIUnknown) {
    win::ComPtr<IClassFactory> classFactory = factory(CLSID_BrannockAddin);
    ASSERT_TRUE(classFactory);
    win::ComPtr<IDesktopAddin> addin = newAddin(*classFactory.get());
    win::ComPtr<IDispatch> dispatch = addin.query<IDispatch>(IID_IDispatch);
    EXPECT_EQ(static_cast<IDispatch*>(addin.get()), dispatch.get());
    EXPECT_FALSE(addin.query<IClassFactory>(IID_IClassFactory));

    wchar_t name[] = L"GetFrameworkVersion";
    LPOLESTR names[] = {name};
    DISPID id = 0;
    ASSERT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    EXPECT_EQ(3, id);
    LONG version = 0;
    VARIANT argument{};
    argument.vt = VT_I4 | VT_BYREF;
    argument.plVal = &version;
    DISPPARAMS params = {&argument, nullptr, 1, 0};
    EXPECT_EQ(S_OK, dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                                     nullptr));
    EXPECT_EQ(2, version);

    void* refused = nullptr;
    win::ComPtr<IUnknown> inner;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, classFactory->CreateInstance(dispatch.get(), IID_IDesktopAddin, &refused));
    ASSERT_EQ(S_OK, classFactory->CreateInstance(dispatch.get(), IID_IUnknown, inner.putVoid()));
    EXPECT_TRUE(inner.query<IDesktopAddin>(IID_IDesktopAddin));
}

// A worker holds its own reference on the module, which it gives back as
// its very last act, so that a worker that outlives its add-in never runs
// unloaded code. About ten seconds: the worker sleeps before it serves.
TEST_F(LoadedAddin, AWorkerKeepsTheModuleLoadedUntilItHasEnded) {
    win::ComPtr<IClassFactory> classFactory = factory(CLSID_BrannockAddin);
    ASSERT_TRUE(classFactory);
    win::ComPtr<IDesktopAddin> addin = newAddin(*classFactory.get());
    LONG success = 0;
    ASSERT_EQ(S_OK, addin->OnInitialize(nullptr, 1, 0x0401, 0, &success));
    ASSERT_EQ(1, success);
    ::FreeLibrary(module_);
    EXPECT_EQ(module_, ::GetModuleHandleA(copy_.dllPath().c_str())) << "the worker's reference";
    ASSERT_EQ(module_, ::LoadLibraryA(copy_.dllPath().c_str()));
    EXPECT_EQ(S_OK, addin->OnUninitialize());
    addin.reset();
    classFactory.reset();
    ::FreeLibrary(module_);
    module_ = nullptr;
    for (int i = 0; i < 500 && ::GetModuleHandleA(copy_.dllPath().c_str()); ++i) ::Sleep(10);
    EXPECT_EQ(nullptr, ::GetModuleHandleA(copy_.dllPath().c_str())) << "the worker gave its reference back";
}

TEST_F(LoadedAddin, CarriesItsNameVersionAndExportedNames) {
    // An engine built against the exported classes links these names.
    for (const char* name : {"_ZN6Repeat13setDayPatternEPi", "_ZNK6Repeat13getDayPatternEPi"})
        EXPECT_NE(nullptr, procedure<void (*)()>(module_, name)) << name;
    char name[32] = {};
    EXPECT_EQ(8, ::LoadStringA(module_, 100, name, sizeof name));
    EXPECT_STREQ("Brannock", name);

    std::vector<char> block(::GetFileVersionInfoSizeA(copy_.dllPath().c_str(), nullptr));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(::GetFileVersionInfoA(copy_.dllPath().c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    void* found = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", &found, &length));
    const auto* fixed = static_cast<VS_FIXEDFILEINFO*>(found);
    EXPECT_EQ(MAKELONG(1, 7), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(111, 0), fixed->dwFileVersionLS);
    EXPECT_TRUE(fixed->dwFileVersionMS == fixed->dwProductVersionMS &&
                fixed->dwFileVersionLS == fixed->dwProductVersionLS);
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &found, &length));
    EXPECT_EQ(MAKELONG(0x0409, 1252), *static_cast<DWORD*>(found));
    const std::pair<const char*, const char*> strings[] = {
        {"FileDescription", "BRANNOCK module"}, {"InternalName", "BRANNOCK"}, {"OriginalFilename", "Brannock.dll"},
        {"FileVersion", "7.1.0.111"},           {"ProductVersion", "7.1.0.111"}};
    for (const auto& [key, value] : strings) {
        const std::string path = std::string("\\StringFileInfo\\040904e4\\") + key;
        ASSERT_TRUE(::VerQueryValueA(block.data(), path.c_str(), &found, &length)) << key;
        EXPECT_STREQ(value, static_cast<const char*>(found));
    }
}

// ---- Registration ----------------------------------------------------------

bool keyExists(const std::string& path) {
    win::UniqueRegKey key;
    return ::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// Every value in and below the key `path` of HKEY_CLASSES_ROOT as
// "KEY\NAME=DATA" ("@" names the default value; DATA of REG_SZ values
// only), and every key without values as "KEY"; sorted, empty when the key
// is missing.
std::vector<std::string> registryLines(const std::string& path) {
    std::vector<std::string> lines;
    win::UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return lines;
    char name[MAX_PATH], data[MAX_PATH * 2];
    DWORD size = MAX_PATH, dataSize = sizeof data, type = 0;
    for (DWORD i = 0; ::RegEnumValueA(key.get(), i, name, &size, nullptr, &type, reinterpret_cast<BYTE*>(data),
                                      &dataSize) == ERROR_SUCCESS;
         ++i, size = MAX_PATH, dataSize = sizeof data)
        lines.push_back(path + "\\" + (*name ? name : "@") + "=" + (type == REG_SZ ? data : "?"));
    if (lines.empty()) lines.push_back(path);
    for (DWORD i = 0; size = MAX_PATH,
               ::RegEnumKeyExA(key.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i) {
        const std::vector<std::string> below = registryLines(path + "\\" + name);
        lines.insert(lines.end(), below.begin(), below.end());
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

void expectClassRegistered(const std::string& dll) {
    const std::string cls = std::string("CLSID\\") + kClassId, progId = "Brannock.BrannockAddin";
    const std::string name = "Brannock Addin Class";
    const std::pair<std::string, std::vector<std::string>> trees[] = {
        {progId + ".1", {progId + ".1\\@=" + name, progId + ".1\\CLSID\\@=" + kClassId}},
        {progId,
         {progId + "\\@=" + name, progId + "\\CLSID\\@=" + kClassId, progId + "\\CurVer\\@=" + progId + ".1"}},
        {cls,
         {cls + "\\@=" + name, cls + "\\InprocServer32\\@=" + dll,
          cls + "\\InprocServer32\\ThreadingModel=Apartment", cls + "\\ProgID\\@=" + progId + ".1",
          cls + "\\Programmable", cls + "\\TypeLib\\@=" + kTypeLibrary,
          cls + "\\VersionIndependentProgID\\@=" + progId}},
    };
    for (const auto& [path, expected] : trees) EXPECT_EQ(expected, registryLines(path));
    EXPECT_TRUE(keyExists(std::string("TypeLib\\") + kTypeLibrary + "\\1.0"));
}

void expectNothingRegistered() {
    for (const std::string& path : {std::string("Brannock.BrannockAddin.1"), std::string("Brannock.BrannockAddin"),
                                   std::string("CLSID\\") + kClassId, std::string("TypeLib\\") + kTypeLibrary})
        EXPECT_FALSE(keyExists(path)) << path;
    EXPECT_TRUE(keyExists("CLSID"));
}

// ---- Palm Desktop's add-in list, stood in for in this process --------------

const CLSID CLSID_AddinList = {0xBE44897A, 0xEB38, 0x11D5, {0x82, 0x3F, 0x00, 0xC0, 0x4F, 0xA0, 0x37, 0x55}};
const IID IID_AddinList = {0xBE448979, 0xEB38, 0x11D5, {0x82, 0x3F, 0x00, 0xC0, 0x4F, 0xA0, 0x37, 0x55}};
const IID IID_AddinEntry = {0x5DBF9006, 0xEE9F, 0x11D5, {0x82, 0x41, 0x00, 0xC0, 0x4F, 0xA0, 0x37, 0x55}};

// Every call of the list's add (slot 17) and find (slot 19) and of an
// entry's remove (slot 17): "find ID", "add ID NAME", "remove ID", ending
// " failed" when `failingCall` names the method, which then answers E_FAIL.
std::string listLog, failingCall;
std::set<std::string> listed;  // the ids added and not removed since

HRESULT logCall(const std::string& method, const std::string& arguments) {
    const bool fail = failingCall == method;
    listLog += method + " " + arguments + (fail ? " failed\n" : "\n");
    return fail ? E_FAIL : S_OK;
}

std::string narrow(BSTR text) { return std::string(text, text + ::SysStringLen(text)); }

#define UNUSED_SLOT(n) \
    virtual HRESULT STDMETHODCALLTYPE unused##n() { return E_NOTIMPL; }

// IDispatch without type information, with the slots 7 to 16 that the
// add-in does not call: the base of the list and its entries.
template <typename Derived, const IID& interfaceId>
class Dispatch : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        const bool known = riid == IID_IUnknown || riid == IID_IDispatch || riid == interfaceId;
        *ppv = known ? this : nullptr;
        if (known) AddRef();
        return known ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG count = --references_;
        if (count == 0) delete static_cast<Derived*>(this);
        return count;
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
    ULONG references_ = 1;
};

class AddinEntry final : public Dispatch<AddinEntry, IID_AddinEntry> {
public:
    explicit AddinEntry(std::string id) : id_(std::move(id)) {}
    virtual HRESULT STDMETHODCALLTYPE remove() {
        const HRESULT hr = logCall("remove", id_);
        if (SUCCEEDED(hr)) listed.erase(id_);
        return hr;
    }

private:
    std::string id_;
};

class AddinList final : public Dispatch<AddinList, IID_AddinList> {
public:
    virtual HRESULT STDMETHODCALLTYPE add(BSTR id, BSTR name, IDispatch** entry) {
        const HRESULT hr = logCall("add", narrow(id) + " " + narrow(name));
        if (SUCCEEDED(hr)) listed.insert(narrow(id));
        *entry = SUCCEEDED(hr) ? new AddinEntry(narrow(id)) : nullptr;
        return hr;
    }
    UNUSED_SLOT(18)
    virtual HRESULT STDMETHODCALLTYPE find(BSTR id, IDispatch** entry) {
        const HRESULT hr = logCall("find", narrow(id));
        *entry = SUCCEEDED(hr) && listed.count(narrow(id)) ? new AddinEntry(narrow(id)) : nullptr;
        return hr;
    }
};

// The list's class object, registered for this thread's apartment while
// the object lives; the log and the list start empty.
class AddinListStandin final : public IClassFactory {
public:
    AddinListStandin() {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        EXPECT_EQ(S_OK, ::CoRegisterClassObject(CLSID_AddinList, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                                &cookie_));
        listLog.clear();
        listed.clear();
    }
    ~AddinListStandin() {
        ::CoRevokeClassObject(cookie_);
        ::CoUninitialize();
        failingCall.clear();
    }
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        const bool known = riid == IID_IUnknown || riid == IID_IClassFactory;
        *ppv = known ? this : nullptr;
        return known ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown*, REFIID riid, void** ppv) override {
        AddinList* list = new AddinList();
        const HRESULT hr = list->QueryInterface(riid, ppv);
        list->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    DWORD cookie_ = 0;
};

/// Loads `copy`, calls its DllRegisterServer (DllUnregisterServer when
/// `unregister`) and unloads it again.
HRESULT registerCopy(const DllCopy& copy, bool unregister = false) {
    const HMODULE module = ::LoadLibraryA(copy.dllPath().c_str());
    const HRESULT hr = procedure<EntryPoint>(module, unregister ? "DllUnregisterServer" : "DllRegisterServer")();
    ::FreeLibrary(module);
    return hr;
}

// The log lines of the three calls for the test's class identifier.
const std::string findCall = std::string("find ") + kClassId + "\n";
const std::string addCall = std::string("add ") + kClassId + " Brannock Addin\n";
const std::string removeCall = std::string("remove ") + kClassId + "\n";

TEST(Registration, WritesExactlyTheClassKeysRewritesThemAndKeepsTheAddinListCurrent) {
    DllCopy copy("{6a7b8c9d-0e1f-4a2b-8c3d-4e5f6a7b8c9d}");  // read in lower case, written in upper
    ASSERT_EQ(S_OK, registerCopy(copy)) << "without Palm Desktop's add-in list";
    expectClassRegistered(copy.dllPath());

    AddinListStandin list;
    ASSERT_EQ(S_OK, registerCopy(copy));
    EXPECT_EQ(findCall + addCall, listLog);
    ::RegSetValueA(HKEY_CLASSES_ROOT, (std::string("CLSID\\") + kClassId + "\\Stray").c_str(), REG_SZ, "x", 1);
    ASSERT_EQ(S_OK, registerCopy(copy));
    expectClassRegistered(copy.dllPath());
    const std::string registeredTwice = findCall + addCall + findCall + removeCall + addCall;
    EXPECT_EQ(registeredTwice, listLog);

    ASSERT_EQ(S_OK, registerCopy(copy, true));
    expectNothingRegistered();
    EXPECT_EQ(registeredTwice + findCall + removeCall, listLog);
    EXPECT_NE(S_OK, registerCopy(copy, true)) << "nothing to unregister";
    EXPECT_EQ(registeredTwice + findCall + removeCall, listLog) << "a failed COM step skips the list";
}

TEST(Registration, AFailingListCallEndsTheListStepQuietly) {
    DllCopy copy(kClassId);
    AddinListStandin list;
    failingCall = "find";
    ASSERT_EQ(S_OK, registerCopy(copy));
    EXPECT_EQ("find " + std::string(kClassId) + " failed\n", listLog);
    expectClassRegistered(copy.dllPath());

    failingCall.clear();
    ASSERT_EQ(S_OK, registerCopy(copy));
    failingCall = "remove";
    ASSERT_EQ(S_OK, registerCopy(copy));
    EXPECT_EQ("find " + std::string(kClassId) + " failed\n" + findCall + addCall + findCall + "remove " + kClassId +
                  " failed\n",
              listLog);
    failingCall.clear();
    ASSERT_EQ(S_OK, registerCopy(copy, true));
}

// This thread has not initialised COM, and the DLL's path holds an
// apostrophe, which the registration script quotes with.
TEST(Registration, WorksWithoutComAndFromAPathWithAnApostrophe) {
    DllCopy copy(kClassId, {}, "brannock's-");
    HMODULE module = ::LoadLibraryA(copy.dllPath().c_str());
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(S_OK, procedure<EntryPoint>(module, "DllRegisterServer")());
    expectClassRegistered(copy.dllPath());

    // A second copy's object takes its type information from the library
    // registered by the first, which the cache hands out as one object.
    DllCopy other(kClassId);
    HMODULE otherModule = ::LoadLibraryA(other.dllPath().c_str());
    ASSERT_NE(nullptr, otherModule);
    {
        win::ComPtr<IClassFactory> factory;
        ASSERT_EQ(S_OK, procedure<GetClassObject>(otherModule, "DllGetClassObject")(
                            CLSID_BrannockAddin, IID_IClassFactory, factory.putVoid()));
        win::ComPtr<IDispatch> addin;
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IDispatch, addin.putVoid()));
        win::ComPtr<ITypeInfo> info;
        ASSERT_EQ(S_OK, addin->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put()));
        win::ComPtr<ITypeLib> used, registered;
        UINT index = 0;
        ASSERT_EQ(S_OK, info->GetContainingTypeLib(used.put(), &index));
        ASSERT_EQ(S_OK, ::LoadRegTypeLib(LIBID_BrannockAddinLib, 1, 0, 0x0409, registered.put()));
        EXPECT_EQ(registered.get(), used.get());
    }
    ::FreeLibrary(otherModule);
    EXPECT_EQ(S_OK, procedure<EntryPoint>(module, "DllUnregisterServer")());
    expectNothingRegistered();
    ::FreeLibrary(module);
}

}  // namespace
