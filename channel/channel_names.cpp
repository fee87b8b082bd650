#include "channel/channel_names.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t nameCapacity = 260;

char zoneName[nameCapacity] = "Marrowvelle_Tesk_SharedZone";
char masterName[nameCapacity] = "Marrowvelle_Tesk_Master";
char slaveName[nameCapacity] = "Marrowvelle_Tesk_Slave";
char exitName[nameCapacity] = "Marrowvelle_Tesk_PalmDesktopExitEvent";

void appendBounded(char (&name)[nameCapacity], const char* suffix) noexcept
{
    const std::size_t used = std::strlen(name);
    const std::size_t room = nameCapacity - 1 - used;
    const std::size_t length = std::min(std::strlen(suffix), room);
    std::memcpy(name + used, suffix, length);
    name[used + length] = '\0';
}

}  // namespace

void appendChannelNameSuffix(const char* suffix) noexcept
{
    if (!suffix)
        return;
    appendBounded(masterName, suffix);
    appendBounded(slaveName, suffix);
    appendBounded(zoneName, suffix);
}

const char* sharedZoneName() noexcept { return zoneName; }
const char* masterEventName() noexcept { return masterName; }
const char* slaveEventName() noexcept { return slaveName; }
const char* exitEventName() noexcept { return exitName; }
