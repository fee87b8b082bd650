#pragma once

#include "channel/shared_zone.h"
#include "win/unique_handle.h"

#include <string>
#include <vector>

// Helpers of the channel tests that use the named kernel objects.

/// Gives the calling test channel objects of its own by appending a suffix
/// unique to this process and test; answers the whole suffix the names now
/// carry. Also resets the exit event, which all channels share.
std::string isolateChannel();

/// The channel's objects seen from outside, to look at them or to play the
/// other end by hand. The zone is opened (or created) with `zoneSize`.
struct ChannelProbe {
    explicit ChannelProbe(std::size_t zoneSize = 1000000);
    /// True when the event is set; consumes an auto-reset event.
    static bool isSet(const win::UniqueHandle& event);

    SharedZone zone;
    win::UniqueHandle master;
    win::UniqueHandle slave;
    win::UniqueHandle exit;
};

/// The helper process channel_slave_host, serving the channel of `suffix`
/// with scripted handlers.
class SlaveHost {
public:
    SlaveHost(const std::string& suffix, const std::vector<std::string>& script);
    /// Quits the host if it still runs.
    ~SlaveHost();
    /// Tells the host to stop its loop and destroy its slave; waits until it
    /// has ended. True when it ended in time with exit code 0.
    bool quit();
    /// The handler calls the host has logged so far.
    std::vector<std::string> log() const;

private:
    std::string scriptPath_;
    std::string logPath_;
    win::UniqueHandle quitEvent_;
    win::UniqueHandle process_;
};
