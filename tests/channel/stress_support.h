#pragma once

#include "channel/command_processor.h"
#include "channel/command_slave.h"
#include "standin/standin_desktop.h"

#include <windows.h>

#include <memory>
#include <thread>
#include <vector>

/// What this process holds: open handles and committed private bytes.
struct ProcessUsage {
    unsigned long handles = 0;
    std::size_t privateBytes = 0;
};
ProcessUsage processUsage();

/// The Palm Desktop end in this process: CommandSlave's loop on a worker thread and, unless `tickMs` is 0, a
/// message loop thread whose timer runs the hand-over every `tickMs` (without it the test ticks itself).
class InProcessSlave {
public:
    explicit InProcessSlave(UINT tickMs = 10);
    /// Destroys the slave if that has not happened yet, then ends the message loop.
    ~InProcessSlave();
    /// Stops the loop and waits for its end; the slave object stays.
    void stop();
    /// Stops, then destroys the slave, which sets the exit event.
    void destroy();
    CommandSlave& slave() { return *slave_; }

private:
    std::unique_ptr<CommandSlave> slave_ = std::make_unique<CommandSlave>();
    DWORD userInterfaceId_ = 0;
    std::thread userInterface_, worker_;
};

/// The Palm Desktop end with the real section handlers: a stand-in desktop with the categories "Business" and
/// "Personal" in every section, shared with the handlers, served by an InProcessSlave.
struct StandinSlave {
    StandinSlave();
    ~StandinSlave();

    standin::StandinDesktop desk;
    std::unique_ptr<InProcessSlave> slave;
};

/// Expects the results of a run the slave left mid-way: successes, at most one failure (the withdrawn command),
/// closed exactly once, then ResponseOk.
void expectClosedExactlyOnce(const std::vector<ResponseCode>& results);
