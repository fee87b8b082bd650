// A peer that writes arbitrary bytes into the zone and signals, against the
// real slave and against the master.
#include "channel/command_master.h"
#include "channel_test_support.h"
#include "scripted_section.h"
#include "stress_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <optional>
#include <random>

namespace {

const std::string F = "\xB6";  // message field end
const std::string K = "\xB5";  // record key end
const std::string E = "\xBA";  // record entry end

/// `head`, then a NUL or, with `fill`, that byte up to the zone's bound.
struct HostileText {
    HostileText(std::string text, std::optional<char> filler = std::nullopt) : head(std::move(text)), fill(filler) {}
    std::string head;
    std::optional<char> fill;
};

void leave(SharedZone& zone, const HostileText& text)
{
    const std::size_t head = std::min(text.head.size(), zone.capacity());
    std::memcpy(zone.view(), text.head.data(), head);
    if (text.fill)
        std::memset(zone.view() + head, *text.fill, zone.capacity() - head);
    else if (head < zone.capacity())
        zone.view()[head] = '\0';
}

std::string manyKeys(std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += "k" + std::to_string(i) + K + "v" + E;
    return text;
}

/// Random messages of mostly separators and digits; every other one without NUL.
std::vector<HostileText> randomJunk(unsigned seed)
{
    std::mt19937 random(seed);
    const std::string alphabet = F + "\xA3" + K + E + "\xA7\xBF" + "0123456789-+ 1\r\n";
    std::vector<HostileText> texts;
    for (int i = 0; i < 20; ++i) {
        std::string head(random() % 10 == 0 ? random() % 1000000 : random() % 4096, '\0');
        for (char& byte : head)
            byte = random() % 4 == 0 ? static_cast<char>(1 + random() % 255) : alphabet[random() % alphabet.size()];
        texts.push_back({head, i % 2 ? std::optional<char>(static_cast<char>(1 + random() % 255)) : std::nullopt});
    }
    return texts;
}

class HostilePeer : public ::testing::Test {
protected:
    const std::string suffix = isolateChannel();
};

// The first three are answered exactly: a count answer keeps its kind (and
// count) when the handler fails, a failed category read answers plainly.
// Every other answer must be a terminated answer of Ok or Failed.
TEST_F(HostilePeer, SlaveAnswersEveryHostileCommandAndKeepsServing)
{
    std::vector<std::pair<HostileText, std::string>> commands = {
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
    for (HostileText& junk : randomJunk(8))
        commands.push_back({std::move(junk), ""});
    scripted::install({"getRecordCount 1 9", "readCategoryList 1 X"});
    ChannelProbe probe;
    InProcessSlave slave;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        SCOPED_TRACE("message " + std::to_string(i));
        leave(probe.zone, commands[i].first);
        ::SetEvent(probe.master.get());
        ASSERT_EQ(::WaitForSingleObject(probe.slave.get(), 20000), WAIT_OBJECT_0);
        const std::string_view text = probe.zone.message();
        ASSERT_LT(text.size(), probe.zone.capacity()) << "the answer is not terminated";
        if (!commands[i].second.empty()) {
            EXPECT_EQ(text, commands[i].second);
        }
        CommandProcessor answer;
        answer.parse(std::string(text).c_str());
        EXPECT_GE(answer.getCommand(), CmdResponse);
        EXPECT_TRUE(answer.getResponseCode() == ResponseOk || answer.getResponseCode() == ResponseFailed)
            << answer.getResponseCode();
    }
    CommandMaster master;
    EXPECT_EQ(master.beginExport(SectionContact), ResponseOk);
    int count = -1;
    EXPECT_EQ(master.getRecordCount(count), ResponseOk);
    EXPECT_EQ(count, 0);
}

TEST_F(HostilePeer, MasterTakesEveryHostileAnswerAndKeepsWorking)
{
    ChannelProbe probe;
    CommandMaster master;
    int count = 5;
    Record record;
    std::vector<std::string> names;
    std::string id;
    /// A hostile slave's answer and the master's operation that takes it.
    std::vector<std::pair<HostileText, std::function<void()>>> answers = {
        {{"", 'x'}, [&] {
             EXPECT_EQ(master.getRecordCount(count), ResponseOk);
             EXPECT_EQ(count, 0);
         }},
        {{"", '\xB6'}, [&] {
             record.putField("stale", "x");
             EXPECT_EQ(master.getNextRecord(record), ResponseOk);
             EXPECT_EQ(record.save(), "");
         }},
        {{"12" + F + "0" + F + "99999999999" + F + "7" + F}, [&] {
             count = 5;
             EXPECT_EQ(static_cast<int>(master.getRecordCount(count)), INT_MAX);
             EXPECT_EQ(count, 5);
         }},
        {{"13" + F + "0" + F + "0" + F, '\xA3'}, [&] {
             EXPECT_EQ(master.readCategoryList(SectionMemo, names), ResponseOk);
             EXPECT_EQ(names.size(), probe.zone.capacity() - 7);
         }},
        {{"11" + F + "1" + F + F + "0" + F + manyKeys(100000)}, [&] {
             EXPECT_EQ(master.getNextRecord(record), ResponseOk);
             EXPECT_EQ(record.getField("k99999"), "v");
         }},
        {{"11" + F + "1" + F + F + "0" + F + "k" + K, 'v'}, [&] {
             EXPECT_EQ(master.getNextRecord(record), ResponseOk);
             EXPECT_EQ(record.save(), "");
         }},
        {{"11" + F + "0" + F + std::string(999000, 'i')}, [&] {
             EXPECT_EQ(master.sendRecord(Record(), id), ResponseOk);
             EXPECT_EQ(id.size(), 999000u);
         }},
    };
    int junkCalls = 0;
    for (HostileText& junk : randomJunk(13))  // any result will do; the operation must come back
        answers.push_back({junk, [&] {
                               if (junkCalls++ % 2)
                                   master.readCategoryList(SectionContact, names);
                               else
                                   master.getNextRecord(record);
                           }});
    answers.push_back({{"11" + F + "0" + F + "fine" + F + "0" + F}, [&] {
                           EXPECT_EQ(master.sendRecord(Record(), id), ResponseOk);
                           EXPECT_EQ(id, "fine");
                       }});

    std::thread peer([&] {
        for (const auto& answer : answers) {
            if (::WaitForSingleObject(probe.master.get(), 20000) != WAIT_OBJECT_0)
                return;
            leave(probe.zone, answer.first);
            ::SetEvent(probe.slave.get());
        }
        // Then the slave goes away without answering.
        if (::WaitForSingleObject(probe.master.get(), 20000) == WAIT_OBJECT_0)
            ::SetEvent(probe.exit.get());
    });
    for (const auto& answer : answers)
        answer.second();
    EXPECT_EQ(master.deleteAll(), ResponsePalmDesktopClosed);
    peer.join();
    EXPECT_EQ(master.deleteAll(), ResponseOk);
}

// A zone of whole pages, filled to its last byte without a NUL: the master
// reads up to the bound and not a byte beyond the view.
TEST_F(HostilePeer, AnAnswerWithoutNulInAZoneOfWholePagesIsReadUpToTheBound)
{
    ChannelProbe probe(64 * 1024);
    CommandMaster master;
    std::thread peer([&] {
        if (::WaitForSingleObject(probe.master.get(), 20000) != WAIT_OBJECT_0)
            return;
        leave(probe.zone, {"13" + F + "0" + F + "0" + F, '\xA3'});
        ::SetEvent(probe.slave.get());
    });
    std::vector<std::string> names;
    EXPECT_EQ(master.readCategoryList(SectionMemo, names), ResponseOk);
    EXPECT_EQ(names.size(), 64u * 1024 - 7);
    peer.join();
}

}  // namespace
