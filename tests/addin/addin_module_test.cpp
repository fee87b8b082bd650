// Brannock.dll as a COM in-process server: loaded from a copy with its own
// configuration, its class object served under the configured and the
// built-in identifiers, its object's interfaces, resources and the module's
// lock.

#include <windows.h>
#include <cguid.h>
#include <oleauto.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "addin/brannock_addin_idl.h"
#include "dll_copy.h"
#include "win/com_ptr.h"

namespace {

const CLSID kConfigured = {0x6A7B8C9D, 0x0E1F, 0x4A2B, {0x8C, 0x3D, 0x4E, 0x5F, 0x6A, 0x7B, 0x8C, 0x9D}};
const CLSID kThird = {0x00000000, 0x1111, 0x2222, {0x33, 0x33, 0x44, 0x44, 0x44, 0x44, 0x44, 0x44}};

using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();

class LoadedAddin : public ::testing::Test {
protected:
    void SetUp() override {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        module_ = ::LoadLibraryA(copy_.dllPath().c_str());
        ASSERT_NE(nullptr, module_);
        getClassObject_ = procedure<GetClassObject>(module_, "DllGetClassObject");
        canUnloadNow_ = procedure<CanUnloadNow>(module_, "DllCanUnloadNow");
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

    DllCopy copy_{"{6A7B8C9D-0E1F-4A2B-8C3D-4E5F6A7B8C9D}"};
    HMODULE module_ = nullptr;
    GetClassObject getClassObject_ = nullptr;
    CanUnloadNow canUnloadNow_ = nullptr;
};

TEST_F(LoadedAddin, ServesTheClassUnderTheConfiguredAndTheBuiltInIdentifierOnly) {
    HRESULT hr = E_FAIL;
    for (const CLSID& id : {kConfigured, CLSID_BrannockAddin}) {
        EXPECT_TRUE(factory(id, &hr));
        EXPECT_EQ(S_OK, hr);
    }
    void* out = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject_(kThird, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_POINTER, getClassObject_(CLSID_BrannockAddin, IID_IClassFactory, nullptr));
    out = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(E_NOINTERFACE, getClassObject_(CLSID_BrannockAddin, IID_IDispatch, &out));
    EXPECT_EQ(nullptr, out);
}

TEST_F(LoadedAddin, AnObjectOrAHeldFactoryKeepsTheModuleLoaded) {
    EXPECT_EQ(S_OK, canUnloadNow_());
    win::ComPtr<IClassFactory> classFactory = factory(kConfigured);
    ASSERT_TRUE(classFactory);
    EXPECT_EQ(S_FALSE, canUnloadNow_());
    win::ComPtr<IDesktopAddin> addin;
    ASSERT_EQ(S_OK, classFactory->CreateInstance(nullptr, IID_IDesktopAddin, addin.putVoid()));
    classFactory.reset();
    EXPECT_EQ(S_FALSE, canUnloadNow_());
    addin.reset();
    EXPECT_EQ(S_OK, canUnloadNow_());

    classFactory = factory(CLSID_BrannockAddin);
    ASSERT_TRUE(classFactory);
    EXPECT_EQ(S_OK, classFactory->LockServer(TRUE));
    classFactory.reset();
    EXPECT_EQ(S_FALSE, canUnloadNow_()) << "a server lock keeps the module loaded";
    classFactory = factory(CLSID_BrannockAddin);
    EXPECT_EQ(S_OK, classFactory->LockServer(FALSE));
    classFactory.reset();
    EXPECT_EQ(S_OK, canUnloadNow_());
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

// An engine built against the exported classes links these names.
TEST_F(LoadedAddin, ExportsTheRecurrenceDayPatternWithPlainIntPointers) {
    for (const char* name : {"_ZN6Repeat13setDayPatternEPi", "_ZNK6Repeat13getDayPatternEPi"})
        EXPECT_NE(nullptr, procedure<void (*)()>(module_, name)) << name;
}

TEST_F(LoadedAddin, ObjectDispatchesThroughTheTypeLibraryAndCanBeAggregatedOnlyAsIUnknown) {
    win::ComPtr<IClassFactory> classFactory = factory(CLSID_BrannockAddin);
    ASSERT_TRUE(classFactory);
    win::ComPtr<IDesktopAddin> addin;
    ASSERT_EQ(S_OK, classFactory->CreateInstance(nullptr, IID_IDesktopAddin, addin.putVoid()));
    win::ComPtr<IDispatch> dispatch = addin.query<IDispatch>(IID_IDispatch);
    EXPECT_EQ(static_cast<IDispatch*>(addin.get()), dispatch.get());
    EXPECT_FALSE(addin.query<IClassFactory>(IID_IClassFactory));

    wchar_t name[] = L"GetFrameworkVersion";
    LPOLESTR names[] = {name};
    DISPID id = 0;
    ASSERT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    EXPECT_EQ(3, id);
    LONG version = 0;
    VARIANT argument;
    ::VariantInit(&argument);
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
    win::ComPtr<IDesktopAddin> addin;
    ASSERT_EQ(S_OK, classFactory->CreateInstance(nullptr, IID_IDesktopAddin, addin.putVoid()));
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

std::string versionString(const std::vector<char>& block, const char* name) {
    char* text = nullptr;
    UINT length = 0;
    std::string path = std::string("\\StringFileInfo\\040904e4\\") + name;
    if (!::VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&text), &length)) return "<missing>";
    return text;
}

TEST_F(LoadedAddin, CarriesItsNameAndVersion) {
    char name[32] = {};
    EXPECT_EQ(8, ::LoadStringA(module_, 100, name, sizeof name));
    EXPECT_STREQ("Brannock", name);

    std::vector<char> block(::GetFileVersionInfoSizeA(copy_.dllPath().c_str(), nullptr));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(::GetFileVersionInfoA(copy_.dllPath().c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(MAKELONG(1, 7), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(111, 0), fixed->dwFileVersionLS);
    EXPECT_TRUE(fixed->dwFileVersionMS == fixed->dwProductVersionMS &&
                fixed->dwFileVersionLS == fixed->dwProductVersionLS);
    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                                 &length));
    EXPECT_EQ(MAKELONG(0x0409, 1252), *reinterpret_cast<DWORD*>(translation));
    const std::pair<const char*, const char*> strings[] = {
        {"FileDescription", "BRANNOCK module"}, {"InternalName", "BRANNOCK"}, {"OriginalFilename", "Brannock.dll"},
        {"FileVersion", "7.1.0.111"},           {"ProductVersion", "7.1.0.111"}};
    for (const auto& [key, value] : strings) EXPECT_EQ(value, versionString(block, key)) << key;
}

}  // namespace
