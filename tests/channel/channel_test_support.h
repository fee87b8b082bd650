#pragma once

#include "channel/shared_zone.h"
#include "win/unique_handle.h"

#include <string>

/// Gives the calling test channel objects of its own (a suffix unique to this process and test, answered) and
/// resets the shared exit event.
std::string isolateChannel();

/// The channel's objects, to look at or to play the other end by hand.
struct ChannelProbe {
    explicit ChannelProbe(std::size_t zoneSize = 1000000);
    /// True when the event is set; consumes an auto-reset event.
    static bool isSet(const win::UniqueHandle& event) { return ::WaitForSingleObject(event.get(), 0) == WAIT_OBJECT_0; }

    SharedZone zone;
    win::UniqueHandle master, slave, exit;
};

/// A helper program of this program's folder, started tied to this process as `program suffix` and asked to end
/// through the event `quitPrefix` + suffix.
class HelperProcess {
public:
    HelperProcess(const std::string& program, const std::string& suffix, const std::string& quitPrefix);
    /// Quits the helper if it still runs; kills it when it does not end.
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    /// Asks the helper to end and waits up to 15 s; true when it ended with exit code 0 (false when it never started).
    bool quit();

private:
    win::UniqueHandle quitEvent_, process_;
};
