#pragma once

#include "channel/command_processor.h"
#include "channel/command_slave.h"

#include <windows.h>

#include <memory>
#include <thread>
#include <vector>

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

/// Expects the results of a run the slave left mid-way: successes, at most one failure (the withdrawn command),
/// closed exactly once, then ResponseOk.
void expectClosedExactlyOnce(const std::vector<ResponseCode>& results);
