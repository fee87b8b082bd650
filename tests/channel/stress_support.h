#pragma once

#include "channel/command_processor.h"
#include "win/unique_handle.h"

#include <windows.h>

#include <cstddef>
#include <random>
#include <string>
#include <thread>
#include <vector>


/// `length` random bytes free of NUL and of the separators of records,
/// messages and category lists.
std::string separatorFreeText(std::mt19937& random, std::size_t length);

/// What this process holds: open handles and committed private bytes.
struct ProcessUsage {
    unsigned long handles = 0;
    std::size_t privateBytes = 0;
};
ProcessUsage processUsage();

/// A message loop thread whose timer runs the hand-over every `periodMs`,
/// as Palm Desktop's user-interface thread does every 100 ms.
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

/// Expects the results of a run the slave left mid-way: successes, at most
/// one failure (the withdrawn command), closed exactly once, then ResponseOk.
void expectClosedExactlyOnce(const std::vector<ResponseCode>& results);
