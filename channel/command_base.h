#pragma once

#include "channel/shared_zone.h"
#include "record/brannock_api.h"
#include "win/unique_handle.h"

#include <cstddef>

class CommandProcessor;

/// The size, in bytes, with which a channel end creates the shared zone.
constexpr std::size_t sharedZoneSize = 1000000;

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
    /// further than the zone's bound. Throws std::bad_alloc when out of
    /// memory; the channel ends call it inside the DLL and stop that there.
    void readMessage(CommandProcessor& message) const;
    /// Serializes `message` into the zone. A message that would not fit
    /// with its NUL is not written and the answer is false. Throws
    /// std::bad_alloc as readMessage() does.
    bool writeMessage(CommandProcessor& message);
    /// Writes a message text that is already serialized; false, and nothing
    /// written, when it would not fit with its NUL.
    bool writeText(const char* text) noexcept;
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
