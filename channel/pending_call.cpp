#include "channel/pending_call.h"

#include "channel/command_processor.h"
#include "channel/section_dispatch.h"

#include <atomic>
#include <cstdint>

namespace {

// The one slot. `call` is written by the worker only while `pending` is
// false, and read by the user-interface thread only while it is true.
std::atomic<bool> pending{false};
std::atomic<bool> ready{true};
PendingCall call{};

// The prompt hand-over; both null while the timer works alone.
std::atomic<HWND> wakeWindow{nullptr};
std::atomic<UINT> wakeMessage{0};
std::atomic<HANDLE> callEnded{nullptr};

/// Takes the ready flag: true when it was raised and is now lowered by the
/// caller, so that nobody else starts or withdraws the call meanwhile.
bool takeReady() noexcept
{
    bool expected = true;
    return ready.compare_exchange_strong(expected, false, std::memory_order_acq_rel);
}

/// Worker: takes back a call that has not started. False when the call is
/// running on the user-interface thread (or has just finished).
bool withdraw() noexcept
{
    if (!takeReady())
        return false;
    const bool withdrawn = pending.load(std::memory_order_acquire);
    pending.store(false, std::memory_order_release);
    ready.store(true, std::memory_order_release);
    return withdrawn;
}

// The tick that runs the current call: its thread and its place on the
// stack. A tick on that thread that stands no deeper than it cannot be
// nested inside the call, so the call is no longer on the stack: a crash in
// it was swallowed by the handler in which the system runs timer callbacks.
DWORD runningThread = 0;
std::uintptr_t runningFrame = 0;

/// Ends a call whose tick was abandoned by a crash: it answers failed and
/// the flags become idle again, so that the commands after it are served.
void endAbandonedCall() noexcept
{
    runningThread = 0;
    *call.result = ResponseFailed;
    pending.store(false, std::memory_order_release);
    ready.store(true, std::memory_order_release);
    if (const HANDLE ended = callEnded.load())
        ::SetEvent(ended);
}

void runPublishedCall()
{
    const PendingCall published = call;
    sectionDispatch().run(*published.commandCode, *published.application, *published.command,
                          *published.answer, *published.result);
}

/// Worker, prompt hand-over: waits for the end of the call on the
/// call-ended event, which runPendingCall sets after it lowered the pending
/// flag. The flag decides: a set left over from an earlier call (one that
/// ended just as a stop came) finds it still raised and is waited past.
PendingCallOutcome awaitSignalledEnd(HANDLE stopEvent, HANDLE ended) noexcept
{
    const HANDLE events[] = {ended, stopEvent};
    for (;;) {
        if (::WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0)
            break;
        if (!pending.load(std::memory_order_acquire))
            return PendingCallOutcome::Ran;
    }
    if (withdraw())
        return PendingCallOutcome::Withdrawn;
    // Running: its end is yet to be signalled.
    while (pending.load(std::memory_order_acquire))
        ::WaitForSingleObject(ended, INFINITE);
    return PendingCallOutcome::Ran;
}

}  // namespace

void setPromptHandOver(HWND window, UINT message, HANDLE ended) noexcept
{
    wakeMessage.store(message);
    callEnded.store(ended);
    wakeWindow.store(window);
}

void publishPendingCall(const PendingCall& published) noexcept
{
    call = published;
    pending.store(true, std::memory_order_release);
    // A wake-up that cannot be posted leaves the call to the timer.
    if (const HWND window = wakeWindow.load(); window && callEnded.load())
        ::PostMessageA(window, wakeMessage.load(), 0, 0);
}

PendingCallOutcome awaitPendingCall(HANDLE stopEvent) noexcept
{
    if (const HANDLE ended = callEnded.load(); ended && wakeWindow.load())
        return awaitSignalledEnd(stopEvent, ended);
    while (pending.load(std::memory_order_acquire)) {
        if (::WaitForSingleObject(stopEvent, 2) != WAIT_OBJECT_0)
            continue;
        if (withdraw())
            return PendingCallOutcome::Withdrawn;
        // Started already: the user-interface thread uses our objects until
        // it lowers the flag, so the stop deliberately waits for the call's
        // end rather than leaving within one poll; leaving would let the
        // call write into an answer that is gone. The withdrawal is tried
        // again on every pass: it also fails in the instant in which a tick
        // holds the ready flag without running the call.
        ::Sleep(2);
    }
    return PendingCallOutcome::Ran;
}

void CALLBACK pendingCallTimerProc(HWND, UINT, UINT_PTR, DWORD) noexcept { runPendingCall(); }

void runPendingCall() noexcept
{
    const char tickFrame = 0;  // where this tick stands on the stack
    const auto place = reinterpret_cast<std::uintptr_t>(&tickFrame);
    if (!ready.load(std::memory_order_acquire) && runningThread == ::GetCurrentThreadId() && place >= runningFrame)
        endAbandonedCall();
    if (!pending.load(std::memory_order_acquire) || !takeReady())
        return;
    // The worker may have withdrawn the call between the two looks above.
    if (pending.load(std::memory_order_acquire)) {
        runningThread = ::GetCurrentThreadId();
        runningFrame = place;
        try {
            runPublishedCall();
        } catch (...) {
            // The worker still needs the flag to fall; the result keeps the
            // value it preset.
        }
        runningThread = 0;
        pending.store(false, std::memory_order_release);
        ready.store(true, std::memory_order_release);
        // Prompt hand-over: the worker learns the end from the event alone.
        if (const HANDLE ended = callEnded.load())
            ::SetEvent(ended);
        return;
    }
    ready.store(true, std::memory_order_release);
}

bool isCallPending() noexcept { return pending.load(std::memory_order_acquire); }
bool isHandOverReady() noexcept { return ready.load(std::memory_order_acquire); }
