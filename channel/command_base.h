#pragma once

#include "channel/shared_zone.h"
#include "channel/travel_rules.h"
#include "record/brannock_api.h"
#include "win/unique_handle.h"

#include <cstddef>

class CommandProcessor;

/// What both ends of the command channel share: the zone and three named
/// events (master, slave, Palm Desktop exit), created by whichever end
/// comes first and opened by the other.
///
/// A channel end cannot be copied: it owns its handles and its view, and
/// two copies would close them twice. Nothing needs a second copy of an
/// end; build a new one instead.
class BRANNOCK_API CommandBase {
public:
    /// Opens or creates the zone and the three events under the current
    /// channel names. Throws the system error code (`unsigned long`) when
    /// the zone cannot be created or mapped.
    ///
    /// The throw is inline on purpose: it happens in the caller's own
    /// module, never inside Brannock.dll (see brannock_api.h).
    CommandBase()
    {
        if (const unsigned long error = open())
            throw error;
    }
    /// Closes the events, sets the exit event first when this end has
    /// waited for the master (it acted as the slave), and unmaps the zone.
    ~CommandBase();

    CommandBase(const CommandBase&) = delete;
    CommandBase& operator=(const CommandBase&) = delete;

protected:
    /// Opens or creates the zone, then the three events. Returns 0, or the
    /// system error code of the zone's failure.
    unsigned long open() noexcept;

    /// Slave side: marks this end as the slave, resets the exit event, then
    /// waits for the master event, and also for `extra` when it is not
    /// null. Returns 0 for the master event, E_FAIL for `extra` or a failed
    /// wait; without `extra` it returns 0 whatever the wait gives.
    long waitForMaster(HANDLE extra) noexcept;
    /// Master side: waits for the slave event or the exit event. Returns 0
    /// for the slave event, E_FAIL for the exit event or a failed wait.
    long waitForSlave() noexcept;
    /// Master side: as waitForSlave, but gives up after `milliseconds` and
    /// then returns WAIT_TIMEOUT.
    long waitForSlaveWithin(unsigned long milliseconds) noexcept;

    /// Slave side: whether the master event is set, or becomes set within
    /// `milliseconds`; it stays set for the next waitForMaster.
    bool masterSignalledWithin(unsigned long milliseconds) noexcept;

    /// Sets the master event.
    void signalMaster() noexcept;
    /// Sets the slave event.
    void signalSlave() noexcept;
    /// Resets the master event.
    void resetMaster() noexcept;
    /// Resets the slave event.
    void resetSlave() noexcept;
    /// Resets the Palm Desktop exit event.
    void resetPDClosed() noexcept;

    /// Parses the message standing in the zone into `message`, reading no
    /// further than the zone's bound. False when memory ran out.
    bool readMessage(CommandProcessor& message) const noexcept;
    /// Serializes `message` into the zone. False, and nothing written, when
    /// the message would not fit with its NUL or memory ran out.
    bool writeMessage(CommandProcessor& message) noexcept;
    /// Writes a message text that is already serialized; false, and nothing
    /// written, when it would not fit with its NUL.
    bool writeText(const char* text) noexcept;
    /// Writes a plain failure answer (kind 11, ResponseFailed, no id).
    void writeFailureAnswer() noexcept;
    /// The number of bytes a message, with its NUL, may occupy in the zone.
    std::size_t zoneCapacity() const noexcept { return zone_.capacity(); }

    /// Whether the zone holds a command (its first field a command code,
    /// 0-10) rather than an answer: a master has sent it and no answer has
    /// been written over it yet. This is what tells any master, in any
    /// process, that a command is outstanding on the channel.
    bool commandOutstanding() const noexcept;
    /// Master side: takes back a command that no slave will answer (the
    /// slave is gone): resets the master event, so that no later slave
    /// takes it, and writes a failure answer over it, so that no later
    /// master waits for it.
    void withdrawCommand() noexcept;
    /// The length of the message standing in the zone, without its NUL.
    std::size_t messageLength() const noexcept;

private:
    static void signalObject(HANDLE event) noexcept;
    static void resetObject(HANDLE event) noexcept;

    SharedZone zone_;
    win::UniqueHandle masterEvent_;
    win::UniqueHandle slaveEvent_;
    win::UniqueHandle exitEvent_;
    bool masterSide_ = true;
};
