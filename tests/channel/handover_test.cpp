// The slave's parts in one thread: names, dispatch, the timer hand-over.
#include "channel/channel_names.h"
#include "channel/command_processor.h"
#include "channel/pending_call.h"
#include "scripted_section.h"
#include "sections/section_factory.h"
#include "standin/standin_desktop.h"
#include "win/unique_handle.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

namespace {

using Lines = std::vector<std::string>;

TEST(ChannelNames, SuffixGoesToMasterSlaveAndZoneWithinTheirBuffers)
{
    const Lines bases = {"Marrowvelle_Tesk_Master", "Marrowvelle_Tesk_Slave", "Marrowvelle_Tesk_SharedZone"};
    const auto names = [] { return Lines{masterEventName(), slaveEventName(), sharedZoneName()}; };
    EXPECT_EQ(names(), bases);
    const std::string classId = "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";
    appendChannelNameSuffix(classId.c_str());
    EXPECT_EQ(names(), (Lines{bases[0] + classId, bases[1] + classId, bases[2] + classId}));
    appendChannelNameSuffix(std::string(300, 'y').c_str());
    appendChannelNameSuffix("z");
    for (const std::string& name : names()) {
        EXPECT_EQ(name.size(), 259u) << name;
        EXPECT_EQ(name.back(), 'y');
    }
    EXPECT_STREQ(exitEventName(), "Marrowvelle_Tesk_PalmDesktopExitEvent");
}

/// The worker's objects for one command, read from its text.
struct Call {
    explicit Call(const std::string& text)
    {
        cmd.parse(text.c_str());
        code = cmd.getCommand();
        answer.setCommand(CmdResponse);
    }
    void run(SectionDispatch& dispatch) { dispatch.run(code, application, cmd, answer, result); }
    void publish() { publishPendingCall({&code, &application, &cmd, &answer, &result}); }

    CommandProcessor cmd;
    int code = 0;
    win::ComPtr<PalmApplication> application;
    CommandProcessor answer;
    int result = -99;
};

void tick() { pendingCallTimerProc(nullptr, WM_TIMER, 8, 0); }

TEST(HandOver, DispatchKeepsCurrentAndTemporaryHandlersApart)
{
    scripted::install({});
    SectionDispatch dispatch(scripted::makeSection);
    const auto run = [&](const std::string& text) {
        Call call(text);
        call.run(dispatch);
        return call.result;
    };
    // No section named yet, nothing current, no such command.
    for (const char* text : {"8\xB6" "0\xB6" "A\xA3\xB6", "10\xB6" "0\xB6", "4\xB6" "0\xB6", "-1\xB6" "0\xB6",
                             "11\xB6" "0\xB6\xB6" "0\xB6", "13\xB6" "0\xB6" "0\xB6\xB6", "42\xB6" "0\xB6"})
        EXPECT_EQ(run(text), ResponseFailed) << text;
    EXPECT_TRUE(scripted::log().empty());

    for (const char* text : {"0\xB6" "0\xB6" "1\xB6", "7\xB6" "0\xB6" "3\xB6", "5\xB6" "1\xB6" "RecordId\xB5r1\xBA",
                             "9\xB6" "0\xB6" "r1\xB6", "8\xB6" "0\xB6" "A\xA3" "B\xA3\xB6", "10\xB6" "0\xB6"})
        run(text);
    EXPECT_FALSE(dispatch.hasCurrentHandler());
    EXPECT_EQ(run("1\xB6" "0\xB6"), ResponseFailed);
    EXPECT_EQ(run("2\xB6" "0\xB6" "7\xB6"), ResponseFailed);
    EXPECT_EQ(dispatch.lastNamedSection(), 7);
    run("2\xB6" "0\xB6" "2\xB6");
    run("0\xB6" "0\xB6" "0\xB6");
    EXPECT_EQ(scripted::log(),
              (Lines{"make 1", "beginImport 1", "make 3", "readCategoryList 3", "destroy 3",
                     "sendRecord 1 RecordId=r1 Name=", "deleteRecord 1 r1", "make 3", "writeCategoryList 3 A|B",
                     "destroy 3", "destroy 1", "make 3", "deleteAll 3", "destroy 3", "make 2", "beginExport 2",
                     "destroy 2", "make 0", "beginImport 0"}));
}

// A published call runs once, in the tick, with the hand-over not ready (a nested tick does nothing); an exception
// in the call stays inside the tick. A stop while a call runs waits for its end: the call writes its result 50 ms
// after the stop, into the worker's objects, which a worker leaving within one 2 ms poll would have destroyed.
TEST(HandOver, ATickRunsThePublishedCallOnceAndAStopWaitsForARunningCall)
{
    scripted::install({"deleteRecord 2"});
    tick();
    EXPECT_FALSE(isCallPending());
    EXPECT_TRUE(isHandOverReady());
    EXPECT_TRUE(scripted::log().empty());

    bool pendingInside = false, readyInside = true;
    scripted::setDuringCall([&] {
        pendingInside = isCallPending();
        readyInside = isHandOverReady();
        tick();  // a nested message loop
    });
    Call begin("0\xB6" "0\xB6" "2\xB6");  // begin import, to-dos
    begin.publish();
    EXPECT_TRUE(isCallPending());
    tick();
    tick();
    EXPECT_EQ(begin.result, ResponseOk);
    EXPECT_EQ(scripted::log(), (Lines{"make 2", "beginImport 2"}));
    EXPECT_TRUE(pendingInside);
    EXPECT_FALSE(readyInside);
    EXPECT_FALSE(isCallPending());
    EXPECT_TRUE(isHandOverReady());

    scripted::setDuringCall([] { throw std::runtime_error("out of memory"); });
    Call failing("4\xB6" "0\xB6");  // get the next record
    failing.publish();
    EXPECT_NO_THROW(tick());
    EXPECT_EQ(failing.result, ResponseFailed);
    EXPECT_FALSE(isCallPending());
    EXPECT_TRUE(isHandOverReady());

    const win::UniqueHandle stop(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    scripted::setDuringCall([&] {
        ::SetEvent(stop.get());
        ::Sleep(50);
    });
    Call remove("9\xB6" "0\xB6");  // delete a record
    PendingCallOutcome outcome = PendingCallOutcome::Withdrawn;
    std::thread worker([&] {
        remove.publish();
        outcome = awaitPendingCall(stop.get());
    });
    while (!isCallPending())
        ::Sleep(1);
    tick();
    worker.join();
    EXPECT_EQ(outcome, PendingCallOutcome::Ran);
    EXPECT_EQ(remove.result, ResponseNoMoreRecords);
    scripted::setDuringCall(nullptr);
}

// A crash in a call run from a timer message is swallowed where the system runs timer callbacks, and the call's
// frames are gone. The next tick finds that: the call answers Failed and the next call runs. (The crash raised here
// is not a fault, which the test programs' own handler would end at once.)
TEST(HandOver, ACrashSwallowedInTheTimerProcedureFailsTheCallAndTheNextOneRuns)
{
    scripted::install({});
    scripted::setDuringCall([] { ::RaiseException(0xE0000019, EXCEPTION_NONCONTINUABLE, 0, nullptr); });
    Call crashing("0\xB6" "0\xB6" "2\xB6");
    crashing.publish();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, pendingCallTimerProc);
    for (int i = 0; i < 500 && isCallPending(); ++i) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&message);
    }
    ::KillTimer(nullptr, timer);
    EXPECT_FALSE(isCallPending());
    EXPECT_TRUE(isHandOverReady());
    EXPECT_EQ(crashing.result, ResponseFailed);
    scripted::setDuringCall(nullptr);
    Call next("3\xB6" "0\xB6");  // end the export
    next.publish();
    tick();
    EXPECT_EQ(next.result, ResponseOk);
    EXPECT_EQ(scripted::log(), (Lines{"make 2", "beginImport 2", "endExport 2", "destroy 2"}));
}

TEST(SectionFactory, AnswersNoHandlerWithoutAWorkingApplication)
{
    const win::ComPtr<PalmApplication> none;
    for (int section : {-1, 0, 1, 2, 3, 4})
        EXPECT_EQ(createSectionHandler(none, section), nullptr) << section;

    standin::StandinDesktop desk;
    const win::ComPtr<PalmApplication> application = desk.application();
    for (const char* getter : {"get_Calendar", "get_Contacts", "get_TodoList", "get_Memos"})
        desk.faults().failFrom(std::string("PalmApplication.") + getter, 1, E_FAIL);
    for (int section : {0, 1, 2, 3})
        EXPECT_EQ(createSectionHandler(application, section), nullptr) << section;
    desk.faults().clear();
    for (int section : {0, 1, 2, 3})
        EXPECT_NE(createSectionHandler(application, section), nullptr) << section;
    EXPECT_EQ(createSectionHandler(application, 4), nullptr);
}

}  // namespace
