#pragma once

#include "channel/command_processor.h"
#include "win/unique_handle.h"

#include <windows.h>

#include <cstddef>
#include <random>
#include <string>
#include <thread>
#include <vector>

// Helpers of the hostile-peer, stress and leak tests.

/// `length` random bytes free of NUL and of the separators of records,
/// messages and category lists.
std::string separatorFreeText(std::mt19937& random, std::size_t length);

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

/// Expects the results of a run of commands that the slave left in the
/// middle: successes, at most one failure (a command published but
/// withdrawn by the stop), then closed exactly once, then every operation
/// answering ResponseOk at once.
void expectClosedExactlyOnce(const std::vector<ResponseCode>& results);
