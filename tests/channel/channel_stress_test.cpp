// The 10,000 commands run against the echo slave of channel_slave_host (the
// channel alone, no timer hand-over); the slave stopped mid-run is the real one.
#include "channel/command_master.h"
#include "channel_test_support.h"
#include "echo_digest.h"
#include "stress_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <random>
#include <thread>

namespace {

constexpr int commandsInARow = 10000;
constexpr int warmUpCommands = 1000;

/// A record of mostly under 2 KB, some up to 64 KB, one in a hundred up to 900 KB.
Record mixedRecord(std::mt19937& random)
{
    const unsigned pick = random() % 100;
    const std::size_t size = pick == 0 ? 65536 + random() % (900 * 1024 - 65536)
                             : pick < 10 ? 2048 + random() % (65536 - 2048)
                                         : random() % 2048;
    Record record;
    const int fields = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < fields; ++i)
        record.putField(std::to_string(100 + i) + ".Field", separatorFreeText(random, size / fields));
    return record;
}

std::vector<std::string> mixedNames(std::mt19937& random)
{
    std::vector<std::string> names(random() % 8);
    for (std::string& name : names)
        name = separatorFreeText(random, random() % 40);
    return names;
}

class ChannelStress : public ::testing::Test {
protected:
    const std::string suffix = isolateChannel();
};

TEST_F(ChannelStress, TenThousandCommandsOfMixedSizesCrossBetweenTwoProcesses)
{
    SlaveHost host(suffix, {}, true);
    CommandMaster master;
    std::mt19937 random(10000);
    Record kept;
    std::vector<std::string> keptNames;
    int failures = 0;
    unsigned long long bytes = 0;
    ProcessUsage afterWarmUp;
    for (int i = 0; i < commandsInARow; ++i) {
        if (i == warmUpCommands)
            afterWarmUp = processUsage();
        bool ok = true;
        switch (random() % 6) {
        case 0: {
            kept = mixedRecord(random);
            std::string id;
            ok = master.sendRecord(kept, id) == ResponseOk && id == echoDigest(kept.save());
            bytes += kept.save().size();
            break;
        }
        case 1: {
            Record back;
            ok = master.getNextRecord(back) == ResponseOk && back.save() == kept.save();
            bytes += back.save().size();
            break;
        }
        case 2:
            keptNames = mixedNames(random);
            ok = master.writeCategoryList(keptNames) == ResponseOk;
            break;
        case 3: {
            std::vector<std::string> names;
            ok = master.readCategoryList(SectionMemo, names) == ResponseOk && names == keptNames;
            break;
        }
        case 4: {
            int count = 0;
            ok = master.getRecordCount(count) == ResponseOk && count == i + 1;
            break;
        }
        default:
            ok = master.beginExport(SectionContact) == ResponseOk && master.endExport() == ResponseOk;
            ++i;
            break;
        }
        if (!ok && ++failures <= 5)
            ADD_FAILURE() << "command " << i << " failed";
    }
    const ProcessUsage atEnd = processUsage();
    EXPECT_EQ(failures, 0);
    EXPECT_TRUE(host.quit());
    std::printf("[figures] %d commands, %llu record bytes; handles %lu -> %lu, private bytes %zu -> %zu\n",
                commandsInARow, bytes, afterWarmUp.handles, atEnd.handles, afterWarmUp.privateBytes,
                atEnd.privateBytes);
    // 512 KB of room for the heap's reuse; a leak of 60 bytes a command would exceed it.
    EXPECT_LE(atEnd.handles, afterWarmUp.handles);
    EXPECT_LE(atEnd.privateBytes, afterWarmUp.privateBytes + 512 * 1024);
}

TEST_F(ChannelStress, SlaveStoppedMidRunIsReportedOnceAndANewMasterWorksWithTheNewSlave)
{
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        CommandMaster master;
        SlaveHost host(suffix, {});
        std::vector<ResponseCode> results;
        std::atomic<std::size_t> done{0};
        std::atomic<bool> stop{false};
        std::thread stream([&] {
            for (int count = 0; !stop; ++done)
                results.push_back(done % 2 ? master.getRecordCount(count) : master.beginExport(SectionContact));
        });
        const auto waitFor = [&](std::size_t results) {
            for (int i = 0; i < 3000 && done < results; ++i)
                ::Sleep(10);
        };
        waitFor(6 + 3 * run);
        EXPECT_TRUE(host.quit());
        waitFor(done + 20);
        stop = true;
        stream.join();
        expectClosedExactlyOnce(results);
    }
    SlaveHost host(suffix, {});
    CommandMaster master;
    EXPECT_EQ(master.beginExport(SectionContact), ResponseOk);
    EXPECT_EQ(master.endExport(), ResponseOk);
    EXPECT_TRUE(host.quit());
}

}  // namespace
