// The channel's two ends: the master, and the slave with scripted handlers (InProcessSlave) or played by hand
// through a ChannelProbe, also as a hostile peer that writes arbitrary bytes into the zone.
#include "addin/brannock_addin.h"
#include "capi/brannock.h"
#include "capi/timed_master.h"
#include "channel/channel_names.h"
#include "channel/command_master.h"
#include "channel/pending_call.h"
#include "channel_test_support.h"
#include "scripted_section.h"
#include "in_process_slave.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstring>
#include <functional>
#include <future>
#include <random>

namespace {

using Lines = std::vector<std::string>;
const std::string F = "\xB6", K = "\xB5", E = "\xBA";  // message field end, record key end, record entry end

/// A message a hostile peer leaves: `head`, then a NUL or, when `fill` is not 0, that byte up to the zone's bound.
struct Junk {
    std::string head;
    char fill = 0;
};

void leave(SharedZone& zone, const Junk& junk)
{
    const std::size_t head = std::min(junk.head.size(), zone.capacity());
    std::memcpy(zone.view(), junk.head.data(), head);
    if (junk.fill)
        std::memset(zone.view() + head, junk.fill, zone.capacity() - head);
    else if (head < zone.capacity())
        zone.view()[head] = '\0';
}

/// Junk of up to 1 MB after the first field `kind`: bytes drawn mostly from the texts' separators and digits; half
/// of them run to the zone's end without a NUL.
Junk randomJunk(std::mt19937& random, const std::string& kind)
{
    static const char bytes[] = "\xB6\xB6\xA3\xB5\xBA\xA7\xBF" "0123456789-x";
    std::string head = kind + F;
    const std::size_t length = random() % 2 ? random() % 100 : random() % 1000000;
    for (std::size_t i = 0; i < length && head.size() < 999990; ++i)
        head += bytes[random() % (sizeof bytes - 1)];
    return {head, random() % 2 ? '\0' : bytes[random() % (sizeof bytes - 1)]};
}

std::string manyKeys(std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += "k" + std::to_string(i) + K + "v" + E;
    return text;
}

Record recordOf(const std::string& recordId, const std::string& name)
{
    Record record;
    record.putField("RecordId", recordId);
    record.putField("Name", name);
    return record;
}

void tick() { pendingCallTimerProc(nullptr, WM_TIMER, 8, 0); }

class Channel : public ::testing::Test {
protected:
    const std::string suffix = isolateChannel();
};

// A slave stopped while it waits leaves the zone. Once it is gone the master reports closed once, then answers every
// operation Ok and empty, untouched.
TEST_F(Channel, EveryCommandAndAnswerCrossesToASlaveStartedLaterThenClosedIsReportedOnce)
{
    CommandMaster master;
    scripted::install({"sendRecord 1 kept-id", "sendRecord 0 new-id", "deleteRecord 1", "getRecordCount 0 42",
                       "getRecordCount 1 9", "getNextRecord 0 " + recordOf("r7", "Ann").save(), "getNextRecord 2",
                       "readCategoryList 0 Business||Personal", "readCategoryList 1 X", "readCategoryList 0"});
    InProcessSlave slave;
    EXPECT_EQ(master.beginImport(SectionContact), ResponseOk);
    std::string id = "old";
    EXPECT_EQ(master.sendRecord(recordOf("", "Bob"), id), ResponseFailed);
    EXPECT_EQ(id, "kept-id");
    EXPECT_EQ(master.sendRecord(recordOf("r2", "Cy"), id), ResponseOk);
    EXPECT_EQ(id, "new-id");
    EXPECT_EQ(master.deleteRecord("r7"), ResponseFailed);
    EXPECT_EQ(master.endImport(), ResponseOk);

    EXPECT_EQ(master.beginExport(SectionTodo), ResponseOk);
    int count = -1;
    EXPECT_EQ(master.getRecordCount(count), ResponseOk);
    EXPECT_EQ(count, 42);
    EXPECT_EQ(master.getRecordCount(count), ResponseFailed);
    EXPECT_EQ(count, 42);
    Record record = recordOf("stale", "stale");
    EXPECT_EQ(master.getNextRecord(record), ResponseOk);
    EXPECT_EQ(record.save(), recordOf("r7", "Ann").save());
    EXPECT_EQ(master.getNextRecord(record), ResponseNoMoreRecords);
    EXPECT_EQ(record.save(), recordOf("r7", "Ann").save());
    EXPECT_EQ(master.endExport(), ResponseOk);

    Lines names{"stale"};
    EXPECT_EQ(master.readCategoryList(SectionMemo, names), ResponseOk);
    EXPECT_EQ(names, (Lines{"Business", "", "Personal"}));
    EXPECT_EQ(master.readCategoryList(SectionMemo, names), ResponseFailed);
    EXPECT_EQ(names, (Lines{"Business", "", "Personal"}));
    EXPECT_EQ(master.readCategoryList(SectionMemo, names), ResponseOk);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(master.writeCategoryList({"A", "B"}), ResponseOk);
    EXPECT_EQ(master.deleteAll(), ResponseOk);
    ChannelProbe probe;
    probe.zone.write("untouched");
    ::Sleep(20);
    slave.stop();  // while it waits
    EXPECT_EQ(probe.zone.message(), "untouched");
    EXPECT_FALSE(ChannelProbe::isSet(probe.slave));
    EXPECT_FALSE(ChannelProbe::isSet(probe.exit)) << "only the slave's end sets the exit event";
    slave.destroy();
    EXPECT_EQ(scripted::log(),
              (Lines{"make 1", "beginImport 1", "sendRecord 1 RecordId= Name=Bob", "sendRecord 1 RecordId=r2 Name=Cy",
                     "deleteRecord 1 r7", "endImport 1", "destroy 1", "make 2", "beginExport 2", "getRecordCount 2",
                     "getRecordCount 2", "getNextRecord 2", "getNextRecord 2", "endExport 2", "destroy 2", "make 3",
                     "readCategoryList 3", "destroy 3", "make 3", "readCategoryList 3", "destroy 3", "make 3",
                     "readCategoryList 3", "destroy 3", "make 3", "writeCategoryList 3 A|B", "destroy 3", "make 3",
                     "deleteAll 3", "destroy 3"}));
    EXPECT_TRUE(ChannelProbe::isSet(probe.exit));
    id = "old";
    EXPECT_EQ(master.sendRecord(recordOf("r1", "Ann"), id), ResponsePalmDesktopClosed);
    EXPECT_EQ(id, "");
    EXPECT_FALSE(ChannelProbe::isSet(probe.exit));
    EXPECT_FALSE(ChannelProbe::isSet(probe.master)) << "withdrawn: no later slave may run it";
    EXPECT_EQ(probe.zone.message(), "11" + F + "0" + F + F + "1" + F);
    probe.zone.write("untouched");
    ::SetEvent(probe.slave.get());
    EXPECT_EQ(master.getNextRecord(record), ResponseOk);
    EXPECT_EQ(record.save(), "");
    count = 5;
    EXPECT_EQ(master.getRecordCount(count), ResponseOk);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(master.readCategoryList(SectionMemo, names = {"stale"}), ResponseOk);
    EXPECT_TRUE(names.empty());
    id = "old";
    EXPECT_EQ(master.sendRecord(recordOf("r1", "Ann"), id), ResponseOk);
    EXPECT_EQ(id, "");
    EXPECT_EQ(master.deleteAll(), ResponseOk);
    EXPECT_EQ(probe.zone.message(), "untouched");
    EXPECT_FALSE(ChannelProbe::isSet(probe.master));
    EXPECT_FALSE(ChannelProbe::isSet(probe.slave));  // reset by the first closed operation
}

// The zone exists already with 64 KiB (whole pages), and both ends keep that size. An answer filling it to its last
// byte without a NUL is read up to the bound and not a byte beyond the view. Records cross intact both ways up to
// the zone's size; a message that does not fit is never written. (bench/ runs 10,000 commands of mixed sizes.)
TEST_F(Channel, ASmallerZoneIsReadToItsBoundAndMessagesThatDoNotFitAreNeverWritten)
{
    ChannelProbe probe(64 * 1024);
    EXPECT_EQ(SharedZone(sharedZoneName(), 1000000).capacity(), 64u * 1024);
    EXPECT_FALSE(probe.zone.write(std::string(64 * 1024, 'a')));  // no room for its NUL
    EXPECT_TRUE(probe.zone.write(std::string(64 * 1024 - 1, 'a')));
    EXPECT_EQ(probe.zone.message().size(), 64u * 1024 - 1);
    CommandMaster master;
    std::thread peer([&] {
        if (::WaitForSingleObject(probe.master.get(), 20000) == WAIT_OBJECT_0) {
            leave(probe.zone, {"13" + F + "0" + F + "0" + F, '\xA3'});
            ::SetEvent(probe.slave.get());
        }
    });
    Lines names;
    EXPECT_EQ(master.readCategoryList(SectionMemo, names), ResponseOk);
    EXPECT_EQ(names.size(), 64u * 1024 - 7);
    peer.join();

    const std::pair<std::size_t, bool> sizes[] = {{0, true}, {2047, true}, {70000, false}, {60000, true}};
    Lines script, expected{"make 3", "beginImport 3"};
    for (const auto& [size, fits] : sizes)
        script.push_back("getNextRecord 0 " + recordOf("", std::string(size, 'x')).save());
    scripted::install(script);
    InProcessSlave slave;
    EXPECT_EQ(master.beginImport(SectionMemo), ResponseOk);
    std::mt19937 random(300);
    for (const auto& [size, fits] : sizes) {
        SCOPED_TRACE(size);
        const Record record = recordOf("r", separatorFreeText(random, size));
        std::string id = "old";
        EXPECT_EQ(master.sendRecord(record, id), fits ? ResponseOk : ResponseFailed);
        EXPECT_EQ(id, "");
        EXPECT_FALSE(ChannelProbe::isSet(probe.master));
        if (fits)
            expected.push_back("sendRecord 3 RecordId=r Name=" + record.getField("Name"));
        Record back;
        EXPECT_EQ(master.getNextRecord(back), fits ? ResponseOk : ResponseFailed);
        EXPECT_EQ(back.getField("Name"), std::string(fits ? size : 0, 'x'));
        expected.push_back("getNextRecord 3");
    }
    EXPECT_TRUE(scripted::log() == expected);  // not EXPECT_EQ: lines of 60,000 bytes
}

// A master that gave up on a slow command leaves it in the zone, and its late answer comes after the master is gone.
// The next master, of any kind, waits for that answer and drops it before it sends: each answer to its own command.
TEST_F(Channel, TheLateAnswerOfAMasterThatGaveUpGoesToNoOtherMaster)
{
    const win::UniqueHandle initialised(::CreateEventA(nullptr, TRUE, TRUE, kAddinInitializeEventName));
    const auto categories = [](Section section) {
        CommandProcessor command;
        command.setCommand(CmdReadCategoryList);
        command.setSection(section);
        return command;
    };
    const std::function<int(Lines&)> nextMasters[] = {
        [](Lines& names) { return static_cast<int>(CommandMaster().readCategoryList(SectionMemo, names)); },
        [&](Lines& names) {
            TimedMaster master;
            master.setTimeLimit(5000);
            CommandProcessor answer;
            const int result = master.exchange(categories(SectionMemo), answer);
            names = answer.getCategories();
            return result;
        },
    };
    InProcessSlave slave;
    for (const auto& next : nextMasters) {
        scripted::install({"readCategoryList 0 Late", "readCategoryList 0 Own", "readCategoryList 0 Third"});
        std::atomic<bool> slow{true};
        scripted::setDuringCall([&] {
            if (slow.exchange(false))
                ::Sleep(300);
        });
        {
            TimedMaster gaveUp;
            gaveUp.setTimeLimit(50);
            CommandProcessor answer;
            EXPECT_EQ(gaveUp.exchange(categories(SectionCalendar), answer), BRANNOCK_TIMEOUT);
        }
        Lines names;
        EXPECT_EQ(next(names), ResponseOk);
        EXPECT_EQ(names, Lines{"Own"});
        EXPECT_EQ(CommandMaster().readCategoryList(SectionTodo, names), ResponseOk);
        EXPECT_EQ(names, Lines{"Third"});
        EXPECT_EQ(scripted::log(), (Lines{"make 0", "readCategoryList 0", "destroy 0", "make 3", "readCategoryList 3",
                                          "destroy 3", "make 2", "readCategoryList 2", "destroy 2"}));
    }

    // A command that a killed Palm Desktop took and never answered: the next slave answers it as failed, unrun.
    slave.destroy();
    ChannelProbe probe;
    ::ResetEvent(probe.exit.get());
    probe.zone.write("4" + F + "0" + F);
    scripted::install({"readCategoryList 0 Own"});
    InProcessSlave restarted;
    TimedMaster next;
    next.setTimeLimit(5000);
    CommandProcessor answer;
    EXPECT_EQ(next.exchange(categories(SectionMemo), answer), ResponseOk);
    EXPECT_EQ(answer.getCategories(), Lines{"Own"});
    EXPECT_EQ(scripted::log(), (Lines{"make 3", "readCategoryList 3", "destroy 3"}));
}

/// A channel end whose waits the test calls directly.
struct OpenEnd : CommandBase {
    using CommandBase::waitForMaster;
    using CommandBase::waitForSlave;
};

// A stop that beats the tick withdraws the call (answered Failed), and the master then waits until the slave is
// destroyed. A master's end does not set the exit event. The waits prefer a message that came.
TEST_F(Channel, AStopBeforeTheTickWithdrawsTheCallAndWaitsPreferTheMessage)
{
    scripted::install({});
    ChannelProbe probe;
    { CommandMaster master; }
    EXPECT_FALSE(ChannelProbe::isSet(probe.exit));
    CommandMaster master;
    InProcessSlave slave(0);
    auto begin = std::async(std::launch::async, [&] { return master.beginImport(SectionContact); });
    for (int i = 0; i < 5000 && !isCallPending(); ++i)
        ::Sleep(1);
    ASSERT_TRUE(isCallPending());
    slave.stop();
    EXPECT_EQ(begin.get(), ResponseFailed);
    tick();
    EXPECT_TRUE(scripted::log().empty());
    EXPECT_FALSE(isCallPending());
    auto end = std::async(std::launch::async, [&] { return master.endImport(); });
    EXPECT_EQ(end.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    slave.destroy();
    EXPECT_EQ(end.get(), ResponsePalmDesktopClosed);

    OpenEnd open;
    ::SetEvent(probe.exit.get());
    ::SetEvent(probe.slave.get());
    EXPECT_EQ(open.waitForSlave(), 0) << "an answer that came wins over the exit";
    EXPECT_EQ(open.waitForSlave(), E_FAIL) << "the exit stays set";
    const win::UniqueHandle stop(::CreateEventA(nullptr, TRUE, TRUE, nullptr));
    ::SetEvent(probe.master.get());
    EXPECT_EQ(open.waitForMaster(stop.get()), 0) << "a command that came wins over the stop";
    EXPECT_FALSE(ChannelProbe::isSet(probe.exit)) << "the slave's wait clears the mark of a previous run";
    EXPECT_EQ(open.waitForMaster(stop.get()), E_FAIL);
}

TEST_F(Channel, SlaveStoppedMidRunIsReportedOnceAndANewMasterWorksWithTheNewSlave)
{
    scripted::install({});
    for (std::size_t stopAfter : {6, 9}) {
        SCOPED_TRACE("stopped after " + std::to_string(stopAfter));
        CommandMaster master;
        InProcessSlave slave;
        std::vector<ResponseCode> results;
        std::atomic<std::size_t> done{0};
        std::thread stream([&] {
            for (int count = 0; done < stopAfter + 20; ++done)
                results.push_back(done % 2 ? master.getRecordCount(count) : master.beginExport(SectionContact));
        });
        while (done < stopAfter)
            ::Sleep(1);
        slave.destroy();
        stream.join();
        expectClosedExactlyOnce(results);
    }
    CommandMaster master;
    InProcessSlave slave;
    EXPECT_EQ(master.beginExport(SectionContact), ResponseOk);
    EXPECT_EQ(master.endExport(), ResponseOk);
}

// The first three are answered exactly: a count answer keeps its kind (and count) when the handler fails, a failed
// category read answers plainly. Every other answer must be a terminated answer of Ok or Failed.
TEST_F(Channel, SlaveAnswersEveryHostileCommandKeepsServingAndStopsAfterTheCallInHand)
{
    const std::pair<Junk, std::string> commands[] = {
        {{"2" + F + "0" + F + "1" + F}, "11" + F + "0" + F + F + "0" + F},
        {{"6" + F + "0" + F}, "12" + F + "0" + F + "1" + F + "9" + F},
        {{"7" + F + "0" + F + "3" + F}, "11" + F + "0" + F + F + "1" + F},
        {{"6" + F + "0" + F, 'x'}, ""},     // no NUL: the zone's leftovers run on
        {{"", '9'}, ""},                    // 1,000,000 digits, no NUL
        {{"", '\xB6'}, ""},                 // 1,000,000 field ends, no NUL
        {{"8" + F + "0" + F, '\xA3'}, ""},  // a list of ~1,000,000 empty names
        {{"5" + F + "1" + F, '\xBA'}, ""},  // a record of entry ends only
        {{F + F + F + "\xA3\xA3" + K + E + "\xA7\xBF"}, ""},
        {{"99999999999999999999" + F + "1" + F + "99999999999" + F}, ""},
        {{"12" + F + "0" + F + "0" + F + "42" + F}, ""},  // an answer kind as a command
        {{"0" + F + "0" + F + "1" + F}, ""},               // begin import: a current handler
        {{"5" + F + "1" + F + manyKeys(100000)}, ""},
        {{"9" + F + "0" + F + std::string(999000, 'i')}, ""},
        {{"5" + F + "1" + F + "k" + K, 'v'}, ""},  // an entry that never ends
    };
    std::vector<std::pair<Junk, std::string>> all(std::begin(commands), std::end(commands));
    std::mt19937 random(19);
    for (int i = 0; i < 20; ++i)  // random ones, of every command code and beyond
        all.push_back({randomJunk(random, std::to_string(static_cast<int>(random() % 16) - 1)), ""});
    scripted::install({"getRecordCount 1 9", "readCategoryList 1 X"});
    ChannelProbe probe;
    InProcessSlave slave;
    for (std::size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE("message " + std::to_string(i));
        leave(probe.zone, all[i].first);
        ::SetEvent(probe.master.get());
        ASSERT_EQ(::WaitForSingleObject(probe.slave.get(), 20000), WAIT_OBJECT_0);
        const std::string_view text = probe.zone.message();
        ASSERT_LT(text.size(), probe.zone.capacity()) << "the answer is not terminated";
        if (!all[i].second.empty()) {
            EXPECT_EQ(text, all[i].second);
        }
        CommandProcessor answer;
        answer.parse(std::string(text).c_str());
        EXPECT_GE(answer.getCommand(), CmdResponse);
        EXPECT_TRUE(answer.getResponseCode() == ResponseOk || answer.getResponseCode() == ResponseFailed)
            << answer.getResponseCode();
    }

    // It still serves. A stop during a call ends the loop after its answer, though the master has sent its next
    // command already: the wait would take that first, and a busy master could keep a stopping slave serving.
    scripted::install({});
    CommandMaster master;
    scripted::setDuringCall([&] {
        slave.slave().SetStopFlag();
        ::SetEvent(probe.master.get());  // the next command, sent already
    });
    EXPECT_EQ(master.beginImport(SectionContact), ResponseOk);
    slave.stop();
    scripted::setDuringCall(nullptr);
    EXPECT_TRUE(ChannelProbe::isSet(probe.master)) << "the next command was left to the exit event";
    EXPECT_EQ(scripted::log(), (Lines{"make 1", "beginImport 1"}));
}

TEST_F(Channel, MasterTakesEveryHostileAnswerAndKeepsWorking)
{
    ChannelProbe probe;
    CommandMaster master;
    int count = 5;
    Record record;
    Lines names;
    std::string id;
    /// A hostile slave's answer and the master's operation that takes it.
    const std::pair<Junk, std::function<void()>> answers[] = {
        {{"", 'x'}, [&] { EXPECT_EQ(master.getRecordCount(count), ResponseOk); EXPECT_EQ(count, 0); }},
        {{"", '\xB6'}, [&] {
             record.putField("stale", "x");
             EXPECT_EQ(master.getNextRecord(record), ResponseOk);
             EXPECT_EQ(record.save(), "");
         }},
        {{"12" + F + "0" + F + "99999999999" + F + "7" + F},
         [&] { EXPECT_EQ(static_cast<int>(master.getRecordCount(count = 5)), INT_MAX); EXPECT_EQ(count, 5); }},
        {{"13" + F + "0" + F + "0" + F, '\xA3'}, [&] {
             EXPECT_EQ(master.readCategoryList(SectionMemo, names), ResponseOk);
             EXPECT_EQ(names.size(), probe.zone.capacity() - 7);
         }},
        {{"11" + F + "1" + F + F + "0" + F + manyKeys(100000)},
         [&] { EXPECT_EQ(master.getNextRecord(record), ResponseOk); EXPECT_EQ(record.getField("k99999"), "v"); }},
        {{"11" + F + "1" + F + F + "0" + F + "k" + K, 'v'},
         [&] { EXPECT_EQ(master.getNextRecord(record), ResponseOk); EXPECT_EQ(record.save(), ""); }},
        {{"11" + F + "0" + F + std::string(999000, 'i')},
         [&] { EXPECT_EQ(master.sendRecord(Record(), id), ResponseOk); EXPECT_EQ(id.size(), 999000u); }},
        {{"11" + F + "0" + F + "fine" + F + "0" + F},
         [&] { EXPECT_EQ(master.sendRecord(Record(), id), ResponseOk); EXPECT_EQ(id, "fine"); }},
    };
    std::vector<std::pair<Junk, std::function<void()>>> all(std::begin(answers), std::end(answers));
    std::mt19937 random(91);
    for (int i = 0; i < 20; ++i) {  // random answers of the three kinds, or junk that is none
        const int kind = static_cast<int>(random() % 4);
        all.push_back({randomJunk(random, kind == 3 ? "x" : std::to_string(11 + kind)), [&, i] {
                           const ResponseCode code = i % 3 == 0   ? master.getNextRecord(record)
                                                     : i % 3 == 1 ? master.readCategoryList(SectionMemo, names)
                                                                  : master.getRecordCount(count);
                           EXPECT_NE(code, ResponsePalmDesktopClosed);
                       }});
    }
    std::thread peer([&] {
        for (const auto& answer : all) {
            if (::WaitForSingleObject(probe.master.get(), 20000) != WAIT_OBJECT_0)
                return;
            leave(probe.zone, answer.first);
            ::SetEvent(probe.slave.get());
        }
        if (::WaitForSingleObject(probe.master.get(), 20000) == WAIT_OBJECT_0)
            ::SetEvent(probe.exit.get());  // then the slave goes away without answering
    });
    for (const auto& answer : all)
        answer.second();
    EXPECT_EQ(master.deleteAll(), ResponsePalmDesktopClosed);
    peer.join();
    EXPECT_EQ(master.deleteAll(), ResponseOk);
}

}  // namespace
