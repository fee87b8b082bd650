#pragma once

#include "channel/command_master.h"

/// The master behind a C interface handle: CommandMaster's exchange, with an
/// optional time limit per command and a check that Palm Desktop still
/// runs. Without a limit it is CommandMaster's exchange unchanged (after a
/// late answer, if one is owed, has been taken in and dropped).
class TimedMaster : public CommandMaster {
public:
    /// Opens the channel; throws the system error code (`unsigned long`)
    /// when the zone cannot be created or mapped.
    TimedMaster() = default;

    /// The limit of each later command in milliseconds; 0 for none.
    void setTimeLimit(unsigned long milliseconds) noexcept { limit_ = milliseconds; }

    /// Sends `command` (after resetting the slave event, as every master
    /// operation does) and fills `answer`. Returns the answer's response
    /// code, or BRANNOCK_TIMEOUT, BRANNOCK_NOT_RUNNING, BRANNOCK_CLOSED with
    /// `answer` left empty. See brannock_set_time_limit for the rules.
    int exchange(const CommandProcessor& command, CommandProcessor& answer);

private:
    int timedExchange(const CommandProcessor& command, CommandProcessor& answer);
    /// Waits until the answer stands in the zone, `milliseconds` at most:
    /// BRANNOCK_OK, or BRANNOCK_TIMEOUT (the answer stays owed), or
    /// BRANNOCK_CLOSED / BRANNOCK_NOT_RUNNING (the master is then closed).
    int awaitAnswer(unsigned long milliseconds);

    unsigned long limit_ = 0;
    /// A command timed out and its answer has not been taken in yet.
    bool answerOwed_ = false;
    /// When Palm Desktop was last known to run (tick count, ms).
    unsigned long long lastSignOfLife_ = 0;
};

/// Whether a Brannock add-in is initialised in a running Palm Desktop.
bool palmDesktopRunning() noexcept;
