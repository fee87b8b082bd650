#include "channel/command_slave.h"

#include "channel/channel_trace.h"
#include "channel/command_processor.h"
#include "channel/pending_call.h"
#include "sections/section_factory.h"

#include <string>

namespace {

/// The text of a plain failure answer, made once so that writing it needs
/// no allocation.
const std::string& failureAnswerText()
{
    static const std::string text = [] {
        CommandProcessor answer;
        answer.setCommand(CmdResponse);
        answer.setResponseCode(ResponseFailed);
        return std::string(answer.serialize());
    }();
    return text;
}

}  // namespace

CommandSlave::~CommandSlave() = default;

void CommandSlave::SetStopFlag() noexcept { ::SetEvent(stopEvent_.get()); }

void CommandSlave::loop() noexcept
{
    try {
        failureAnswerText();
    } catch (...) {
        return;
    }
    trace::traceLine(trace::End::Slave, "slave loop waits for commands");
    while (waitForMaster(stopEvent_.get()) == 0) {
        try {
            serveCommand();
        } catch (...) {
            // Out of memory while reading the command or writing the answer:
            // the master still gets an answer, a failure.
            writeText(failureAnswerText().c_str());
            signalSlave();
        }
        // Deliberately, the stop is looked at after every answer, not only
        // while waiting: a stop that came while this command was served ends
        // the loop now, even when the master has sent its next command
        // already (the wait would take the master event first, and a busy
        // master could keep the slave serving). That command stays
        // unanswered and the master learns from the exit event that the
        // slave is gone.
        if (::WaitForSingleObject(stopEvent_.get(), 0) == WAIT_OBJECT_0)
            break;
    }
    trace::traceLine(trace::End::Slave, "slave loop stopped");
}

void CommandSlave::serveCommand()
{
    CommandProcessor command;
    readMessage(command);
    const int code = command.getCommand();
    CommandProcessor answer;
    answer.setCommand(CmdResponse);
    // Stays when the call is withdrawn or the code names no command.
    int result = ResponseFailed;

    const long long published = trace::traceClock();
    publishPendingCall({&code, &sharedApplication(), &command, &answer, &result});
    const PendingCallOutcome outcome = awaitPendingCall(stopEvent_.get());

    answer.setResponseCode(result);
    if (!writeMessage(answer))
        writeText(failureAnswerText().c_str());
    // Before the signal, so that the slave's line precedes the master's.
    if (published)
        traceSlaveCommand(command, result, messageLength(), published, outcome == PendingCallOutcome::Withdrawn);
    signalSlave();
}
