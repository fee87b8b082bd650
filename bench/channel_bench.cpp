// Round trips of one command through the command channel, median of 100:
//   (a) through the real hand-over: a user-interface thread with the 100 ms
//       thread timer runs every call, as inside Palm Desktop;
//   (b) the channel alone: zone, events, serialize and parse, with a slave
//       that answers at once on its own thread; a small message, and a
//       900 KB record each way.
// Everything runs in this one process on channel names of its own.

#include "channel/channel_names.h"
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

/// A slave end that answers each command at once on its own thread.
class EchoSlave : public CommandBase {
public:
    EchoSlave() : stop_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)), big_(bigRecord()) {}

    void serve()
    {
        while (waitForMaster(stop_.get()) == 0) {
            CommandProcessor command;
            readMessage(command);
            CommandProcessor answer;
            answer.setCommand(CmdResponse);
            if (command.getCommand() == CmdGetNextRecord)
                answer.setRecord(big_);
            if (command.getCommand() == CmdSendRecord)
                answer.setRecordId(command.getRecord().getField("RecordId"));
            writeMessage(answer);
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

}  // namespace

int main()
{
    appendChannelNameSuffix(("_bench_" + std::to_string(::GetCurrentProcessId())).c_str());
    std::printf("median round trip of one command over %d commands\n", roundTrips);
    channelAlone();
    throughTheTimer();
    return 0;
}
