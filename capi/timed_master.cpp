#include "capi/timed_master.h"

#include "addin/brannock_addin.h"
#include "capi/brannock.h"
#include "channel/channel_trace.h"
#include "win/unique_handle.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

/// How often a waiting command checks that Palm Desktop still runs.
constexpr unsigned long livenessPeriodMs = 50;

}  // namespace

bool palmDesktopRunning() noexcept
{
    // The add-in holds its initialise event open while it is initialised.
    return bool(win::UniqueHandle(::OpenEventA(SYNCHRONIZE, FALSE, kAddinInitializeEventName)));
}

int TimedMaster::exchange(const CommandProcessor& command, CommandProcessor& answer)
{
    if (limit_ != 0 && !isClosed()) {
        const long long started = trace::traceClock();
        const int result = timedExchange(command, answer);
        if (started) {
            // The text sent is gone from the zone by now; its length is taken again.
            CommandProcessor sent = command;
            const std::size_t answered = result == answer.getResponseCode() ? messageLength() : 0;
            traceMasterCommand(command, result, std::strlen(sent.serialize()), answered, started, "with a time limit");
        }
        return result;
    }
    resetSlave();
    answer = sendCommandAndReceiveResponse(command);
    return answer.getResponseCode();
}

// Tick counts are compared by their difference, which stays right across
// the wrap of the 32-bit count every 49.7 days.
unsigned long TimedMaster::remaining(DWORD start) const noexcept
{
    const DWORD elapsed = ::GetTickCount() - start;
    return elapsed < limit_ ? limit_ - elapsed : 0UL;
}

int TimedMaster::timedExchange(const CommandProcessor& command, CommandProcessor& answer)
{
    const DWORD start = ::GetTickCount();
    // An answer within the last period counts as a sign of life: the check
    // costs a round trip to the kernel, which Wine makes dear.
    if (!answered_ || start - lastSignOfLife_ >= livenessPeriodMs) {
        if (!palmDesktopRunning())
            return BRANNOCK_NOT_RUNNING;
        lastSignOfLife_ = start;
        answered_ = true;
    }
    resetSlave();
    // A command left outstanding, by this master or any other, is answered
    // first; a limit used up by that wait leaves no time for this command,
    // which would then time out for certain and still run later.
    const int late = awaitAnswer(start);
    if (late != BRANNOCK_OK)
        return late;
    if (remaining(start) == 0)
        return BRANNOCK_TIMEOUT;
    CommandProcessor message = command;
    if (!writeMessage(message))
        throw std::bad_alloc();  // a message that does not fit is refused before
    signalMaster();
    const int waited = awaitAnswer(start);
    if (waited != BRANNOCK_OK)
        return waited;
    if (!readMessage(answer))
        throw std::bad_alloc();
    return answer.getResponseCode();
}

int TimedMaster::awaitAnswer(DWORD start)
{
    while (commandOutstanding()) {
        const unsigned long left = remaining(start);
        const long woken = waitForSlaveWithin(std::min(left, livenessPeriodMs));
        if (woken == 0) {
            // An answer came; a command still in the zone means the event
            // was set for one taken in before.
            lastSignOfLife_ = ::GetTickCount();
            continue;
        }
        if (woken != WAIT_TIMEOUT) {
            // Palm Desktop closed its end, as CommandMaster finds it.
            closeAndWithdraw();
            return BRANNOCK_CLOSED;
        }
        if (!palmDesktopRunning()) {
            // Gone without a word: nobody will answer, and no later Palm
            // Desktop may run the command.
            closeAndWithdraw();
            return BRANNOCK_NOT_RUNNING;
        }
        if (left == 0)
            return BRANNOCK_TIMEOUT;
    }
    return BRANNOCK_OK;
}
