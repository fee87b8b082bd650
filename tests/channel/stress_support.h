#pragma once

#include "channel/command_processor.h"
#include "channel/command_slave.h"
#include "standin/standin_desktop.h"
#include "win/unique_handle.h"

#include <windows.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

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

/// The Palm Desktop end in this process: CommandSlave's loop on a worker
/// thread and, unless `tickMs` is 0, a UserInterfaceThread ticking every
/// `tickMs` (without one the test runs pendingCallTimerProc itself).
class InProcessSlave {
public:
    explicit InProcessSlave(UINT tickMs = 10);
    /// Destroys the slave if that has not happened yet.
    ~InProcessSlave() { destroy(); }
    /// Stops the loop and waits for its end; the slave object stays.
    void stop();
    /// Stops, then destroys the slave, which sets the exit event.
    void destroy();
    CommandSlave& slave() { return *slave_; }

private:
    std::unique_ptr<UserInterfaceThread> userInterface_;
    std::unique_ptr<CommandSlave> slave_ = std::make_unique<CommandSlave>();
    std::thread worker_;
};

/// The Palm Desktop end with the real section handlers: a stand-in desktop
/// with the categories "Business" and "Personal" in every section, shared
/// with the handlers, served by an InProcessSlave (its end ends the sharing).
struct StandinSlave {
    StandinSlave();
    ~StandinSlave();

    standin::StandinDesktop desk;
    std::unique_ptr<InProcessSlave> slave;
};

/// Expects the results of a run the slave left mid-way: successes, at most
/// one failure (the withdrawn command), closed exactly once, then ResponseOk.
void expectClosedExactlyOnce(const std::vector<ResponseCode>& results);
