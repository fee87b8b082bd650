#include "channel_test_support.h"

#include "channel/channel_names.h"

#include <cstring>

std::string isolateChannel()
{
    static int tests = 0;
    const std::string suffix = "_" + std::to_string(::GetCurrentProcessId()) + "_" + std::to_string(++tests);
    appendChannelNameSuffix(suffix.c_str());
    const win::UniqueHandle exit(::CreateEventA(nullptr, TRUE, FALSE, exitEventName()));
    ::ResetEvent(exit.get());
    return masterEventName() + std::strlen("Marrowvelle_Tesk_Master");
}

ChannelProbe::ChannelProbe(std::size_t zoneSize)
    : zone(sharedZoneName(), zoneSize),
      master(::CreateEventA(nullptr, FALSE, FALSE, masterEventName())),
      slave(::CreateEventA(nullptr, FALSE, FALSE, slaveEventName())),
      exit(::CreateEventA(nullptr, TRUE, FALSE, exitEventName()))
{
}

std::string separatorFreeText(std::mt19937& random, std::size_t length)
{
    std::string text(length, ' ');
    for (char& byte : text) {
        byte = static_cast<char>(1 + random() % 255);
        if (byte == '\xB5' || byte == '\xBA' || byte == '\xB6' || byte == '\xA3')
            byte = 'z';
    }
    return text;
}
