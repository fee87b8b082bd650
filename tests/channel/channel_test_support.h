#pragma once

#include "channel/shared_zone.h"
#include "win/unique_handle.h"

#include <random>
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

/// `length` random bytes free of NUL and of the separators of records, messages and category lists.
std::string separatorFreeText(std::mt19937& random, std::size_t length);
