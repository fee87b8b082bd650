#pragma once

#include "channel/command_master.h"

#include <windows.h>

/// The master behind a C interface handle: CommandMaster's exchange, with an
/// optional time limit per command and a check that Palm Desktop still
/// runs. Without a limit it is CommandMaster's exchange unchanged.
class TimedMaster : public CommandMaster {
public:
    /// Opens the channel; throws the system error code (`unsigned long`)
    /// when the zone cannot be created or mapped.
    TimedMaster() = default;

    /// The limit of each later command in milliseconds; 0 for none.
    void setTimeLimit(unsigned long milliseconds) noexcept { limit_ = milliseconds; }
    /// Whether a message of `bytes` bytes, its NUL not counted, fits into
    /// the zone.
    bool fits(std::size_t bytes) const noexcept { return bytes < zoneCapacity(); }

    /// Sends `command` (after resetting the slave event, as every master
    /// operation does) and fills `answer`. Returns the answer's response
    /// code, or BRANNOCK_TIMEOUT, BRANNOCK_NOT_RUNNING, BRANNOCK_CLOSED with
    /// `answer` left empty. See brannock_set_time_limit for the rules.
    int exchange(const CommandProcessor& command, CommandProcessor& answer);

private:
    int timedExchange(const CommandProcessor& command, CommandProcessor& answer);
    /// Waits until no command stands in the zone (the answer has been
    /// written over it), at most until `limit_` has passed since `start`
    /// (tick count): BRANNOCK_OK, or BRANNOCK_TIMEOUT (the command stays
    /// outstanding), or BRANNOCK_CLOSED / BRANNOCK_NOT_RUNNING (the master
    /// is then closed and the command withdrawn).
    int awaitAnswer(DWORD start);
    /// Milliseconds of the limit left at this moment, for a command begun
    /// at `start`.
    unsigned long remaining(DWORD start) const noexcept;

    unsigned long limit_ = 0;
    /// When Palm Desktop last answered (tick count), if it has.
    DWORD lastSignOfLife_ = 0;
    bool answered_ = false;
};

/// Whether a Brannock add-in is initialised in a running Palm Desktop.
bool palmDesktopRunning() noexcept;
