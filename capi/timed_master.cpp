#include "capi/timed_master.h"

#include "addin/brannock_addin.h"
#include "capi/brannock.h"
#include "channel/channel_trace.h"
#include "win/unique_handle.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

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
    if (answerOwed_ && !isClosed() && waitForSlave() != 0) {
        markClosed();
        resetPDClosed();
        answerOwed_ = false;
        return BRANNOCK_CLOSED;
    }
    answerOwed_ = false;
    resetSlave();
    answer = sendCommandAndReceiveResponse(command);
    return answer.getResponseCode();
}

int TimedMaster::timedExchange(const CommandProcessor& command, CommandProcessor& answer)
{
    const ULONGLONG deadline = ::GetTickCount64() + limit_;
    const auto remaining = [&] {
        const ULONGLONG now = ::GetTickCount64();
        return now < deadline ? static_cast<unsigned long>(deadline - now) : 0UL;
    };
    if (answerOwed_) {
        const int late = awaitAnswer(remaining());
        if (late != BRANNOCK_OK)
            return late;
        answerOwed_ = false;
    }
    // An answer within the last period counts as a sign of life: the check
    // costs a round trip to the kernel, which Wine makes dear.
    if (::GetTickCount64() - lastSignOfLife_ >= livenessPeriodMs) {
        if (!palmDesktopRunning())
            return BRANNOCK_NOT_RUNNING;
        lastSignOfLife_ = ::GetTickCount64();
    }
    resetSlave();
    CommandProcessor message = command;
    if (!writeMessage(message))
        return ResponseFailed;
    signalMaster();
    const int waited = awaitAnswer(remaining());
    if (waited != BRANNOCK_OK)
        return waited;
    readMessage(answer);
    return answer.getResponseCode();
}

int TimedMaster::awaitAnswer(unsigned long milliseconds)
{
    const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        const unsigned long left = now < deadline ? static_cast<unsigned long>(deadline - now) : 0UL;
        const long woken = waitForSlaveWithin(std::min(left, livenessPeriodMs));
        if (woken == 0) {
            lastSignOfLife_ = ::GetTickCount64();
            return BRANNOCK_OK;
        }
        if (woken != WAIT_TIMEOUT) {
            // Palm Desktop closed its end, as CommandMaster finds it.
            markClosed();
            resetPDClosed();
            answerOwed_ = false;
            return BRANNOCK_CLOSED;
        }
        if (!palmDesktopRunning()) {
            // Gone without a word: withdraw the command, so that no later
            // Palm Desktop finds it, and close as for BRANNOCK_CLOSED.
            markClosed();
            resetMaster();
            answerOwed_ = false;
            return BRANNOCK_NOT_RUNNING;
        }
        if (left == 0) {
            answerOwed_ = true;
            return BRANNOCK_TIMEOUT;
        }
    }
}
