// The add-in object in this process, whose thread plays Palm Desktop's
// user-interface thread: starts, stops at awkward moments, events, boxes.

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <future>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "addin/addin_app.h"
#include "addin/brannock_addin.h"
#include "addin/com_module.h"
#include "addin/hand_over_setting.h"
#include "addin/message_box.h"
#include "addin/prompt_hand_over.h"
#include "addin/slave_thread.h"
#include "addin/thread_timer.h"
#include "channel/channel_names.h"
#include "channel/command_master.h"
#include "channel/command_processor.h"
#include "channel/pending_call.h"
#include "channel/section_dispatch.h"
#include "channel_test_support.h"
#include "engine_thread.h"
#include "sections/section_factory.h"
#include "standin/host_object.h"
#include "standin/standin_desktop.h"
#include "in_process_slave.h"
#include "scripted_section.h"
#include "win/com_error.h"
#include "win/unique_handle.h"

namespace {

std::vector<std::string> shownBoxes;  // "OWNER CAPTION: TEXT TYPE"
std::vector<std::string> timerCalls;  // every timer started and stopped, passed on to the system

int WINAPI recordMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    shownBoxes.push_back(std::to_string(reinterpret_cast<UINT_PTR>(owner)) + " " + caption + ": " + text + " " +
                         std::to_string(type));
    return IDOK;
}

UINT_PTR WINAPI recordStartTimer(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC procedure) {
    const UINT_PTR started = ::SetTimer(window, id, periodMs, procedure);
    timerCalls.push_back("start " + std::to_string(id) + " " + std::to_string(periodMs) +
                         (procedure == &pendingCallTimerProc ? " hand-over" : " other") + (started ? "" : " failed"));
    return started;
}

BOOL WINAPI recordStopTimer(HWND window, UINT_PTR id) {
    const BOOL stopped = ::KillTimer(window, id);
    timerCalls.push_back(stopped ? "stop" : "stop failed");
    return stopped;
}

UINT_PTR WINAPI startNoTimer(HWND, UINT_PTR id, UINT, TIMERPROC) {
    timerCalls.push_back("no timer");
    return id;
}

/// The prompt hand-over's window, if there is one.
HWND wakeUpWindow() { return ::FindWindowExA(HWND_MESSAGE, nullptr, "BrannockPromptHandOver", nullptr); }

/// `text` as the "conn_install.cfg" beside this program (the module of the add-in's parts) while it lives.
struct ConfigBesideProgram {
    explicit ConfigBesideProgram(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    ~ConfigBesideProgram() { std::remove(path.c_str()); }
    const std::string path = configFileBesideThisModule();
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

DWORD since(DWORD start) { return ::GetTickCount() - start; }

class AddinObject : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        showMessageBox = &recordMessageBox;
        startTimer = &recordStartTimer;
        stopTimer = &recordStopTimer;
    }
    void SetUp() override {
        shownBoxes.clear();
        timerCalls.clear();
        slaveStartDelayMs = 50;
        for (auto name : {L"Business", L"Personal"}) desk.contacts().addCategory(name);
    }
    void TearDown() override {
        // Palm Desktop's objects that outlive an add-in stopped mid-way.
        sectionDispatch().reset();
        sharedApplication().reset();
        if (addin) {
            EXPECT_EQ(locks, comModule().lockCount());
        }
    }
    /// OnInitialize in `host`; answers *pbSuccess.
    LONG initialize(IDispatch& in) {
        LONG success = 7;
        EXPECT_EQ(S_OK, addin->OnInitialize(&in, 5, 0x0401, 0, &success));
        return success;
    }
    /// A failed OnInitialize: *pbSuccess 0 and one box with the error's text.
    void expectFailedStart(IDispatch& in, HRESULT error) {
        EXPECT_EQ(0, initialize(in));
        const std::string box = "0 addin_object_test: " + win::ComError(error).message() + " 0";
        EXPECT_EQ(std::vector<std::string>{box}, shownBoxes);
    }

    const std::string suffix = isolateChannel();
    // Declared before the add-in, which holds its host until it goes.
    standin::StandinDesktop desk;
    const win::ComPtr<PalmApplication> application = desk.application();
    standin::HostObject host{win::ComPtr<PalmApplication>::share(application.get())};
    standin::HostObject denyingHost{nullptr, E_ACCESSDENIED};
    standin::HostObject plainHost{nullptr};
    win::ComPtr<IDesktopAddin> addin = newAddin();
    long locks = comModule().lockCount();
};

// Stops before, around and after the end of a shortened start under a stream
// of commands. OnUninitialize gives up on a worker asleep after ten seconds;
// the worker frees its holder (and the module lock) itself when it ends.
TEST_F(AddinObject, UninitialisedAroundTheEndOfTheStartUnderAStreamOfCommands) {
    const std::pair<DWORD, DWORD> runs[] = {{300, 100}, {300, 300}, {300, 700}, {13000, 1000}};
    for (const auto& [delayMs, stopAfterMs] : runs) {
        SCOPED_TRACE("stopped after " + std::to_string(stopAfterMs) + " of " + std::to_string(delayMs) + " ms");
        slaveStartDelayMs = delayMs;
        win::ComPtr<IDesktopAddin> cycled = newAddin();
        LONG success = 0;
        ASSERT_EQ(S_OK, cycled->OnInitialize(&host, 1, 0x0401, 0, &success));
        ASSERT_EQ(1, success);
        EngineThread engine;
        pumpMessages(stopAfterMs);
        const DWORD start = ::GetTickCount();
        EXPECT_EQ(S_OK, cycled->OnUninitialize());
        cycled.reset();
        const bool hanging = delayMs > 10000;
        if (hanging) {
            EXPECT_GE(since(start), 9900u);
            EXPECT_LT(since(start), 11000u);
            EXPECT_EQ(locks + 1, comModule().lockCount()) << "the late worker still holds its holder";
        }
        const std::vector<ResponseCode> results = engine.finish(15000);
        expectClosedExactlyOnce(results);
        const auto served = std::find(results.begin(), results.end(), ResponsePalmDesktopClosed) - results.begin();
        if (stopAfterMs >= delayMs + 300) {
            EXPECT_GT(served, 0) << "the worker served commands before the stop";
        }
        if (hanging) {
            EXPECT_GE(since(start), 11500u) << "the worker ended after its delay, not before";
        }
        EXPECT_EQ(locks, comModule().lockCount());
        EXPECT_FALSE(sectionDispatch().hasCurrentHandler()) << "given back; one sent to a sleeping worker never ran";
    }
}

// Stopped in the middle of a long export: every record delivered before the stop is whole, and they come in the
// order of the categories.
TEST_F(AddinObject, StoppedDuringALongExportDeliversWholeRecordsInCategoryOrder) {
    for (int i = 0; i < 20; ++i)
        desk.addContact(i % 2 ? L"Personal" : L"Business", L"First" + std::to_wstring(i), L"Last" + std::to_wstring(i));
    ASSERT_EQ(1, initialize(host));
    std::vector<Record> records;
    auto engine = std::async(std::launch::async, [&] {
        CommandMaster master;
        ResponseCode result = master.beginExport(SectionContact);
        for (Record record; result == ResponseOk && (result = master.getNextRecord(record)) == ResponseOk;)
            records.push_back(record);
        return result;
    });
    pumpMessages(1500);  // one command per 100 ms tick: about ten records of each category
    EXPECT_EQ(S_OK, addin->OnUninitialize());
    EXPECT_NE(ResponseOk, engine.get());
    ASSERT_GT(records.size(), 0u);
    EXPECT_LT(records.size(), 20u) << "stopped before the end";
    for (const Record& record : records) {
        EXPECT_EQ(record.getField("129.First Name").substr(5), record.getField("128.Last Name").substr(4));
        EXPECT_NE("", record.getField("RecordId"));
    }
    for (std::size_t i = 1; i < records.size(); ++i)
        EXPECT_LE(records[i - 1].getField("111.Category"), records[i].getField("111.Category")) << i;
}

// A host failing the application query, or a channel that cannot open, is
// reported in one box with the error's text.
TEST_F(AddinObject, AFailedStartShowsOneBoxAndLeavesNothingRunning) {
    {
        // An event under the zone's name keeps the file mapping from being made.
        win::UniqueHandle squatter(::CreateEventA(nullptr, TRUE, FALSE, sharedZoneName()));
        expectFailedStart(plainHost, HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE));
        EXPECT_EQ(S_OK, addin->OnUninitialize());
        EXPECT_FALSE(initializeEventIsSet());
    }
    shownBoxes.clear();
    expectFailedStart(denyingHost, E_ACCESSDENIED);
    EXPECT_FALSE(initializeEventIsSet());
    EXPECT_EQ(locks, comModule().lockCount()) << "no slave holder was built";
    EXPECT_EQ(S_OK, addin->OnUninitialize());
    addin.reset();
    EXPECT_EQ(1, denyingHost.references()) << "the host is released with the add-in";
}

// Uninitialising gives back the current handler but keeps the last named
// section, for a category write of an engine that named it before.
TEST_F(AddinObject, StartsAndStopsEverythingWithoutTheApplicationAndAnswersItsQuestions) {
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
    EXPECT_EQ(ResponseOk, run(CmdBeginImport, SectionMemo));
    EXPECT_EQ(1, initialize(plainHost));
    EXPECT_EQ(nullptr, wakeUpWindow()) << "no HandOver setting: the timer alone";
    EXPECT_TRUE(initializeEventIsSet());
    EXPECT_TRUE(initializeEventIsSet()) << "the initialize event is manual-reset";
    EXPECT_EQ(locks + 1, comModule().lockCount()) << "the slave holder keeps the module locked";
    EXPECT_EQ(S_OK, addin->OnUninitialize());
    EXPECT_EQ((std::vector<std::string>{"start 8 100 hand-over", "stop"}), timerCalls);
    EXPECT_FALSE(initializeEventIsSet()) << "the event closes with OnUninitialize";
    EXPECT_EQ(locks, comModule().lockCount());
    EXPECT_FALSE(sharedApplication());
    EXPECT_FALSE(sectionDispatch().hasCurrentHandler());
    EXPECT_EQ(ResponseOk, run(CmdWriteCategoryList, -1));
    LONG version = 99;
    EXPECT_EQ(S_OK, addin->GetFrameworkVersion(&version));
    EXPECT_EQ(2, version);
    UINT count = 0;
    EXPECT_EQ(S_OK, addin->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    EXPECT_EQ(S_OK, addin->ShowAboutBox(0x1234));
    EXPECT_EQ(S_OK, addin->ShowProperties(0));
    EXPECT_EQ((std::vector<std::string>{"4660 Brannock: BrannockAddin AboutBox 0",
                                        "0 Brannock: BrannockAddin Properties Dialog 0"}),
              shownBoxes) << "and no box for the start";
}

// HandOver=prompt with a timer that never ticks: every command runs through the wake-up window. Inside each call a
// nested message loop takes a wake-up of its own, which finds the call running and does nothing; a stop in the
// middle of the stream closes the engine once, and the window goes with OnUninitialize.
TEST_F(AddinObject, PromptHandOverServesWithoutATickAcrossANestedLoopAndAStop) {
    const ConfigBesideProgram config("[Brannock]\r\nHandOver=Prompt\r\n");
    startTimer = &startNoTimer;
    scripted::install({});
    int nested = 0;
    scripted::setDuringCall([&] {
        nested += ::PostMessageA(wakeUpWindow(), PromptHandOver::kWakeMessage, 0, 0) != 0;
        pumpMessages(1);
    });
    ASSERT_EQ(1, initialize(host));
    {
        EngineThread engine;
        pumpMessages(400);
        EXPECT_EQ(S_OK, addin->OnUninitialize());
        expectClosedExactlyOnce(engine.finish(15000));
    }
    startTimer = &recordStartTimer;
    scripted::setDuringCall(nullptr);
    sectionDispatch().setMaker(createSectionHandler);
    EXPECT_EQ(nullptr, wakeUpWindow());
    const std::vector<std::string> log = scripted::log();
    EXPECT_GT(nested, 0) << "calls ran without a timer";
    for (std::size_t i = 1; i < log.size(); ++i) EXPECT_NE(log[i - 1], log[i]) << "a call ran twice at " << i;
}

TEST(HandOverSetting, ValuesAndFiles) {
    const std::tuple<const char*, HandOverMode, bool> values[] = {
        {"", HandOverMode::Timer, true},          {"timer", HandOverMode::Timer, true},
        {"Timer", HandOverMode::Timer, true},     {"prompt", HandOverMode::Prompt, true},
        {"PROMPT", HandOverMode::Prompt, true},   {" pRoMpT\t", HandOverMode::Prompt, true},
        {"fast", HandOverMode::Timer, false},     {"prompt2", HandOverMode::Timer, false},
        {"prompt timer", HandOverMode::Timer, false},
    };
    for (const auto& [value, mode, recognised] : values) {
        const HandOverSetting setting = parseHandOverSetting(value);
        EXPECT_EQ(setting.mode, mode) << value;
        EXPECT_EQ(setting.recognised, recognised) << value;
    }
    const std::pair<const char*, HandOverMode> files[] = {
        {nullptr, HandOverMode::Timer},
        {"[Palm handheld]\r\nHandOver=prompt\r\n", HandOverMode::Timer},
        {"[Brannock]\r\nHandOver=\r\n", HandOverMode::Timer},
        {"[Brannock]\r\nHandOver=soon\r\n", HandOverMode::Timer},
        {"[Palm handheld]\r\nBrannock.dll={X}\r\n[Brannock]\r\nHandOver = prompt\r\n", HandOverMode::Prompt},
    };
    for (const auto& [text, mode] : files) {
        std::unique_ptr<ConfigBesideProgram> config;
        if (text) config = std::make_unique<ConfigBesideProgram>(text);
        EXPECT_EQ(readHandOverMode(configFileBesideThisModule()), mode) << (text ? text : "no file");
    }
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
