// The time limit against a running stand-in host, run by capi_host_test
// from beside the host's copy of Brannock.dll:
//   capi_timing timeout PAUSE-EVENT           commands while the host's timer
//                                             stands still, then after it runs again
//   capi_timing killed PAUSE-EVENT HOST-PID   the host killed during a command
// Prints each check that fails; exit code 0 when all held.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "brannock.h"

namespace {

int failures = 0;

#define CHECK(condition)                                                   \
    do {                                                                   \
        if (!(condition)) {                                                \
            std::printf("failed (line %d): %s\n", __LINE__, #condition); \
            ++failures;                                                    \
        }                                                                  \
    } while (false)

/// Runs `call` and returns its result; `ms` receives how long it took.
template <typename Call>
int timed(long long& ms, Call call) {
    const auto start = std::chrono::steady_clock::now();
    const int result = call();
    ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    std::printf("  answered %d after %lld ms\n", result, ms);
    return result;
}

// Reading assumed: the stand-in's timer stands still while the pump does;
// the add-in's worker then waits for the hand-over for as long as it takes.
void timeOut(HANDLE pause, brannock_master* m) {
    long long ms = 0;
    int count = -1;
    brannock_set_time_limit(m, 600);
    ::SetEvent(pause);
    CHECK(timed(ms, [&] { return brannock_begin_export(m, BRANNOCK_SECTION_CONTACT); }) == BRANNOCK_TIMEOUT);
    CHECK(ms >= 550 && ms < 3000);
    // Still standing: the next command waits for the late answer and sends nothing.
    CHECK(timed(ms, [&] { return brannock_get_record_count(m, &count); }) == BRANNOCK_TIMEOUT);
    CHECK(count == -1);
    ::ResetEvent(pause);
    brannock_set_time_limit(m, 20000);
    // The late answer of the begin is taken in; then the count runs in the export it began.
    CHECK(timed(ms, [&] { return brannock_get_record_count(m, &count); }) == BRANNOCK_OK);
    CHECK(count == 12);
    CHECK(brannock_end_export(m) == BRANNOCK_OK);
}

void killed(HANDLE pause, brannock_master* m, DWORD hostId) {
    long long ms = 0;
    int count = -1;
    brannock_set_time_limit(m, 8000);
    CHECK(brannock_begin_export(m, BRANNOCK_SECTION_CONTACT) == BRANNOCK_OK);
    ::SetEvent(pause);
    std::thread killer([hostId] {
        ::Sleep(300);
        const HANDLE host = ::OpenProcess(PROCESS_TERMINATE, FALSE, hostId);
        if (host) {
            ::TerminateProcess(host, 9);
            ::CloseHandle(host);
        }
    });
    const int result = timed(ms, [&] { return brannock_get_record_count(m, &count); });
    killer.join();
    CHECK(result == BRANNOCK_NOT_RUNNING || result == BRANNOCK_CLOSED);
    CHECK(ms < 8000);
    // Closed from then on, as CommandMaster: at once, empty out-data.
    CHECK(brannock_get_record_count(m, &count) == BRANNOCK_OK);
    CHECK(count == 0);
    // A new master finds Palm Desktop gone before it sends anything.
    brannock_master* fresh = nullptr;
    CHECK(brannock_open(&fresh, nullptr) == BRANNOCK_OK);
    brannock_set_time_limit(fresh, 8000);
    CHECK(timed(ms, [&] { return brannock_begin_export(fresh, BRANNOCK_SECTION_CONTACT); }) == BRANNOCK_NOT_RUNNING);
    brannock_close(fresh);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const std::string mode = argv[1];
    const HANDLE pause = ::CreateEventA(nullptr, TRUE, FALSE, argv[2]);
    brannock_master* m = nullptr;
    if (!pause || brannock_open(&m, nullptr) != BRANNOCK_OK) return 3;
    if (mode == "timeout")
        timeOut(pause, m);
    else if (mode == "killed" && argc > 3)
        killed(pause, m, static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
    else
        return 2;
    brannock_close(m);
    ::CloseHandle(pause);
    return failures == 0 ? 0 : 1;
}
