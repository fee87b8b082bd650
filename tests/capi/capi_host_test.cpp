// The C interface against a running stand-in Palm Desktop holding the demo
// data (12 contacts, 11 events, 9 to-dos, 6 memos): the C example and an
// engine that knows only LoadLibrary and GetProcAddress, run beside the
// host's copy of Brannock.dll, and the time limit, through that copy loaded
// here (the channel's names come from the copy). The last test kills the host.

#include <gmock/gmock.h>

#include <chrono>
#include <thread>

#include "capi/brannock.h"
#include "cli_harness.h"

namespace {

using ::testing::HasSubstr;

constexpr char kClassId[] = "{C11A7E57-0B2D-4C3E-9F4A-5B6C7D8E9F13}";
constexpr char kPauseEvent[] = "Brannock_CapiTest_PauseHost";

/// The C interface's master functions from the host's copy of Brannock.dll.
struct CopiedMaster {
    explicit CopiedMaster(const std::string& dllPath) : dll(::LoadLibraryA(dllPath.c_str())) {}
    ~CopiedMaster() { ::FreeLibrary(dll); }
    HMODULE dll;
    decltype(&brannock_open) open = procedure<decltype(open)>(dll, "brannock_open");
    decltype(&brannock_close) close = procedure<decltype(close)>(dll, "brannock_close");
    decltype(&brannock_set_time_limit) setTimeLimit = procedure<decltype(setTimeLimit)>(dll, "brannock_set_time_limit");
    decltype(&brannock_begin_export) beginExport = procedure<decltype(beginExport)>(dll, "brannock_begin_export");
    decltype(&brannock_end_export) endExport = procedure<decltype(endExport)>(dll, "brannock_end_export");
    decltype(&brannock_get_record_count) count = procedure<decltype(count)>(dll, "brannock_get_record_count");
};

/// The result of `call` and how long it took, in milliseconds.
template <typename Call>
std::pair<int, long long> timed(Call call) {
    const auto start = std::chrono::steady_clock::now();
    const int result = call();
    return {result, std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                        .count()};
}

class CapiHost : public HostSuite {
protected:
    static void SetUpTestSuite() {
        startHost(kClassId, readTextFile(BRANNOCK_DEMO_DATA), std::string("--pause-event ") + kPauseEvent,
                  {"capi_example.exe", "capi_loadlibrary.exe"});
        c = std::make_unique<CopiedMaster>(setup->files().dllPath());
        ASSERT_TRUE(c->open && c->count);
        pause = win::UniqueHandle(::CreateEventA(nullptr, TRUE, FALSE, kPauseEvent));
    }
    static void TearDownTestSuite() {
        c.reset();
        HostSuite::TearDownTestSuite();
    }
    static CliRun run(const std::string& program, const std::string& arguments = {}) {
        const CliRun result = setup->run(program, arguments);
        std::printf("%s", result.out.c_str());
        return result;
    }
    static std::unique_ptr<CopiedMaster> c;
    static win::UniqueHandle pause;
};

std::unique_ptr<CopiedMaster> CapiHost::c;
win::UniqueHandle CapiHost::pause;

TEST_F(CapiHost, CExampleExportsAndImportsBackEverySection) {
    const CliRun result = run("capi_example.exe");
    EXPECT_EQ(0u, result.exitCode);
    for (const char* line : {"contacts: 12 of 12 imported back", "calendar: 11 of 11 imported back",
                             "to-dos: 9 of 9 imported back", "memos: 6 of 6 imported back",
                             "contacts categories: Business Personal QuickList Unfiled", "(repeats, type"})
        EXPECT_THAT(result.out, HasSubstr(line));
}

TEST_F(CapiHost, LoadLibraryEngineExportsContacts) {
    const CliRun result = run("capi_loadlibrary.exe");
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_THAT(result.out, HasSubstr("exported 12 of 12 contacts"));
    EXPECT_THAT(result.out, HasSubstr("128.Last Name="));
}

// Reading assumed: the stand-in's timer stands still while the pump does;
// the add-in's worker then waits for the hand-over for as long as it takes.
TEST_F(CapiHost, TimeOutWhileTheHostsTimerStandsStill) {
    brannock_master* m = nullptr;
    ASSERT_EQ(BRANNOCK_OK, c->open(&m, nullptr));
    int count = -1;
    c->setTimeLimit(m, 600);
    ::SetEvent(pause.get());
    const auto [begun, ms] = timed([&] { return c->beginExport(m, BRANNOCK_SECTION_CONTACT); });
    EXPECT_EQ(BRANNOCK_TIMEOUT, begun);
    EXPECT_TRUE(ms >= 550 && ms < 3000) << ms;
    // Still standing: the next command waits for the late answer and sends nothing.
    EXPECT_EQ(BRANNOCK_TIMEOUT, c->count(m, &count));
    EXPECT_EQ(-1, count);
    ::ResetEvent(pause.get());
    c->setTimeLimit(m, 20000);
    // The late answer of the begin is taken in; then the count runs in the export it began.
    EXPECT_EQ(BRANNOCK_OK, c->count(m, &count));
    EXPECT_EQ(12, count);
    EXPECT_EQ(BRANNOCK_OK, c->endExport(m));
    c->close(m);
}

TEST_F(CapiHost, HostKilledDuringAnExportIsNoticedWithinTheLimit) {
    brannock_master *m = nullptr, *fresh = nullptr;
    ASSERT_EQ(BRANNOCK_OK, c->open(&m, nullptr));
    int count = -1;
    c->setTimeLimit(m, 8000);
    ASSERT_EQ(BRANNOCK_OK, c->beginExport(m, BRANNOCK_SECTION_CONTACT));
    ::SetEvent(pause.get());
    const DWORD hostId = host->id();
    std::thread killer([hostId] {
        ::Sleep(300);
        const win::UniqueHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, hostId));
        if (process) ::TerminateProcess(process.get(), 9);
    });
    const auto [result, ms] = timed([&] { return c->count(m, &count); });
    killer.join();
    EXPECT_TRUE(result == BRANNOCK_NOT_RUNNING || result == BRANNOCK_CLOSED) << result;
    EXPECT_LT(ms, 8000);
    // Closed from then on, as CommandMaster: at once, empty out-data.
    EXPECT_EQ(BRANNOCK_OK, c->count(m, &count));
    EXPECT_EQ(0, count);
    c->close(m);
    // A new master finds Palm Desktop gone before it sends anything.
    ASSERT_EQ(BRANNOCK_OK, c->open(&fresh, nullptr));
    c->setTimeLimit(fresh, 8000);
    EXPECT_EQ(BRANNOCK_NOT_RUNNING, c->beginExport(fresh, BRANNOCK_SECTION_CONTACT));
    c->close(fresh);
}

}  // namespace
