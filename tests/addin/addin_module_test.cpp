// Brannock.dll as a COM server, loaded from copies with their own configuration:
// class objects, the object, the module's lock, resources, and registration.

#include <windows.h>
#include <cguid.h>
#include <oleauto.h>
#include <shlwapi.h>
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
constexpr char kSiblingClassKey[] = "SOFTWARE\\Classes\\CLSID\\{7A1C0DE5-0000-4000-8000-00000000E2E0}";

using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using EntryPoint = HRESULT(STDAPICALLTYPE*)();

/// The class factory of `id` from `module`'s DllGetClassObject, which must answer S_OK.
win::ComPtr<IClassFactory> factoryOf(HMODULE module, const CLSID& id) {
    win::ComPtr<IClassFactory> factory;
    EXPECT_EQ(S_OK, procedure<GetClassObject>(module, "DllGetClassObject")(id, IID_IClassFactory, factory.putVoid()));
    return factory;
}

bool keyExists(const std::string& path, HKEY root = HKEY_CLASSES_ROOT) {
    win::UniqueRegKey key;
    return ::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

/// A loaded copy of the DLL (naming a sibling in lower case); COM initialised.
class LoadedAddin : public ::testing::Test {
protected:
    void SetUp() override {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_NE(nullptr, module_);
        ASSERT_TRUE(getClassObject_ && canUnloadNow_);
    }
    void TearDown() override {
        if (module_) ::FreeLibrary(module_);
        ::CoUninitialize();
    }

    DllCopy copy_{kClassId, "Tarnwick.dll={7a1c0de5-0000-4000-8000-00000000e2e0}\r\n"};
    HMODULE module_ = ::LoadLibraryA(copy_.dllPath().c_str());
    GetClassObject getClassObject_ = procedure<GetClassObject>(module_, "DllGetClassObject");
    EntryPoint canUnloadNow_ = procedure<EntryPoint>(module_, "DllCanUnloadNow");
};

// The class is served under the configured and the built-in identifier only;
// a held factory, an object or a server lock keeps the module loaded.
TEST_F(LoadedAddin, ServesItsClassStaysLoadedWhileUsedAndCarriesItsNameAndVersion) {
    const std::tuple<CLSID, IID, HRESULT> refused[] = {{kThird, IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
                                                       {CLSID_BrannockAddin, IID_IDispatch, E_NOINTERFACE}};
    for (const auto& [id, iid, expected] : refused) {
        void* out = reinterpret_cast<void*>(0x1);
        EXPECT_EQ(expected, getClassObject_(id, iid, &out));
        EXPECT_EQ(nullptr, out);
    }
    EXPECT_EQ(E_POINTER, getClassObject_(CLSID_BrannockAddin, IID_IClassFactory, nullptr));
    EXPECT_EQ(S_OK, canUnloadNow_());
    EXPECT_TRUE(factoryOf(module_, CLSID_BrannockAddin));
    win::ComPtr<IClassFactory> classFactory = factoryOf(module_, kConfigured);
    ASSERT_TRUE(classFactory);
    EXPECT_EQ(S_FALSE, canUnloadNow_());
    win::ComPtr<IDesktopAddin> addin;
    EXPECT_EQ(S_OK, classFactory->CreateInstance(nullptr, IID_IDesktopAddin, addin.putVoid()));
    {
        // It dispatches through its type library and is aggregated only as IUnknown.
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
        EXPECT_EQ(S_OK, dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                                         nullptr, nullptr));
        EXPECT_EQ(2, version);
        void* refusedOuter = nullptr;
        win::ComPtr<IUnknown> inner;
        EXPECT_EQ(CLASS_E_NOAGGREGATION,
                  classFactory->CreateInstance(dispatch.get(), IID_IDesktopAddin, &refusedOuter));
        ASSERT_EQ(S_OK, classFactory->CreateInstance(dispatch.get(), IID_IUnknown, inner.putVoid()));
        EXPECT_TRUE(inner.query<IDesktopAddin>(IID_IDesktopAddin));
    }
    classFactory.reset();
    EXPECT_EQ(S_FALSE, canUnloadNow_());
    addin.reset();
    EXPECT_EQ(S_OK, canUnloadNow_());
    for (const BOOL lock : {TRUE, FALSE}) {
        EXPECT_EQ(S_OK, factoryOf(module_, CLSID_BrannockAddin)->LockServer(lock));
        EXPECT_EQ(lock ? S_FALSE : S_OK, canUnloadNow_()) << "a server lock keeps the module loaded";
    }

    // An engine built against the exported classes links these names.
    for (const char* name : {"_ZN6Repeat13setDayPatternEPi", "_ZNK6Repeat13getDayPatternEPi"})
        EXPECT_NE(nullptr, procedure<void (*)()>(module_, name)) << name;
    char name[32] = {};
    EXPECT_EQ(8, ::LoadStringA(module_, 100, name, sizeof name));
    EXPECT_STREQ("Brannock", name);

    std::vector<char> block(::GetFileVersionInfoSizeA(copy_.dllPath().c_str(), nullptr));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(::GetFileVersionInfoA(copy_.dllPath().c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    auto value = [&](const std::string& path) {
        void* found = nullptr;
        UINT length = 0;
        EXPECT_TRUE(::VerQueryValueA(block.data(), path.c_str(), &found, &length)) << path;
        return found;
    };
    const auto* fixed = static_cast<VS_FIXEDFILEINFO*>(value("\\"));
    ASSERT_TRUE(fixed);
    EXPECT_EQ(MAKELONG(1, 7), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(111, 0), fixed->dwFileVersionLS);
    EXPECT_TRUE(fixed->dwFileVersionMS == fixed->dwProductVersionMS &&
                fixed->dwFileVersionLS == fixed->dwProductVersionLS);
    EXPECT_EQ(MAKELONG(0x0409, 1252), *static_cast<DWORD*>(value("\\VarFileInfo\\Translation")));
    const std::pair<const char*, const char*> strings[] = {
        {"FileDescription", "BRANNOCK module"}, {"InternalName", "BRANNOCK"}, {"OriginalFilename", "Brannock.dll"},
        {"FileVersion", "7.1.0.111"},           {"ProductVersion", "7.1.0.111"}};
    for (const auto& [key, expected] : strings)
        EXPECT_STREQ(expected, static_cast<const char*>(value(std::string("\\StringFileInfo\\040904e4\\") + key)));
}

// The worker sleeps ten seconds, then sees the stop, and gives back its own
// module reference as its last act; OnUninitialize removes the sibling's marker.
TEST_F(LoadedAddin, AWorkerStartsAfterItsDelayAndKeepsTheModuleLoadedUntilItHasEnded) {
    win::ComPtr<IDesktopAddin> addin;
    ASSERT_EQ(S_OK, factoryOf(module_, kConfigured)->CreateInstance(nullptr, IID_IDesktopAddin, addin.putVoid()));
    const std::string path = copy_.dllPath(), marker = std::string(kSiblingClassKey) + "\\Palm AddIn";
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueA(HKEY_LOCAL_MACHINE, marker.c_str(), REG_SZ, "", 0));
    const DWORD start = ::GetTickCount();
    LONG success = 0;
    ASSERT_EQ(S_OK, addin->OnInitialize(nullptr, 1, 0x0401, 0, &success));
    ASSERT_EQ(1, success);
    ::FreeLibrary(module_);
    EXPECT_EQ(module_, ::GetModuleHandleA(path.c_str())) << "the worker's reference";
    ASSERT_EQ(module_, ::LoadLibraryA(path.c_str()));
    EXPECT_EQ(S_OK, addin->OnUninitialize());
    EXPECT_GE(::GetTickCount() - start, 9900u) << "the worker saw the stop only after its delay";
    EXPECT_FALSE(keyExists(marker, HKEY_LOCAL_MACHINE));
    EXPECT_TRUE(keyExists(kSiblingClassKey, HKEY_LOCAL_MACHINE));
    ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kSiblingClassKey);
    addin.reset();
    ::FreeLibrary(module_);
    module_ = nullptr;
    for (int i = 0; i < 500 && ::GetModuleHandleA(path.c_str()); ++i) ::Sleep(10);
    EXPECT_EQ(nullptr, ::GetModuleHandleA(path.c_str())) << "the worker gave its reference back";
    EXPECT_LT(::GetTickCount() - start, 11000u);
}

// ---- Registration ----------------------------------------------------------

// Every value in and below HKEY_CLASSES_ROOT\`path` as "KEY\NAME=DATA" ("@" the
// default, DATA of REG_SZ only), and each key without values as "KEY"; sorted.
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
}

// ---- Palm Desktop's add-in list, stood in for in this process --------------

const CLSID CLSID_AddinList = {0xBE44897A, 0xEB38, 0x11D5, {0x82, 0x3F, 0x00, 0xC0, 0x4F, 0xA0, 0x37, 0x55}};
const IID IID_AddinList = {0xBE448979, 0xEB38, 0x11D5, {0x82, 0x3F, 0x00, 0xC0, 0x4F, 0xA0, 0x37, 0x55}};

// The add-in calls the list's add (slot 17) and find (19) and an entry's remove
// (17), logged as "add ID NAME" etc.; `failingCall` names one that fails.
std::string listLog, failingCall;
std::set<std::string> listed;  // the ids added and not removed since

HRESULT logCall(const std::string& method, const std::string& arguments) {
    const bool fail = failingCall == method;
    listLog += method + " " + arguments + (fail ? " failed\n" : "\n");
    return fail ? E_FAIL : S_OK;
}

std::string narrow(BSTR text) { return std::string(text, text + ::SysStringLen(text)); }

/// The list or one of its entries (`id`), held by the add-in alone.
struct ListObject {
    const void* const* vtable;
    std::string id;
};

ULONG STDMETHODCALLTYPE releaseObject(ListObject* self) {
    delete self;
    return 0;
}

/// A vtable of 20 slots: Release (the one IUnknown method the add-in calls)
/// and `methods` (slot, function).
template <typename... Methods>
std::vector<const void*> vtable(std::pair<int, Methods>... methods) {
    std::vector<const void*> table(20);
    table[2] = reinterpret_cast<const void*>(&releaseObject);
    ((table[methods.first] = reinterpret_cast<const void*>(methods.second)), ...);
    return table;
}

HRESULT STDMETHODCALLTYPE removeEntry(ListObject* entry) {
    const HRESULT hr = logCall("remove", entry->id);
    if (SUCCEEDED(hr)) listed.erase(entry->id);
    return hr;
}
const std::vector<const void*> entryTable = vtable(std::pair(17, &removeEntry));

HRESULT STDMETHODCALLTYPE addEntry(ListObject*, BSTR id, BSTR name, ListObject** entry) {
    const HRESULT hr = logCall("add", narrow(id) + " " + narrow(name));
    if (SUCCEEDED(hr)) listed.insert(narrow(id));
    *entry = SUCCEEDED(hr) ? new ListObject{entryTable.data(), narrow(id)} : nullptr;
    return hr;
}
HRESULT STDMETHODCALLTYPE findEntry(ListObject*, BSTR id, ListObject** entry) {
    const HRESULT hr = logCall("find", narrow(id));
    *entry = SUCCEEDED(hr) && listed.count(narrow(id)) ? new ListObject{entryTable.data(), narrow(id)} : nullptr;
    return hr;
}
const std::vector<const void*> listTable = vtable(std::pair(17, &addEntry), std::pair(19, &findEntry));

/// The list's class object, registered for this thread while it lives.
struct AddinListStandin final : IClassFactory {
    AddinListStandin() {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        EXPECT_EQ(S_OK, ::CoRegisterClassObject(CLSID_AddinList, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                                &cookie));
    }
    ~AddinListStandin() { ::CoRevokeClassObject(cookie), ::CoUninitialize(); }
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        *ppv = riid == IID_IUnknown || riid == IID_IClassFactory ? this : nullptr;
        return *ppv ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown*, REFIID riid, void** ppv) override {
        *ppv = riid == IID_AddinList ? new ListObject{listTable.data(), {}} : nullptr;
        return *ppv ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
    DWORD cookie = 0;
};

/// Loads `copy` for one call of DllRegisterServer (DllUnregisterServer).
HRESULT registerCopy(const DllCopy& copy, bool unregister = false) {
    const HMODULE module = ::LoadLibraryA(copy.dllPath().c_str());
    const HRESULT hr = procedure<EntryPoint>(module, unregister ? "DllUnregisterServer" : "DllRegisterServer")();
    ::FreeLibrary(module);
    return hr;
}

// Without a usable configuration the class identifier is the null one, and DllGetClassObject serves the class under
// it: beside a configuration that names no identifier, and beside none.
TEST(UnconfiguredAddin, ServesItsClassUnderTheNullIdentifier) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    for (const bool missing : {false, true}) {
        DllCopy copy("not a class identifier");
        if (missing) std::filesystem::remove(copy.folder().file("conn_install.cfg"));
        const HMODULE module = ::LoadLibraryA(copy.dllPath().c_str());
        ASSERT_NE(nullptr, module);
        {
            const win::ComPtr<IClassFactory> factory = factoryOf(module, GUID_NULL);
            win::ComPtr<IDesktopAddin> addin;
            ASSERT_TRUE(factory) << "missing: " << missing;
            EXPECT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IDesktopAddin, addin.putVoid()));
        }
        ::FreeLibrary(module);
    }
    ::CoUninitialize();
}

// The identifier is read in lower case and written in upper; the DLL's path
// holds an apostrophe, which the registration script quotes with.
TEST(Registration, WritesExactlyTheClassKeysRewritesThemAndKeepsTheAddinListCurrent) {
    DllCopy copy("{6a7b8c9d-0e1f-4a2b-8c3d-4e5f6a7b8c9d}", {}, "brannock's-");
    ASSERT_EQ(S_OK, registerCopy(copy)) << "without COM on this thread and without Palm Desktop's add-in list";
    expectClassRegistered(copy.dllPath());
    // A second copy's object takes its type information from the registered library.
    DllCopy other(kClassId);
    const HMODULE otherModule = ::LoadLibraryA(other.dllPath().c_str());
    {
        win::ComPtr<IDispatch> addin;
        win::ComPtr<ITypeInfo> info;
        win::ComPtr<ITypeLib> used, registered;
        UINT index = 0;
        EXPECT_EQ(S_OK, factoryOf(otherModule, CLSID_BrannockAddin)->CreateInstance(nullptr, IID_IDispatch,
                                                                                    addin.putVoid()));
        EXPECT_EQ(S_OK, addin->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put()));
        EXPECT_EQ(S_OK, info->GetContainingTypeLib(used.put(), &index));
        EXPECT_EQ(S_OK, ::LoadRegTypeLib(LIBID_BrannockAddinLib, 1, 0, 0x0409, registered.put()));
        EXPECT_EQ(registered.get(), used.get());
    }
    ::FreeLibrary(otherModule);

    AddinListStandin list;
    const std::string id = kClassId, find = "find " + id + "\n", remove = "remove " + id + "\n";
    const std::string add = "add " + id + " Brannock Addin\n";
    for (const char* failing : {"find", "", "remove", ""}) {
        failingCall = failing;
        if (failingCall == "remove")
            ::RegSetValueA(HKEY_CLASSES_ROOT, ("CLSID\\" + id + "\\Stray").c_str(), REG_SZ, "x", 1);
        ASSERT_EQ(S_OK, registerCopy(copy)) << "a failing list call ends the list step quietly";
    }
    expectClassRegistered(copy.dllPath());
    std::string log = "find " + id + " failed\n" + find + add + find + "remove " + id + " failed\n";
    log += find + remove + add;
    EXPECT_EQ(log, listLog);

    ASSERT_EQ(S_OK, registerCopy(copy, true));
    for (const std::string& path : {std::string("Brannock.BrannockAddin.1"), std::string("Brannock.BrannockAddin"),
                                    "CLSID\\" + id, std::string("TypeLib\\") + kTypeLibrary})
        EXPECT_FALSE(keyExists(path)) << path;
    EXPECT_TRUE(keyExists("CLSID"));
    log += find + remove;
    EXPECT_EQ(log, listLog);
    EXPECT_NE(S_OK, registerCopy(copy, true)) << "nothing to unregister";
    EXPECT_EQ(log, listLog) << "a failed COM step skips the list";
}

}  // namespace
