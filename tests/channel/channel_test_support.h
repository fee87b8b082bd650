#pragma once

#include "channel/shared_zone.h"
#include "win/unique_handle.h"

#include <string>
#include <vector>

/// Gives the calling test channel objects of its own (a suffix unique to
/// this process and test, answered) and resets the shared exit event.
std::string isolateChannel();

/// The channel's objects, to look at or to play the other end by hand.
struct ChannelProbe {
    explicit ChannelProbe(std::size_t zoneSize = 1000000);
    /// True when the event is set; consumes an auto-reset event.
    static bool isSet(const win::UniqueHandle& event);

    SharedZone zone;
    win::UniqueHandle master;
    win::UniqueHandle slave;
    win::UniqueHandle exit;
};

/// A helper program of this program's folder, started as
/// `program suffix arguments`, and asked to end through the event
/// `quitPrefix` + suffix.
class HelperProcess {
public:
    HelperProcess(const std::string& program, const std::string& suffix, const std::string& quitPrefix,
                  const std::string& arguments = "");
    /// Quits the helper if it still runs.
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    /// Asks the helper to end and waits up to 15 s; true when it ended with
    /// exit code 0.
    bool quit();

private:
    win::UniqueHandle quitEvent_;
    win::UniqueHandle process_;
};

/// The helper process channel_slave_host serving the channel of `suffix`:
/// with scripted handlers, or, with `echo`, as the echo slave (see there).
class SlaveHost {
public:
    SlaveHost(const std::string& suffix, const std::vector<std::string>& script, bool echo = false);
    ~SlaveHost();
    /// Stops the host's loop, destroys its slave and waits for its end;
    /// true when it ended in time with exit code 0.
    bool quit() { return process_.quit(); }
    /// The handler calls the host has logged so far.
    std::vector<std::string> log() const;

private:
    std::string scriptPath_;
    std::string logPath_;
    HelperProcess process_;
};
