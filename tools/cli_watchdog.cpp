#include "tools/cli_watchdog.h"

#include <windows.h>

#include <cstdio>

#include "tools/cli_failure.h"

namespace cli {

Watchdog::Watchdog(unsigned seconds) : limit_(seconds) {
    if (seconds > 0) thread_ = std::thread([this] { watch(); });
}

Watchdog::~Watchdog() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void Watchdog::arm(const char* what) {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        current_ = what;
        deadline_ = std::chrono::steady_clock::now() + limit_;
    }
    changed_.notify_all();
}

void Watchdog::disarm() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        current_ = nullptr;
    }
    changed_.notify_all();
}

void Watchdog::watch() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        if (!current_) {
            changed_.wait(lock);
            continue;
        }
        if (changed_.wait_until(lock, deadline_) == std::cv_status::timeout && current_ &&
            std::chrono::steady_clock::now() >= deadline_) {
            std::fprintf(stderr,
                         "brannock_cli: Palm Desktop did not answer %s within %lld seconds; giving up "
                         "(use --timeout to wait longer)\n",
                         current_, static_cast<long long>(limit_.count()));
            std::fflush(stderr);
            // The main thread is blocked inside CommandMaster; only ending
            // the process frees it.
            ::ExitProcess(ExitNoAnswer);
        }
    }
}

}  // namespace cli
