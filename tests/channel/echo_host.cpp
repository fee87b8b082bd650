// The far end of the channel's stress tests: a slave end that answers each
// command at once on its own thread, without the 100 ms timer hand-over, so
// that thousands of commands cross the channel (zone, events, serialize,
// parse) in seconds.
//
// Usage: channel_echo_host SUFFIX
// Answers until the event "BrannockEchoHostQuit" SUFFIX is set, then
// destroys its channel end (which, having served, sets the exit event) and
// ends with exit code 0. What it answers:
// - sendRecord: keeps the record; the answer's id is echoDigest of its text;
// - getNextRecord: the record kept last;
// - writeCategoryList: keeps the list; readCategoryList: kind 13 with it;
// - getRecordCount: kind 12 with the number of commands served so far;
// - deleteRecord: the id it got, as the answer's id;
// - anything else: result 0.
#include "channel/channel_names.h"
#include "channel/command_base.h"
#include "channel/command_processor.h"
#include "echo_digest.h"
#include "win/unique_handle.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

class EchoSlave : public CommandBase {
public:
    explicit EchoSlave(HANDLE quit) : quit_(quit) {}

    void serve()
    {
        while (waitForMaster(quit_) == 0) {
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
        case CmdDeleteRecord:
            answer.setRecordId(command.getRecordId());
            break;
        default:
            break;
        }
        return answer;
    }

    HANDLE quit_;
    int served_ = 0;
    Record kept_;
    std::vector<std::string> categories_;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    appendChannelNameSuffix(argv[1]);
    const win::UniqueHandle quit(
        ::CreateEventA(nullptr, TRUE, FALSE, (std::string("BrannockEchoHostQuit") + argv[1]).c_str()));
    try {
        EchoSlave slave(quit.get());
        slave.serve();
    } catch (...) {
        return 1;
    }
    return 0;
}
