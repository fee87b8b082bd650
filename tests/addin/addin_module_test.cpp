// Brannock.dll as a COM in-process server: loaded from a copy with its own
// configuration, its class object served under the configured and the
// built-in identifiers, its object's interfaces and the module's lock.

#include <windows.h>
#include <cguid.h>
#include <oleauto.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "addin/brannock_addin_idl.h"
#include "dll_copy.h"
#include "win/com_ptr.h"

namespace {

constexpr char kConfigured[] = "{6A7B8C9D-0E1F-4A2B-8C3D-4E5F6A7B8C9D}";

using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();

CLSID parse(const char* text) {
    CLSID id = GUID_NULL;
    std::wstring wide(text, text + std::strlen(text));
    ::CLSIDFromString(wide.c_str(), &id);
    return id;
}

class LoadedAddin : public ::testing::Test {
protected:
    void SetUp() override {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        module_ = ::LoadLibraryA(copy_.dllPath().c_str());
        ASSERT_NE(nullptr, module_);
        getClassObject_ = procedure<GetClassObject>(module_, "DllGetClassObject");
        canUnloadNow_ = procedure<CanUnloadNow>(module_, "DllCanUnloadNow");
        ASSERT_NE(nullptr, getClassObject_);
        ASSERT_NE(nullptr, canUnloadNow_);
    }
    void TearDown() override {
        if (module_) ::FreeLibrary(module_);
        ::CoUninitialize();
    }

    win::ComPtr<IClassFactory> factory(const CLSID& id, HRESULT* hr) {
        win::ComPtr<IClassFactory> result;
        *hr = getClassObject_(id, IID_IClassFactory, result.putVoid());
        return result;
    }

    DllCopy copy_{kConfigured};
    HMODULE module_ = nullptr;
    GetClassObject getClassObject_ = nullptr;
    CanUnloadNow canUnloadNow_ = nullptr;
};

TEST_F(LoadedAddin, ServesTheClassUnderTheConfiguredAndTheBuiltInIdentifierOnly) {
    HRESULT hr = E_FAIL;
    EXPECT_TRUE(factory(parse(kConfigured), &hr));
    EXPECT_EQ(S_OK, hr);
    EXPECT_TRUE(factory(CLSID_BrannockAddin, &hr));
    EXPECT_EQ(S_OK, hr);

    void* third = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE,
              getClassObject_(parse("{00000000-1111-2222-3333-444444444444}"), IID_IClassFactory, &third));
    EXPECT_EQ(nullptr, third);
    EXPECT_EQ(E_POINTER, getClassObject_(CLSID_BrannockAddin, IID_IClassFactory, nullptr));
    void* wrong = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(E_NOINTERFACE, getClassObject_(CLSID_BrannockAddin, IID_IDispatch, &wrong));
    EXPECT_EQ(nullptr, wrong);
}

TEST_F(LoadedAddin, AnObjectOrAHeldFactoryKeepsTheModuleLoaded) {
    EXPECT_EQ(S_OK, canUnloadNow_());
    HRESULT hr = E_FAIL;
    win::ComPtr<IClassFactory> classFactory = factory(parse(kConfigured), &hr);
    ASSERT_TRUE(classFactory);
    EXPECT_EQ(S_FALSE, canUnloadNow_());

    win::ComPtr<IDesktopAddin> addin;
    ASSERT_EQ(S_OK, classFactory->CreateInstance(nullptr, IID_IDesktopAddin, addin.putVoid()));
    classFactory.reset();
    EXPECT_EQ(S_FALSE, canUnloadNow_());
    addin.reset();
    EXPECT_EQ(S_OK, canUnloadNow_());
}

TEST_F(LoadedAddin, ObjectAnswersItsThreeInterfacesAsOnePointerAndDispatchesThroughTheTypeLibrary) {
    HRESULT hr = E_FAIL;
    win::ComPtr<IClassFactory> classFactory = factory(CLSID_BrannockAddin, &hr);
    ASSERT_TRUE(classFactory);
    win::ComPtr<IDesktopAddin> addin;
    ASSERT_EQ(S_OK, classFactory->CreateInstance(nullptr, IID_IDesktopAddin, addin.putVoid()));

    win::ComPtr<IDispatch> dispatch = addin.query<IDispatch>(IID_IDispatch);
    EXPECT_EQ(static_cast<IDispatch*>(addin.get()), dispatch.get());
    EXPECT_FALSE(addin.query<IClassFactory>(IID_IClassFactory));

    LONG version = -7;
    EXPECT_EQ(S_OK, addin->GetFrameworkVersion(&version));
    EXPECT_EQ(2, version);

    UINT count = 0;
    EXPECT_EQ(S_OK, dispatch->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    wchar_t name[] = L"GetFrameworkVersion";
    LPOLESTR names[] = {name};
    DISPID id = 0;
    ASSERT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    EXPECT_EQ(3, id);

    LONG viaDispatch = 0;
    VARIANT argument;
    ::VariantInit(&argument);
    argument.vt = VT_I4 | VT_BYREF;
    argument.plVal = &viaDispatch;
    DISPPARAMS params = {&argument, nullptr, 1, 0};
    EXPECT_EQ(S_OK, dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                                     nullptr));
    EXPECT_EQ(2, viaDispatch);
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
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                                 &length));
    EXPECT_EQ(0x0409, translation[0]);
    EXPECT_EQ(1252, translation[1]);
    EXPECT_EQ("BRANNOCK module", versionString(block, "FileDescription"));
    EXPECT_EQ("BRANNOCK", versionString(block, "InternalName"));
    EXPECT_EQ("Brannock.dll", versionString(block, "OriginalFilename"));
}

// An outer object that counts the references the inner object passes on.
class CountingOuter final : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++references); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--references); }
    LONG references = 1;
};

TEST_F(LoadedAddin, CanBeAggregated) {
    HRESULT hr = E_FAIL;
    win::ComPtr<IClassFactory> classFactory = factory(CLSID_BrannockAddin, &hr);
    ASSERT_TRUE(classFactory);
    CountingOuter outer;
    win::ComPtr<IUnknown> inner;
    void* refused = nullptr;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, classFactory->CreateInstance(&outer, IID_IDesktopAddin, &refused));
    ASSERT_EQ(S_OK, classFactory->CreateInstance(&outer, IID_IUnknown, inner.putVoid()));

    win::ComPtr<IDesktopAddin> addin = inner.query<IDesktopAddin>(IID_IDesktopAddin);
    ASSERT_TRUE(addin);
    EXPECT_EQ(2, outer.references) << "the aggregated interface counts on the outer object";
    IUnknown* controlling = nullptr;
    EXPECT_EQ(E_NOINTERFACE, addin->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&controlling)))
        << "the aggregated interface asks the outer object";
    addin.reset();
    EXPECT_EQ(1, outer.references);
}

}  // namespace
