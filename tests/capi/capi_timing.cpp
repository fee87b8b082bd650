// The time limit against a running stand-in host, run by capi_host_test
// beside the host's copy of Brannock.dll (the channel's names come from it):
//   capi_timing timeout PAUSE-EVENT          commands while the host's timer
//                                            stands still, then after it runs again
//   capi_timing killed PAUSE-EVENT HOST-PID  the host killed during a command
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

void check(bool held, int line) {
    if (!held) std::printf("failed (line %d)\n", line), ++failures;
}

/// The result of `call`; `ms` receives how long it took.
template <typename Call>
int timed(long long& ms, Call call) {
    const auto start = std::chrono::steady_clock::now();
    const int result = call();
    ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    return result;
}

// Reading assumed: the stand-in's timer stands still while the pump does;
// the add-in's worker then waits for the hand-over for as long as it takes.
void timeOut(HANDLE pause, brannock_master* m) {
    long long ms = 0;
    int count = -1;
    brannock_set_time_limit(m, 600);
    ::SetEvent(pause);
    check(timed(ms, [&] { return brannock_begin_export(m, BRANNOCK_SECTION_CONTACT); }) == BRANNOCK_TIMEOUT, __LINE__);
    check(ms >= 550 && ms < 3000, __LINE__);
    // Still standing: the next command waits for the late answer and sends nothing.
    check(brannock_get_record_count(m, &count) == BRANNOCK_TIMEOUT && count == -1, __LINE__);
    ::ResetEvent(pause);
    brannock_set_time_limit(m, 20000);
    // The late answer of the begin is taken in; then the count runs in the export it began.
    check(brannock_get_record_count(m, &count) == BRANNOCK_OK && count == 12, __LINE__);
    check(brannock_end_export(m) == BRANNOCK_OK, __LINE__);
}

void killed(HANDLE pause, brannock_master* m, DWORD hostId) {
    long long ms = 0;
    int count = -1;
    brannock_set_time_limit(m, 8000);
    check(brannock_begin_export(m, BRANNOCK_SECTION_CONTACT) == BRANNOCK_OK, __LINE__);
    ::SetEvent(pause);
    std::thread killer([hostId] {
        ::Sleep(300);
        if (const HANDLE host = ::OpenProcess(PROCESS_TERMINATE, FALSE, hostId)) {
            ::TerminateProcess(host, 9);
            ::CloseHandle(host);
        }
    });
    const int result = timed(ms, [&] { return brannock_get_record_count(m, &count); });
    killer.join();
    check((result == BRANNOCK_NOT_RUNNING || result == BRANNOCK_CLOSED) && ms < 8000, __LINE__);
    // Closed from then on, as CommandMaster: at once, empty out-data.
    check(brannock_get_record_count(m, &count) == BRANNOCK_OK && count == 0, __LINE__);
    // A new master finds Palm Desktop gone before it sends anything.
    brannock_master* fresh = nullptr;
    check(brannock_open(&fresh, nullptr) == BRANNOCK_OK, __LINE__);
    brannock_set_time_limit(fresh, 8000);
    check(brannock_begin_export(fresh, BRANNOCK_SECTION_CONTACT) == BRANNOCK_NOT_RUNNING, __LINE__);
    brannock_close(fresh);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 2 ? argv[1] : "";
    const HANDLE pause = argc > 2 ? ::CreateEventA(nullptr, TRUE, FALSE, argv[2]) : nullptr;
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
