// The Palm Desktop side of the channel's two-process tests, serving until
// the event "BrannockTestHostQuit" SUFFIX is set.
//   channel_slave_host SUFFIX SCRIPT-FILE LOG-FILE: the real slave with the
//     100 ms hand-over timer and scripted handlers logging to LOG-FILE.
//   channel_slave_host SUFFIX echo: answers at once on its own thread; keeps
//     the record sent (answering its echoDigest) and the category list,
//     and counts the commands served (kind 12).

#include "channel/channel_names.h"
#include "channel/command_slave.h"
#include "channel/pending_call.h"
#include "channel/section_dispatch.h"
#include "echo_digest.h"
#include "scripted_section.h"

#include <windows.h>

#include <memory>
#include <string>

namespace {

class EchoSlave : public CommandBase {
public:
    void serve(HANDLE quit)
    {
        while (waitForMaster(quit) == 0) {
            CommandProcessor command;
            readMessage(command);
            CommandProcessor answer = answerTo(command);
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
    CommandProcessor answerTo(const CommandProcessor& command)
    {
        ++served_;
        CommandProcessor answer;
        answer.setCommand(CmdResponse);
        switch (command.getCommand()) {
        case CmdSendRecord:
            kept_ = command.getRecord();
            answer.setRecordId(echoDigest(kept_.save()));
            break;
        case CmdGetNextRecord:
            answer.setRecord(kept_);
            break;
        case CmdWriteCategoryList:
            categories_ = command.getCategories();
            break;
        case CmdReadCategoryList:
            answer.setCommand(CmdResponseCategories);
            answer.setCategories(categories_);
            break;
        case CmdGetRecordCount:
            answer.setCommand(CmdResponseCount);
            answer.setCount(served_);
            break;
        default:
            break;
        }
        return answer;
    }

    int served_ = 0;
    Record kept_;
    std::vector<std::string> categories_;
};

DWORD WINAPI serve(void* slave) noexcept
{
    static_cast<CommandSlave*>(slave)->loop();
    return 0;
}

int serveScripted(HANDLE quit)
{
    sectionDispatch().setMaker(scripted::makeSection);
    auto slave = std::make_unique<CommandSlave>();
    const win::UniqueHandle worker(::CreateThread(nullptr, 0, serve, slave.get(), 0, nullptr));
    const UINT_PTR timer = ::SetTimer(nullptr, 8, 100, pendingCallTimerProc);
    while (::MsgWaitForMultipleObjects(1, &quit, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&message);
    }
    slave->SetStopFlag();
    ::WaitForSingleObject(worker.get(), 10000);
    slave.reset();
    ::KillTimer(nullptr, timer);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool echo = argc == 3 && std::string(argv[2]) == "echo";
    if (argc != 4 && !echo)
        return 2;
    appendChannelNameSuffix(argv[1]);
    const win::UniqueHandle quit(
        ::CreateEventA(nullptr, TRUE, FALSE, (std::string("BrannockTestHostQuit") + argv[1]).c_str()));
    if (!echo) {
        scripted::loadScript(argv[2]);
        scripted::mirrorLogTo(argv[3]);
        return serveScripted(quit.get());
    }
    try {
        EchoSlave().serve(quit.get());
    } catch (...) {
        return 1;
    }
    return 0;
}
