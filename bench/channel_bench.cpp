// Round trips of one command through the command channel, median of 100:
//   (a) through the real hand-over: a user-interface thread with the 100 ms
//       thread timer runs every call, as inside Palm Desktop;
//   (b) the channel alone: zone, events, serialize and parse, with a slave
//       that answers at once on its own thread; a small message, and a
//       900 KB record each way;
//   (c) the C interface (brannock.h) against CommandMaster over the channel
//       alone, per command, with and without a time limit;
//   (d) the field trace over the channel alone: per command with the trace
//       off and on (both ends write their line, as master and slave do).
// Everything runs in this one process on channel names of its own.

#include "capi/brannock.h"
#include "channel/channel_names.h"
#include "channel/channel_trace.h"
#include "channel/command_base.h"
#include "channel/command_master.h"
#include "channel/command_slave.h"
#include "channel/pending_call.h"
#include "channel/section_dispatch.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int roundTrips = 100;
constexpr std::size_t bigFieldSize = 900 * 1024;

Record bigRecord()
{
    Record record;
    record.putField("RecordId", "{00000000-0000-0000-0000-000000000000}");
    record.putField("401.Memo Body", std::string(bigFieldSize, 'm'));
    return record;
}

/// Times `roundTrip` `roundTrips` times; prints median, fastest, slowest.
std::vector<double> measure(const char* what, const std::function<ResponseCode()>& roundTrip)
{
    std::vector<double> ms;
    for (int i = 0; i < roundTrips; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const ResponseCode result = roundTrip();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (result != ResponseOk)
            std::printf("  %s: round trip %d answered %d\n", what, i, result);
    }
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    std::printf("%-44s median %8.3f ms   min %8.3f   max %8.3f\n", what, sorted[roundTrips / 2], sorted.front(),
                sorted.back());
    return ms;
}

/// A handler that answers every operation at once.
class InstantSection : public SectionHandler {
public:
    ResponseCode beginImport() override { return ResponseOk; }
    ResponseCode endImport() override { return ResponseOk; }
    ResponseCode beginExport() override { return ResponseOk; }
    ResponseCode endExport() override { return ResponseOk; }
    ResponseCode getRecordCount(int& count) override
    {
        count = 1;
        return ResponseOk;
    }
    ResponseCode getNextRecord(Record&) override { return ResponseOk; }
    ResponseCode sendRecord(const Record&, std::string& recordId) override
    {
        recordId = "id";
        return ResponseOk;
    }
    ResponseCode readCategoryList(std::vector<std::string>&) override { return ResponseOk; }
    ResponseCode writeCategoryList(const std::vector<std::string>&) override { return ResponseOk; }
    ResponseCode deleteRecord(const std::string&) override { return ResponseOk; }
    ResponseCode deleteAll() override { return ResponseOk; }
};

std::unique_ptr<SectionHandler> makeInstantSection(const win::ComPtr<PalmApplication>&, int)
{
    return std::make_unique<InstantSection>();
}

/// (a) Master, worker running the slave loop, and a user-interface thread
/// whose 100 ms timer runs each call.
void throughTheTimer()
{
    sectionDispatch().setMaker(makeInstantSection);
    CommandMaster master;
    CommandSlave slave;
    std::thread worker([&] { slave.loop(); });
    DWORD uiThreadId = 0;
    HANDLE started = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread ui([&] {
        MSG message;
        ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // make the queue
        uiThreadId = ::GetCurrentThreadId();
        const UINT_PTR timer = ::SetTimer(nullptr, 8, 100, pendingCallTimerProc);
        ::SetEvent(started);
        while (::GetMessageA(&message, nullptr, 0, 0) > 0)
            ::DispatchMessageA(&message);
        ::KillTimer(nullptr, timer);
    });
    ::WaitForSingleObject(started, INFINITE);
    ::CloseHandle(started);

    master.beginExport(SectionContact);
    int count = 0;
    const std::vector<double> ms =
        measure("(a) timer hand-over, record count", [&] { return master.getRecordCount(count); });
    const long late = std::count_if(ms.begin(), ms.end(), [](double t) { return t > 150.0; });
    std::printf("    round trips over 150 ms (a lost tick): %ld of %d\n", late, roundTrips);

    slave.SetStopFlag();
    worker.join();
    ::PostThreadMessageA(uiThreadId, WM_QUIT, 0, 0);
    ui.join();
}

/// A slave end that answers each command at once on its own thread; a
/// record request with `record`.
class EchoSlave : public CommandBase {
public:
    explicit EchoSlave(Record record = bigRecord())
        : stop_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)), big_(std::move(record))
    {
    }

    void serve()
    {
        while (waitForMaster(stop_.get()) == 0) {
            const long long published = trace::traceClock();
            CommandProcessor command;
            readMessage(command);
            CommandProcessor answer;
            answer.setCommand(CmdResponse);
            if (command.getCommand() == CmdGetNextRecord)
                answer.setRecord(big_);
            if (command.getCommand() == CmdSendRecord)
                answer.setRecordId(command.getRecord().getField("RecordId"));
            writeMessage(answer);
            if (published)
                traceSlaveCommand(command, ResponseOk, messageLength(), published, false);
            signalSlave();
        }
    }
    void stop() { ::SetEvent(stop_.get()); }

private:
    win::UniqueHandle stop_;
    Record big_;
};

/// (b) The channel alone.
void channelAlone()
{
    CommandMaster master;
    EchoSlave slave;
    std::thread worker([&] { slave.serve(); });

    measure("(b) channel alone, small message", [&] { return master.deleteAll(); });
    const Record big = bigRecord();
    std::string id;
    measure("(b) channel alone, 900 KB record sent", [&] { return master.sendRecord(big, id); });
    Record received;
    measure("(b) channel alone, 900 KB record received", [&] { return master.getNextRecord(received); });

    slave.stop();
    worker.join();
}

/// A contact as an export carries it: a dozen short fields.
Record contactRecord()
{
    Record record;
    record.putField("RecordId", "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}");
    record.putField("111.Category", "Business");
    record.putField("112.Phone - Business", "+44 20 7946 0123");
    record.putField("116.EMail-1 Address", "mary.smith@example.com");
    record.putField("128.Last Name", "Smith");
    record.putField("129.First Name", "Mary");
    record.putField("130.Company Name", "Acme Tools Ltd");
    record.putField("104.Business Street", "14 Wharf Road");
    record.putField("105.Business City", "London");
    record.putField("107.Business Zip", "N1 7GR");
    record.putField("109.Notes", "Met at the trade fair.");
    return record;
}

/// (c) Each command through CommandMaster, through the C interface without
/// a limit and with a limit of 10 s (which adds the liveness check), taken
/// in turn so that all three see the same load; median of 1,000 each.
void cInterfaceAgainstCommandMaster()
{
    constexpr int rounds = 1000;
    const Record contact = contactRecord();
    EchoSlave slave(contact);
    std::thread worker([&] { slave.serve(); });
    // Stands for an initialised add-in, which the liveness check looks for.
    win::UniqueHandle initialised(::CreateEventA(nullptr, TRUE, TRUE, "Marrowvelle_Tesk_PDAddinInitializeEvent"));

    CommandMaster master;
    brannock_master* plain = nullptr;
    brannock_master* limited = nullptr;
    brannock_open(&plain, nullptr);
    brannock_open(&limited, nullptr);
    brannock_set_time_limit(limited, 10000);
    brannock_record* record = nullptr;
    brannock_record_create(&record);
    for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
             {"128.Last Name", "Smith"}, {"129.First Name", "Mary"}, {"111.Category", "Business"}})
        brannock_record_put(record, key.data(), key.size(), value.data(), value.size());
    Record sent;
    sent.putField("128.Last Name", "Smith");
    sent.putField("129.First Name", "Mary");
    sent.putField("111.Category", "Business");

    struct Row {
        const char* what;
        std::function<int()> commandMaster, c, cLimited;
    };
    std::string id;
    Record received;
    int count = 0;
    const char* text;
    size_t length;
    const Row rows[] = {
        {"delete all (small message)", [&] { return int(master.deleteAll()); },
         [&] { return brannock_delete_all(plain); }, [&] { return brannock_delete_all(limited); }},
        {"send a 3-field record", [&] { return int(master.sendRecord(sent, id)); },
         [&] { return brannock_send_record(plain, record, &text, &length); },
         [&] { return brannock_send_record(limited, record, &text, &length); }},
        {"next record (11-field contact)", [&] { return int(master.getNextRecord(received)); },
         [&] { return brannock_get_next_record(plain, record); },
         [&] { return brannock_get_next_record(limited, record); }},
        {"record count", [&] { return int(master.getRecordCount(count)); },
         [&] { return brannock_get_record_count(plain, &count); },
         [&] { return brannock_get_record_count(limited, &count); }},
    };
    std::printf("\n(c) per command, median of %d (us): CommandMaster | C | C with limit\n", rounds);
    for (const Row& row : rows) {
        std::vector<double> us[3];
        const std::function<int()>* calls[3] = {&row.commandMaster, &row.c, &row.cLimited};
        for (int i = 0; i < rounds; ++i)
            for (int k = 0; k < 3; ++k) {
                const auto start = std::chrono::steady_clock::now();
                const int result = (*calls[k])();
                us[k].push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                                    .count());
                if (result != 0)
                    std::printf("  %s: answered %d\n", row.what, result);
            }
        double median[3];
        for (int k = 0; k < 3; ++k) {
            std::sort(us[k].begin(), us[k].end());
            median[k] = us[k][rounds / 2];
        }
        std::printf("%-34s %8.1f | %8.1f | %8.1f\n", row.what, median[0], median[1], median[2]);
    }
    brannock_record_free(record);
    brannock_close(plain);
    brannock_close(limited);
    slave.stop();
    worker.join();
}

/// (d) Each command over the channel alone with the trace off and on, in
/// blocks of 100 taken in turn, median of 1,000 each; the trace goes to a
/// file in the temporary folder, which is deleted afterwards.
void traceOffAndOn()
{
    constexpr int blocks = 10, perBlock = 100;
    EchoSlave slave(contactRecord());
    std::thread worker([&] { slave.serve(); });
    CommandMaster master;
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    const std::string file = std::string(folder) + "brannock_bench_trace.txt";
    ::DeleteFileA(file.c_str());

    const Record sent = contactRecord();
    std::string id;
    Record received;
    struct Row {
        const char* what;
        std::function<ResponseCode()> command;
    };
    const Row rows[] = {
        {"delete all (small message)", [&] { return master.deleteAll(); }},
        {"send an 11-field contact", [&] { return master.sendRecord(sent, id); }},
        {"next record (11-field contact)", [&] { return master.getNextRecord(received); }},
    };
    std::printf("\n(d) field trace, per command, median of %d (us): off | on | cost of the two lines\n",
                blocks * perBlock);
    for (const Row& row : rows) {
        std::vector<double> us[2];
        for (int b = 0; b < blocks; ++b)
            for (int on = 0; on < 2; ++on) {
                trace::openTraceFile(on ? file : std::string());
                for (int i = 0; i < perBlock; ++i) {
                    const auto start = std::chrono::steady_clock::now();
                    const ResponseCode result = row.command();
                    us[on].push_back(
                        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
                    if (result != ResponseOk)
                        std::printf("  %s: answered %d\n", row.what, result);
                }
            }
        trace::openTraceFile({});
        for (auto& v : us)
            std::sort(v.begin(), v.end());
        const double off = us[0][us[0].size() / 2], on = us[1][us[1].size() / 2];
        std::printf("%-34s %8.1f | %8.1f | %8.1f\n", row.what, off, on, on - off);
    }
    slave.stop();
    worker.join();
    ::DeleteFileA(file.c_str());
}

}  // namespace

int main()
{
    appendChannelNameSuffix(("_bench_" + std::to_string(::GetCurrentProcessId())).c_str());
    std::printf("median round trip of one command over %d commands\n", roundTrips);
    channelAlone();
    cInterfaceAgainstCommandMaster();
    traceOffAndOn();
    throughTheTimer();
    return 0;
}
