// The add-in's two waits, measured on the clock: the worker's start delay
// (left at its built-in value) and OnUninitialize's limit on a worker that
// does not end. The add-in parts are linked into this program.

#include <windows.h>
#include <gtest/gtest.h>

#include "addin/com_module.h"
#include "addin/slave_thread.h"
#include "channel/channel_names.h"
#include "host_double.h"
#include "sections/section_factory.h"
#include "standin/standin_desktop.h"

namespace {

class AddinTiming : public ::testing::Test {
protected:
    static void SetUpTestSuite() { appendChannelNameSuffix("{AD0B1EC7-7E57-4000-8000-000000000002}"); }
    void TearDown() override { sharedApplication().reset(); }

    /// Milliseconds since `start`.
    static DWORD since(DWORD start) { return ::GetTickCount() - start; }

    standin::StandinDesktop desk;
    standin::HostObject host{desk.application()};
    win::ComPtr<IDesktopAddin> addin = newAddin();
    long locks = comModule().lockCount();
};

// Runs first, before anything changes the delay.
TEST_F(AddinTiming, WorkerStartsServingTenSecondsAfterInitialisation) {
    LONG success = 0;
    const DWORD start = ::GetTickCount();
    ASSERT_EQ(S_OK, addin->OnInitialize(&host, 1, 0x0401, 0, &success));
    while (!sharedApplication() && since(start) < 15000) ::Sleep(5);
    const DWORD delay = since(start);
    EXPECT_GE(delay, 9900u);
    EXPECT_LT(delay, 11000u);
    EXPECT_EQ(S_OK, addin->OnUninitialize());
}

// A worker still asleep when the stop comes cannot see it: OnUninitialize
// gives up after ten seconds, and the worker frees its holder (and the
// module lock) itself when it ends.
TEST_F(AddinTiming, UninitialisingGivesUpOnAHangingWorkerAfterTenSeconds) {
    slaveStartDelayMs = 13000;
    LONG success = 0;
    ASSERT_EQ(S_OK, addin->OnInitialize(&host, 1, 0x0401, 0, &success));
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(S_OK, addin->OnUninitialize());
    const DWORD waited = since(start);
    EXPECT_GE(waited, 9900u);
    EXPECT_LT(waited, 11000u);
    EXPECT_EQ(locks + 1, comModule().lockCount()) << "the late worker still holds its holder";
    while (comModule().lockCount() != locks && since(start) < 20000) ::Sleep(10);
    EXPECT_EQ(locks, comModule().lockCount());
    EXPECT_GE(since(start), 12500u) << "the worker ended after its delay, not before";
}

}  // namespace
