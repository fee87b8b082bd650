#include "channel/command_slave.h"

#include "channel/channel_trace.h"
#include "channel/command_processor.h"
#include "channel/pending_call.h"
#include "sections/section_factory.h"

#include <new>

namespace {

/// How long a command found in the zone at the start may wait for its
/// master event before it counts as left over from an earlier run.
constexpr DWORD sendingGraceMs = 1000;

}  // namespace

CommandSlave::~CommandSlave() = default;

void CommandSlave::SetStopFlag() noexcept { ::SetEvent(stopEvent_.get()); }

void CommandSlave::loop() noexcept
{
    answerLeftoverCommand();
    trace::traceLine(trace::End::Slave, "slave loop waits for commands");
    while (waitForMaster(stopEvent_.get()) == 0) {
        try {
            serveCommand();
        } catch (...) {
            // Out of memory while serving: the master still gets an answer,
            // a failure.
            writeFailureAnswer();
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

void CommandSlave::answerLeftoverCommand() noexcept
{
    // A command that the slave of an earlier Palm Desktop run took and never
    // answered (that run was killed) would keep every master waiting for its
    // answer. A command that a master is sending right now has its master
    // event set within moments; a leftover one never will.
    if (!commandOutstanding() || masterSignalledWithin(sendingGraceMs) || !commandOutstanding())
        return;
    writeFailureAnswer();
    signalSlave();
}

void CommandSlave::serveCommand()
{
    CommandProcessor command;
    if (!readMessage(command))
        throw std::bad_alloc();
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
        writeFailureAnswer();
    // Before the signal, so that the slave's line precedes the master's.
    if (published)
        traceSlaveCommand(command, result, messageLength(), published, outcome == PendingCallOutcome::Withdrawn);
    signalSlave();
}
