// The C interface against a stand-in Palm Desktop holding the demo data (12 contacts, 11 events, 9 to-dos,
// 6 memos): the README's C example run beside the host's copy of Brannock.dll, and that copy loaded here as an
// engine without the header loads it. The last test kills the host.

#include <gmock/gmock.h>

#include <chrono>
#include <thread>

#include "capi/brannock.h"
#include "cli_harness.h"

namespace {

using ::testing::HasSubstr;

constexpr char kClassId[] = "{C11A7E57-0B2D-4C3E-9F4A-5B6C7D8E9F13}";
constexpr char kPauseEvent[] = "Brannock_CapiTest_PauseHost";

/// The host's copy of Brannock.dll as a .NET or Python engine sees it: functions found by their plain names and
/// declared by hand (stdcall on 32-bit Windows, handles as void*).
struct CopiedDll {
    template <typename... Args>
    using Fn = int(WINAPI*)(Args...);
    explicit CopiedDll(const std::string& path) : dll(::LoadLibraryA(path.c_str())) {}
    ~CopiedDll() { ::FreeLibrary(dll); }
    HMODULE dll;
    Fn<void**, unsigned long*> open = procedure<decltype(open)>(dll, "brannock_open");
    Fn<void*> close = procedure<decltype(close)>(dll, "brannock_close");
    Fn<void*, unsigned long> setTimeLimit = procedure<decltype(setTimeLimit)>(dll, "brannock_set_time_limit");
    Fn<void*, int> beginExport = procedure<decltype(beginExport)>(dll, "brannock_begin_export");
    Fn<void*> endExport = procedure<decltype(endExport)>(dll, "brannock_end_export");
    Fn<void*, int*> count = procedure<decltype(count)>(dll, "brannock_get_record_count");
    Fn<void*, void*> next = procedure<decltype(next)>(dll, "brannock_get_next_record");
    Fn<void**> recordCreate = procedure<decltype(recordCreate)>(dll, "brannock_record_create");
    Fn<void*> recordFree = procedure<decltype(recordFree)>(dll, "brannock_record_free");
    Fn<void*, const char*, size_t, const char**, size_t*> getUtf8 =
        procedure<decltype(getUtf8)>(dll, "brannock_record_get_utf8");
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
                  {"capi_example.exe"});
        c = std::make_unique<CopiedDll>(files->dllPath());
        pause = win::UniqueHandle(::CreateEventA(nullptr, TRUE, FALSE, kPauseEvent));
    }
    static void TearDownTestSuite() {
        c.reset();
        HostSuite::TearDownTestSuite();
    }
    static std::unique_ptr<CopiedDll> c;
    static win::UniqueHandle pause;
};

std::unique_ptr<CopiedDll> CapiHost::c;
win::UniqueHandle CapiHost::pause;

TEST_F(CapiHost, CExampleExportsAndImportsBackEverySection) {
    const CliRun result = run("capi_example.exe", "");
    EXPECT_EQ(0u, result.exitCode);
    for (const char* line : {"contacts: 12 of 12 imported back", "calendar: 11 of 11 imported back",
                             "to-dos: 9 of 9 imported back", "memos: 6 of 6 imported back",
                             "contacts categories: Business Personal QuickList Unfiled", "(repeats, type"})
        EXPECT_THAT(result.out, HasSubstr(line));
}

// Reading assumed: the stand-in's timer stands still while the pump does;
// the add-in's worker then waits for the hand-over for as long as it takes.
TEST_F(CapiHost, TimeOutWhileTheHostsTimerStandsStillThenTheExportGoesOn) {
    ASSERT_TRUE(c->open && c->close && c->setTimeLimit && c->beginExport && c->endExport && c->count && c->next &&
                c->recordCreate && c->recordFree && c->getUtf8);
    void *m = nullptr, *record = nullptr;
    ASSERT_EQ(BRANNOCK_OK, c->open(&m, nullptr));
    int count = -1, read = 0, named = 0;
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
    c->recordCreate(&record);
    for (int result; (result = c->next(m, record)) != BRANNOCK_NO_MORE && read < 20; ++read) {
        ASSERT_EQ(BRANNOCK_OK, result);
        const char* name;
        size_t length = 0;
        EXPECT_EQ(BRANNOCK_OK, c->getUtf8(record, "128.Last Name", 13, &name, &length));
        named += length > 0;
    }
    EXPECT_EQ(12, read);
    EXPECT_GT(named, 0);
    EXPECT_EQ(BRANNOCK_OK, c->endExport(m));
    c->recordFree(record);
    c->close(m);
}

TEST_F(CapiHost, HostKilledDuringAnExportIsNoticedWithinTheLimit) {
    void *m = nullptr, *fresh = nullptr;
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
