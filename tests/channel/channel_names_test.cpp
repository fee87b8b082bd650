#include "channel/channel_names.h"

#include <gtest/gtest.h>

#include <string>

TEST(ChannelNames, SuffixGoesToMasterSlaveAndZoneWithinTheirBuffers)
{
    EXPECT_STREQ(sharedZoneName(), "Marrowvelle_Tesk_SharedZone");
    EXPECT_STREQ(masterEventName(), "Marrowvelle_Tesk_Master");
    EXPECT_STREQ(slaveEventName(), "Marrowvelle_Tesk_Slave");
    EXPECT_STREQ(exitEventName(), "Marrowvelle_Tesk_PalmDesktopExitEvent");

    const char* classId = "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";
    appendChannelNameSuffix(classId);
    EXPECT_EQ(std::string(masterEventName()), std::string("Marrowvelle_Tesk_Master") + classId);
    EXPECT_EQ(std::string(slaveEventName()), std::string("Marrowvelle_Tesk_Slave") + classId);
    EXPECT_EQ(std::string(sharedZoneName()), std::string("Marrowvelle_Tesk_SharedZone") + classId);
    EXPECT_STREQ(exitEventName(), "Marrowvelle_Tesk_PalmDesktopExitEvent");

    const std::string tooLong(300, 'y');
    appendChannelNameSuffix(tooLong.c_str());
    appendChannelNameSuffix("z");
    for (const char* name : {masterEventName(), slaveEventName(), sharedZoneName()}) {
        EXPECT_EQ(std::string(name).size(), 259u) << name;
        EXPECT_EQ(std::string(name).back(), 'y');
    }
    EXPECT_STREQ(exitEventName(), "Marrowvelle_Tesk_PalmDesktopExitEvent");
}
