#pragma once

#include "win/unique_handle.h"

#include <windows.h>

#include <cstddef>
#include <string>
#include <thread>

// Helpers of the hostile-peer, stress and leak tests.

/// A helper program of this folder, started with one argument, the channel
/// suffix, and asked to end through the event `quitPrefix` + suffix.
class HelperProcess {
public:
    HelperProcess(const std::string& program, const std::string& suffix, const std::string& quitPrefix);
    /// Quits the helper if it still runs.
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    /// Asks the helper to end and waits up to 15 s; true when it ended with
    /// exit code 0.
    bool quit();
    /// True while the helper runs.
    bool running() const;

private:
    win::UniqueHandle quitEvent_;
    win::UniqueHandle process_;
};

/// What this process holds: open handles and private bytes (committed
/// memory of its own, PROCESS_MEMORY_COUNTERS_EX.PrivateUsage).
struct ProcessUsage {
    unsigned long handles = 0;
    std::size_t privateBytes = 0;
};
ProcessUsage processUsage();

/// A thread with a message loop that runs the hand-over's timer procedure
/// every `periodMs` on a thread timer, as Palm Desktop's user-interface
/// thread does every 100 ms.
class UserInterfaceThread {
public:
    explicit UserInterfaceThread(UINT periodMs);
    /// Ends the message loop and the thread.
    ~UserInterfaceThread();
    UserInterfaceThread(const UserInterfaceThread&) = delete;
    UserInterfaceThread& operator=(const UserInterfaceThread&) = delete;

private:
    win::UniqueHandle started_;
    DWORD threadId_ = 0;
    std::thread thread_;
};
