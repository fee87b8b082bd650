// The add-in object inside a host: OnInitialize and OnUninitialize, the
// worker, the initialize event, the message boxes. The add-in parts are
// linked into this program, with a short worker delay.

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "addin/com_module.h"
#include "addin/message_box.h"
#include "addin/slave_thread.h"
#include "channel/channel_names.h"
#include "host_double.h"
#include "sections/section_factory.h"
#include "standin/standin_desktop.h"
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

bool initializeEventIsSet() {
    win::UniqueHandle event(::OpenEventA(SYNCHRONIZE, FALSE, kAddinInitializeEventName));
    return event && ::WaitForSingleObject(event.get(), 0) == WAIT_OBJECT_0;
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
    /// OnInitialize in `host`; answers *pbSuccess.
    LONG initialize(IDispatch& host) {
        LONG success = 7;
        EXPECT_EQ(S_OK, addin->OnInitialize(&host, 5, 0x0401, 0, &success));
        return success;
    }
    /// A failed OnInitialize: *pbSuccess 0 and one box with the error's text.
    void expectFailedStart(IDispatch& host, HRESULT error) {
        EXPECT_EQ(0, initialize(host));
        ASSERT_EQ(1u, shownBoxes.size());
        EXPECT_EQ(win::ComError(error).message(), shownBoxes[0].text);
        EXPECT_EQ("addin_object_test", shownBoxes[0].caption);
        EXPECT_EQ(static_cast<UINT>(MB_OK), shownBoxes[0].type);
    }

    // Declared before the add-in, which holds its host until it goes.
    standin::HostObject denyingHost{nullptr, E_ACCESSDENIED};
    standin::HostObject plainHost{nullptr};
    win::ComPtr<IDesktopAddin> addin = newAddin();
    long locks = comModule().lockCount();
};

TEST_F(AddinObject, HostFailingTheApplicationQueryGetsOneBoxAndNothingStarts) {
    expectFailedStart(denyingHost, E_ACCESSDENIED);
    EXPECT_FALSE(initializeEventIsSet());
    EXPECT_EQ(locks, comModule().lockCount()) << "no slave holder was built";
    EXPECT_EQ(S_OK, addin->OnUninitialize());
    addin.reset();
    EXPECT_EQ(1, denyingHost.references()) << "the host is released with the add-in";
}

TEST_F(AddinObject, AChannelThatCannotOpenIsReportedLikeAComError) {
    // An event under the zone's name keeps the file mapping from being made.
    win::UniqueHandle squatter(::CreateEventA(nullptr, TRUE, FALSE, sharedZoneName()));
    expectFailedStart(plainHost, HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE));
    EXPECT_EQ(S_OK, addin->OnUninitialize());
    EXPECT_FALSE(initializeEventIsSet());
}

TEST_F(AddinObject, HostWithoutTheApplicationStillStartsAndStopsEverything) {
    EXPECT_EQ(1, initialize(plainHost));
    EXPECT_TRUE(shownBoxes.empty());
    EXPECT_TRUE(initializeEventIsSet());
    EXPECT_EQ(locks + 1, comModule().lockCount()) << "the slave holder keeps the module locked";
    EXPECT_EQ(S_OK, addin->OnUninitialize());
    EXPECT_FALSE(initializeEventIsSet()) << "the event closes with OnUninitialize";
    EXPECT_EQ(locks, comModule().lockCount());
    EXPECT_FALSE(sharedApplication());
}

TEST_F(AddinObject, WorkerHandsTheApplicationOnAfterItsDelay) {
    standin::StandinDesktop desk;
    win::ComPtr<PalmApplication> application = desk.application();
    standin::HostObject host(win::ComPtr<PalmApplication>::share(application.get()));
    EXPECT_EQ(1, initialize(host));
    for (int i = 0; i < 200 && !sharedApplication(); ++i) ::Sleep(10);
    EXPECT_EQ(application.get(), sharedApplication().get());
    EXPECT_EQ(S_OK, addin->OnUninitialize());
    addin.reset();
    sharedApplication().reset();
}

TEST_F(AddinObject, AnswersItsQuestions) {
    LONG version = 99;
    EXPECT_EQ(S_OK, addin->GetFrameworkVersion(&version));
    EXPECT_EQ(2, version);
    EXPECT_EQ(S_OK, addin->ShowAboutBox(0x1234));
    EXPECT_EQ(S_OK, addin->ShowProperties(0));
    ASSERT_EQ(2u, shownBoxes.size());
    EXPECT_EQ(reinterpret_cast<HWND>(0x1234), shownBoxes[0].owner);
    EXPECT_EQ("BrannockAddin AboutBox/Brannock", shownBoxes[0].text + "/" + shownBoxes[0].caption);
    EXPECT_EQ("BrannockAddin Properties Dialog/Brannock", shownBoxes[1].text + "/" + shownBoxes[1].caption);
}

}  // namespace
