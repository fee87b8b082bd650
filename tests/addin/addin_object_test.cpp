// The add-in object inside a host: OnInitialize and OnUninitialize, the
// worker, the initialize event, the message boxes. The add-in parts are
// linked into this program, with a short worker delay.

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "addin/addin_app.h"
#include "addin/com_module.h"
#include "addin/message_box.h"
#include "addin/slave_thread.h"
#include "addin/thread_timer.h"
#include "channel/channel_names.h"
#include "channel/command_processor.h"
#include "channel/pending_call.h"
#include "channel/section_dispatch.h"
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

// Every timer the add-in starts and stops, passed on to the system.
std::vector<std::string> timerCalls;

UINT_PTR WINAPI recordStartTimer(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC procedure) {
    const UINT_PTR started = ::SetTimer(window, id, periodMs, procedure);
    timerCalls.push_back("start " + std::to_string(id) + " " + std::to_string(periodMs) +
                         (procedure == &pendingCallTimerProc ? " hand-over" : " other") +
                         (started ? "" : " failed"));
    return started;
}

BOOL WINAPI recordStopTimer(HWND window, UINT_PTR id) {
    const BOOL stopped = ::KillTimer(window, id);
    timerCalls.push_back(stopped ? "stop" : "stop failed");
    return stopped;
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
        startTimer = &recordStartTimer;
        stopTimer = &recordStopTimer;
    }
    void SetUp() override {
        shownBoxes.clear();
        timerCalls.clear();
    }
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
    // Each look opens the event anew and waits on it: an auto-reset event
    // would be consumed by the first look.
    EXPECT_TRUE(initializeEventIsSet());
    EXPECT_TRUE(initializeEventIsSet()) << "the initialize event is manual-reset";
    EXPECT_EQ(locks + 1, comModule().lockCount()) << "the slave holder keeps the module locked";
    EXPECT_EQ(S_OK, addin->OnUninitialize());
    EXPECT_EQ((std::vector<std::string>{"start 8 100 hand-over", "stop"}), timerCalls);
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
    UINT count = 0;
    EXPECT_EQ(S_OK, addin->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    EXPECT_EQ(S_OK, addin->ShowAboutBox(0x1234));
    EXPECT_EQ(S_OK, addin->ShowProperties(0));
    ASSERT_EQ(2u, shownBoxes.size());
    EXPECT_EQ(reinterpret_cast<HWND>(0x1234), shownBoxes[0].owner);
    const char* texts[] = {"BrannockAddin AboutBox", "BrannockAddin Properties Dialog"};
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(texts[i], shownBoxes[i].text);
        EXPECT_EQ("Brannock", shownBoxes[i].caption);
        EXPECT_EQ(static_cast<UINT>(MB_OK), shownBoxes[i].type) << texts[i];
    }
}

// A re-initialised add-in serves an engine that named its section before:
// uninitialising gives back the current handler but keeps the last section,
// so that a category write (or a delete-all) still finds it.
TEST_F(AddinObject, UninitialisingReleasesTheHandlerButKeepsTheLastNamedSection) {
    standin::StandinDesktop desk;
    const win::ComPtr<PalmApplication> application = desk.application();
    auto run = [&](int code, int section) {
        CommandProcessor command;
        command.setCommand(code);
        command.setSection(section);
        command.setCategories({"Errands"});
        CommandProcessor answer;
        int result = -1;
        sectionDispatch().run(code, application, command, answer, result);
        return result;
    };
    sectionDispatch().reset();
    EXPECT_EQ(ResponseOk, run(CmdBeginImport, SectionMemo));
    EXPECT_EQ(1, initialize(plainHost));
    EXPECT_EQ(S_OK, addin->OnUninitialize());
    EXPECT_FALSE(sectionDispatch().hasCurrentHandler());
    EXPECT_EQ(ResponseOk, run(CmdWriteCategoryList, -1));
    sectionDispatch().reset();
}

TEST(AddinErrorText, StandardTextsOfCodesWithoutASystemMessage) {
    const std::pair<HRESULT, const char*> cases[] = {
        {static_cast<HRESULT>(0x80040200L), "Unknown error 0x80040200"},
        {static_cast<HRESULT>(0x80040201L), "IDispatch error #1"},
        {static_cast<HRESULT>(0x8004FFFFL), "IDispatch error #65023"},
        {static_cast<HRESULT>(0xA0B1C2D3L), "Unknown error 0xA0B1C2D3"},
    };
    for (const auto& [code, text] : cases) EXPECT_EQ(text, win::ComError(code).message());
}

TEST(AddinModule, ExitInstanceReleasesTheCachedClassFactory) {
    win::ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, comModule().getClassObject(CLSID_BrannockAddin, IID_IClassFactory, factory.putVoid()));
    const ULONG held = factory.get()->AddRef();  // the cache's, ours and this one
    factory.get()->Release();
    theApp.ExitInstance();
    EXPECT_EQ(held - 1, factory.get()->AddRef()) << "the cache let go of its reference";
    factory.get()->Release();
}

}  // namespace
