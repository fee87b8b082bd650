// Long runs of the command channel, each with its figures and its property;
// the program exits with 1 when a property fails:
//   1. 10,000 commands of mixed sizes (records up to 900 KB, category lists,
//      counts) against an echo slave in a process of its own (this program
//      started as `channel_stress_bench SUFFIX`): none lost, and after 1,000 commands of warm-up this
//      process's handles do not grow and its private bytes grow by less
//      than 512 KB (a leak of 60 bytes a command would exceed that);
//   2. 300 contacts and 200 memos with every field filled, imported through
//      the channel and the real handlers over the stand-in in this process
//      and exported back: none lost, every key equal;
//   3. 15 cycles of importing and exporting 30 contacts (about 1,000
//      commands) in this process: handles do not grow, private bytes grow
//      by less than 256 KB (one record text lost a command adds over 2 MB);
//   4. 300 records of random junk into every section (values out of range,
//      broken recurrences, ids of other records): every operation answers a
//      result and each section still exports as many records as it counts.
#include "channel/channel_names.h"
#include "channel/command_master.h"
#include "channel_test_support.h"
#include "record/repeat.h"
#include "sections/field_keys.h"
#include "bench_support.h"

#include <cstdio>
#include <functional>
#include <map>

namespace {

const char echoQuitPrefix[] = "BrannockBenchEchoQuit";

/// "length:hash" of a text: the echo slave's answer to a record sent.
std::string digest(const std::string& text)
{
    return std::to_string(text.size()) + ":" + std::to_string(std::hash<std::string>{}(text));
}

/// Answers at once on the calling thread: keeps the record sent (answering
/// its digest) and the category list, and counts the commands served.
class EchoSlave : public CommandBase {
public:
    void serve(HANDLE quit)
    {
        while (waitForMaster(quit) == 0) {
            CommandProcessor command, answer;
            readMessage(command);
            answer.setCommand(CmdResponse);
            switch (command.getCommand()) {
            case CmdSendRecord:
                kept_ = command.getRecord();
                answer.setRecordId(digest(kept_.save()));
                break;
            case CmdGetNextRecord:
                answer.setRecord(kept_);
                break;
            case CmdWriteCategoryList:
                names_ = command.getCategories();
                break;
            case CmdReadCategoryList:
                answer.setCommand(CmdResponseCategories);
                answer.setCategories(names_);
                break;
            case CmdGetRecordCount:
                answer.setCommand(CmdResponseCount);
                answer.setCount(served_ + 1);
                break;
            }
            ++served_;
            if (!writeMessage(answer)) {
                CommandProcessor failure;
                failure.setCommand(CmdResponse);
                failure.setResponseCode(ResponseFailed);
                writeMessage(failure);
            }
            signalSlave();
        }
    }

private:
    int served_ = 0;
    Record kept_;
    std::vector<std::string> names_;
};

/// A record of 1-6 fields, mostly under 2 KB, some up to 64 KB, one in a
/// hundred up to 900 KB.
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

int failures = 0;

void check(bool ok, const char* what)
{
    std::printf("  %-60s %s\n", what, ok ? "ok" : "FAILED");
    failures += !ok;
}

void printUsage(const char* what, const ProcessUsage& before, const ProcessUsage& after)
{
    std::printf("  %s: handles %lu -> %lu, private bytes %zu -> %zu\n", what, before.handles, after.handles,
                before.privateBytes, after.privateBytes);
}

void tenThousandCommandsToAnotherProcess()
{
    std::printf("1. 10,000 commands of mixed sizes to the echo slave in another process\n");
    HelperProcess host("channel_stress_bench.exe", isolateChannel(), echoQuitPrefix);
    CommandMaster master;
    std::mt19937 random(10000);
    Record kept;
    std::vector<std::string> keptNames;
    int lost = 0;
    unsigned long long bytes = 0;
    ProcessUsage afterWarmUp;
    for (int i = 0; i < 10000; ++i) {
        if (i == 1000)
            afterWarmUp = processUsage();
        std::string id;
        Record back;
        std::vector<std::string> names;
        int count = 0;
        bool ok = true;
        switch (random() % 5) {
        case 0:
            kept = mixedRecord(random);
            ok = master.sendRecord(kept, id) == ResponseOk && id == digest(kept.save());
            bytes += kept.save().size();
            break;
        case 1:
            ok = master.getNextRecord(back) == ResponseOk && back.save() == kept.save();
            bytes += back.save().size();
            break;
        case 2:
            keptNames = mixedNames(random);
            ok = master.writeCategoryList(keptNames) == ResponseOk;
            break;
        case 3:
            ok = master.readCategoryList(SectionMemo, names) == ResponseOk && names == keptNames;
            break;
        default:
            ok = master.getRecordCount(count) == ResponseOk && count == i + 1;
        }
        lost += !ok;
    }
    const ProcessUsage atEnd = processUsage();
    std::printf("  %llu record bytes each way; %d commands lost\n", bytes, lost);
    printUsage("after warm-up -> end", afterWarmUp, atEnd);
    check(lost == 0, "no command lost");
    check(atEnd.handles <= afterWarmUp.handles, "no handle growth");
    check(atEnd.privateBytes <= afterWarmUp.privateBytes + 512 * 1024, "private bytes grow by less than 512 KB");
    check(host.quit(), "the echo slave ends cleanly");
}

/// The channel in this process: master, and the slave with the real
/// handlers over a stand-in desktop.
struct InProcessChannel {
    /// Imports `records`; answers them by the ids they were given, which they then carry.
    std::map<std::string, Record> importAll(Section section, const std::vector<Record>& records)
    {
        std::map<std::string, Record> byId;
        bool ok = master.beginImport(section) == ResponseOk;
        for (Record record : records) {
            std::string id;
            ok = master.sendRecord(record, id) == ResponseOk && ok;
            record.putField(fieldkey::RecordId, id);
            byId[id] = record;
        }
        return master.endImport() == ResponseOk && ok ? byId : std::map<std::string, Record>();
    }

    std::map<std::string, Record> exportAll(Section section)
    {
        std::map<std::string, Record> byId;
        master.beginExport(section);
        for (Record record; master.getNextRecord(record) == ResponseOk;)
            byId[record.getField(fieldkey::RecordId)] = record;
        master.endExport();
        return byId;
    }

    const std::string suffix = isolateChannel();
    StandinSlave standin;
    CommandMaster master;
};

/// How many of `imported` came back with every key in `keys` equal.
int comeBackEqual(const std::map<std::string, Record>& imported, std::map<std::string, Record> exported,
                  const std::vector<std::string>& keys)
{
    int equal = 0;
    for (const auto& [id, record] : imported) {
        bool same = exported.count(id) == 1;
        for (const std::string& key : keys)
            same = same && exported[id].getField(key) == record.getField(key);
        equal += same;
    }
    return equal;
}

void nothingLostInARoundTrip()
{
    std::printf("2. Contacts and memos imported and exported back through the real handlers\n");
    InProcessChannel channel;
    std::mt19937 random(2026);
    std::vector<Record> contacts, memos;
    for (int i = 0; i < 300; ++i)
        contacts.push_back(randomContact(random, {"Business", "Personal"}));
    for (int i = 0; i < 200; ++i)
        memos.push_back(randomMemo(random, {"Business", "Personal"}));
    const auto importedContacts = channel.importAll(SectionContact, contacts);
    const auto importedMemos = channel.importAll(SectionMemo, memos);
    const int contactsBack = comeBackEqual(importedContacts, channel.exportAll(SectionContact), contactKeys());
    const int memosBack = comeBackEqual(importedMemos, channel.exportAll(SectionMemo), memoKeys());
    std::printf("  %d of 300 contacts and %d of 200 memos exported back equal\n", contactsBack, memosBack);
    check(contactsBack == 300 && memosBack == 200, "nothing lost");
}

void noGrowthOverImportExportCycles()
{
    std::printf("3. Import and export of 30 contacts, 15 cycles after a warm-up\n");
    InProcessChannel channel;
    std::mt19937 random(30);
    std::vector<Record> records;
    for (int i = 0; i < 30; ++i)
        records.push_back(randomContact(random, {"Business", "Personal"}));
    channel.importAll(SectionContact, records);
    const std::map<std::string, Record> first = channel.exportAll(SectionContact);
    records.clear();
    for (const auto& [id, record] : first)
        records.push_back(record);
    const auto cycle = [&] {
        return channel.importAll(SectionContact, records).size() == 30 &&
               comeBackEqual(first, channel.exportAll(SectionContact), contactKeys()) == 30;
    };
    bool ok = cycle();
    const ProcessUsage before = processUsage();
    for (int i = 0; i < 15; ++i)
        ok = cycle() && ok;
    const ProcessUsage after = processUsage();
    printUsage("after warm-up -> end", before, after);
    check(ok, "every cycle imports and exports all 30");
    check(after.handles <= before.handles, "no handle growth");
    check(after.privateBytes <= before.privateBytes + 256 * 1024, "private bytes grow by less than 256 KB");
}

std::string junkText(std::mt19937& random, std::size_t most)
{
    return separatorFreeText(random, random() % (most + 1));
}

/// A recurrence text with fields out of range, or cut short.
std::string junkRepeat(std::mt19937& random)
{
    Repeat rule;
    rule.setStartDate(random() % 2 ? "20071399" : "abc");
    rule.setEndDate(random() % 2 ? "-1" : "00000000");
    rule.setFrequency(static_cast<long>(static_cast<int>(random())));
    rule.setRepeatType(static_cast<int>(random() % 20) - 2);
    rule.setDayOfMonth(static_cast<int>(random() % 40) - 4);
    rule.setExclusionDates({"20080229", "2007"});
    const std::string text = rule.save();
    return random() % 4 ? text : text.substr(0, random() % (text.size() + 1));
}

std::string junkValue(std::mt19937& random)
{
    static const char* const values[] = {"",     "-1",  "99999999999999999999", "20071399", "00000000",
                                         "2500", "abc", "7x",                   "Business", "no such category"};
    switch (random() % 6) {
    case 0: return junkText(random, 300);
    case 1: return random() % 10 ? junkText(random, 40) : std::string(50000, 'x');
    default: return values[random() % std::size(values)];
    }
}

bool isResult(ResponseCode result)
{
    return result == ResponseOk || result == ResponseFailed || result == ResponseNoMoreRecords;
}

void junkIntoEverySection()
{
    std::printf("4. Random junk records into every section\n");
    InProcessChannel channel;
    CommandMaster& master = channel.master;
    std::mt19937 random(2007);
    const auto attack = [&](Section section, const auto& keys, bool withRepeat) {
        std::vector<std::string> ids;
        int refused = 0, invalid = 0;
        invalid += !isResult(master.beginImport(section));
        for (int i = 0; i < 300; ++i) {
            Record record;
            for (const char* key : keys)
                if (random() % 5)
                    record.putField(key, junkValue(random));
            if (withRepeat && random() % 2)
                record.putField(fieldkey::Repeat, junkRepeat(random));
            const unsigned pick = random() % 4;
            record.putField(fieldkey::RecordId, pick == 0 && !ids.empty() ? ids[random() % ids.size()]
                                                : pick == 1                 ? junkText(random, 50)
                                                                            : "");
            std::string id;
            const ResponseCode result = master.sendRecord(record, id);
            invalid += !isResult(result);
            refused += result == ResponseFailed;
            if (!id.empty())
                ids.push_back(id);
        }
        for (int i = 0; i < 20 && !ids.empty(); ++i)
            invalid += !isResult(master.deleteRecord(random() % 2 ? ids[random() % ids.size()] : junkText(random, 40)));
        invalid += !isResult(master.endImport());
        std::vector<std::string> names;
        invalid += master.readCategoryList(section, names) != ResponseOk;
        invalid += !isResult(master.writeCategoryList({junkText(random, 30), "", std::string(300, 'c')}));
        int count = -1, exported = 0;
        invalid += master.beginExport(section) != ResponseOk || master.getRecordCount(count) != ResponseOk;
        ResponseCode result = ResponseOk;
        for (Record record; (result = master.getNextRecord(record)) == ResponseOk;)
            ++exported;
        invalid += result != ResponseNoMoreRecords || master.endExport() != ResponseOk;
        std::printf("  section %d: %d of 300 refused, %d exported of %d counted\n", section, refused, exported, count);
        check(invalid == 0 && exported == count, "every answer a result, the export complete");
    };
    attack(SectionContact, fieldkey::contact::all, false);
    attack(SectionMemo, fieldkey::memo::all, false);
    attack(SectionTodo, fieldkey::todo::all, true);
    attack(SectionCalendar, fieldkey::calendar::all, true);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2) {  // the echo slave of run 1
        appendChannelNameSuffix(argv[1]);
        const win::UniqueHandle quit(::CreateEventA(nullptr, TRUE, FALSE, (echoQuitPrefix + std::string(argv[1])).c_str()));
        try {
            EchoSlave().serve(quit.get());
        } catch (...) {
            return 1;
        }
        return 0;
    }
    tenThousandCommandsToAnotherProcess();
    nothingLostInARoundTrip();
    noGrowthOverImportExportCycles();
    junkIntoEverySection();
    std::printf("channel stress: %s\n", failures ? "FAILED" : "passed");
    return failures ? 1 : 0;
}
