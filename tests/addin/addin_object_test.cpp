// The add-in object inside a host: OnInitialize and OnUninitialize, the
// worker, the initialize event, the message boxes. The add-in parts are
// linked into this program, with a short worker delay.

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "addin/brannock_addin.h"
#include "addin/com_module.h"
#include "addin/message_box.h"
#include "addin/slave_thread.h"
#include "channel/channel_names.h"
#include "sections/section_factory.h"
#include "win/com_error.h"
#include "win/unique_handle.h"

namespace {

struct ShownBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};
std::vector<ShownBox> shownBoxes;

int WINAPI recordMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    shownBoxes.push_back({owner, text, caption, type});
    return IDOK;
}

// A host object standing in for Palm Desktop: answers the application
// interface with `application`, or fails that query with `failure`.
class FakeHost final : public IDispatch {
public:
    explicit FakeHost(HRESULT failure, IDispatch* application = nullptr)
        : failure_(failure), application_(application) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        *ppv = nullptr;
        if (::IsEqualIID(riid, IID_IUnknown) || ::IsEqualIID(riid, IID_IDispatch)) {
            *ppv = this;
        } else if (::IsEqualIID(riid, IID_PalmApplication) && application_) {
            *ppv = application_;
        } else {
            return ::IsEqualIID(riid, IID_PalmApplication) ? failure_ : E_NOINTERFACE;
        }
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
    IDispatch* application_;
};

bool initializeEventIsSet() {
    win::UniqueHandle event(::OpenEventA(SYNCHRONIZE, FALSE, kAddinInitializeEventName));
    return event && ::WaitForSingleObject(event.get(), 0) == WAIT_OBJECT_0;
}

win::ComPtr<IDesktopAddin> newAddin() {
    win::ComPtr<IDesktopAddin> addin;
    EXPECT_EQ(S_OK, CBrannockAddin::create(nullptr, IID_IDesktopAddin, addin.putVoid()));
    return addin;
}

class AddinObject : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Channel objects of this program's own.
        appendChannelNameSuffix("{AD0B1EC7-7E57-4000-8000-000000000001}");
        slaveStartDelayMs = 50;
        showMessageBox = &recordMessageBox;
    }
    void SetUp() override { shownBoxes.clear(); }
};

TEST_F(AddinObject, HostFailingTheApplicationQueryGetsOneBoxAndNothingStarts) {
    FakeHost host(E_ACCESSDENIED);
    win::ComPtr<IDesktopAddin> addin = newAddin();
    long locks = comModule().lockCount();
    LONG success = 7;
    EXPECT_EQ(S_OK, addin->OnInitialize(&host, 5, 0x0401, 0, &success));
    EXPECT_EQ(0, success);
    ASSERT_EQ(1u, shownBoxes.size());
    EXPECT_EQ(win::ComError(E_ACCESSDENIED).message(), shownBoxes[0].text);
    EXPECT_EQ("addin_object_test", shownBoxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK), shownBoxes[0].type);
    EXPECT_FALSE(initializeEventIsSet());
    EXPECT_EQ(locks, comModule().lockCount()) << "no slave holder was built";
    EXPECT_EQ(S_OK, addin->OnUninitialize());
    addin.reset();
    EXPECT_EQ(1, host.references) << "the host is released with the add-in";
}

TEST_F(AddinObject, HostWithoutTheApplicationStillStartsAndStopsEverything) {
    FakeHost host(E_NOINTERFACE);
    win::ComPtr<IDesktopAddin> addin = newAddin();
    long locks = comModule().lockCount();
    LONG success = 0;
    EXPECT_EQ(S_OK, addin->OnInitialize(&host, 5, 0x0401, 0, &success));
    EXPECT_EQ(1, success);
    EXPECT_TRUE(shownBoxes.empty());
    EXPECT_TRUE(initializeEventIsSet());
    EXPECT_EQ(locks + 1, comModule().lockCount()) << "the slave holder keeps the module locked";
    EXPECT_EQ(S_OK, addin->OnUninitialize());
    EXPECT_FALSE(initializeEventIsSet()) << "the event closes with OnUninitialize";
    EXPECT_EQ(locks, comModule().lockCount());
    EXPECT_FALSE(sharedApplication());
}

TEST_F(AddinObject, WorkerHandsTheApplicationOnAfterItsDelay) {
    FakeHost application(E_NOINTERFACE);
    FakeHost host(E_NOINTERFACE, &application);
    win::ComPtr<IDesktopAddin> addin = newAddin();
    LONG success = 0;
    EXPECT_EQ(S_OK, addin->OnInitialize(&host, 5, 0x0401, 0, &success));
    EXPECT_EQ(1, success);
    for (int i = 0; i < 200 && !sharedApplication(); ++i) ::Sleep(10);
    EXPECT_EQ(static_cast<IDispatch*>(&application), static_cast<IDispatch*>(sharedApplication().get()));
    EXPECT_EQ(S_OK, addin->OnUninitialize());
    sharedApplication().reset();
}

TEST_F(AddinObject, AChannelThatCannotOpenIsReportedLikeAComError) {
    // An event under the zone's name keeps the file mapping from being made.
    win::UniqueHandle squatter(::CreateEventA(nullptr, TRUE, FALSE, sharedZoneName()));
    FakeHost host(E_NOINTERFACE);
    win::ComPtr<IDesktopAddin> addin = newAddin();
    LONG success = 1;
    EXPECT_EQ(S_OK, addin->OnInitialize(&host, 5, 0x0401, 0, &success));
    EXPECT_EQ(0, success);
    ASSERT_EQ(1u, shownBoxes.size());
    EXPECT_EQ(win::ComError(HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE)).message(), shownBoxes[0].text);
    EXPECT_EQ(S_OK, addin->OnUninitialize());
    EXPECT_FALSE(initializeEventIsSet());
}

TEST_F(AddinObject, AnswersItsQuestions) {
    win::ComPtr<IDesktopAddin> addin = newAddin();
    LONG version = 99;
    EXPECT_EQ(S_OK, addin->GetFrameworkVersion(&version));
    EXPECT_EQ(2, version);

    EXPECT_EQ(S_OK, addin->ShowAboutBox(0x1234));
    EXPECT_EQ(S_OK, addin->ShowProperties(0));
    ASSERT_EQ(2u, shownBoxes.size());
    EXPECT_EQ(reinterpret_cast<HWND>(0x1234), shownBoxes[0].owner);
    EXPECT_EQ("BrannockAddin AboutBox", shownBoxes[0].text);
    EXPECT_EQ("Brannock", shownBoxes[0].caption);
    EXPECT_EQ("BrannockAddin Properties Dialog", shownBoxes[1].text);
    EXPECT_EQ("Brannock", shownBoxes[1].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK), shownBoxes[1].type);
}

}  // namespace
