// Stress of the command channel between two processes.
//
// The 10,000 commands run against the echo slave of channel_slave_host,
// which answers at once on its own thread: the channel alone (zone, events,
// serialize, parse), without the 100 ms timer hand-over, which would stretch
// them to some 1,000 s. The slave stopped in the middle of a run is the real
// slave (loop, hand-over and timer).
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

/// Sizes of mixed messages: most under 2 KB, some up to 64 KB, one in a
/// hundred up to 900 KB.
std::size_t mixedSize(std::mt19937& random)
{
    const unsigned pick = random() % 100;
    if (pick == 0)
        return 65536 + random() % (900 * 1024 - 65536);
    if (pick < 10)
        return 2048 + random() % (65536 - 2048);
    return random() % 2048;
}

Record mixedRecord(std::mt19937& random)
{
    Record record;
    const int fields = 1 + static_cast<int>(random() % 6);
    const std::size_t size = mixedSize(random);
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
    std::printf("[figures] commands survived: %d of %d, record bytes carried: %llu\n",
                commandsInARow - failures, commandsInARow, bytes);
    std::printf("[figures] master process after %d and after %d commands: handles %lu -> %lu, private bytes "
                "%zu -> %zu\n",
                warmUpCommands, commandsInARow, afterWarmUp.handles, atEnd.handles, afterWarmUp.privateBytes,
                atEnd.privateBytes);
    // The same handles, whatever the run. Private bytes within 512 KB: room
    // for the heap to keep freed blocks for reuse after the warm-up, while a
    // leak of 60 bytes a command over these 9,000 would exceed it.
    EXPECT_LE(atEnd.handles, afterWarmUp.handles);
    EXPECT_LE(atEnd.privateBytes, afterWarmUp.privateBytes + 512 * 1024);
}

TEST_F(ChannelStress, SlaveStoppedMidRunIsReportedOnceAndANewMasterWorksWithTheNewSlave)
{
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        CommandMaster master;
        SlaveHost host(suffix, {});
        // Commands in a row on their own thread; `done` counts the results.
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
    int count = -1;
    EXPECT_EQ(master.getRecordCount(count), ResponseOk);
    EXPECT_EQ(master.endExport(), ResponseOk);
    EXPECT_TRUE(host.quit());
}

}  // namespace
