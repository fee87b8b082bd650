#pragma once

#include "sections/palm_desktop.h"
#include "win/com_ptr.h"

#include <windows.h>

class CommandProcessor;

// The hand-over of one command from the slave's worker thread to Palm
// Desktop's user-interface thread. The worker publishes the call in the one
// process-wide slot and raises the pending flag; the timer procedure, run
// by the user-interface thread every 100 ms, runs the call and lowers the
// flag. The ready flag is false while the timer procedure runs a call (or
// while the worker withdraws one), so that a tick inside a nested message
// loop does nothing. Each side writes what it hands over before it moves
// the pending flag (release) and reads the other's only after seeing it
// move (acquire).

/// A published call: the worker's own objects for the command it serves,
/// valid until the worker sends the answer.
struct PendingCall {
    const int* commandCode;
    const win::ComPtr<PalmApplication>* application;
    const CommandProcessor* command;
    CommandProcessor* answer;
    int* result;
};

/// How the wait for a published call ended.
enum class PendingCallOutcome {
    /// The user-interface thread ran the call.
    Ran,
    /// The stop event was set before the call started; the call was taken
    /// back and will never run.
    Withdrawn
};

/// Worker thread: stores `call` in the slot, then raises the pending flag.
/// Only one call is published at a time.
void publishPendingCall(const PendingCall& call) noexcept;

/// Worker thread: waits until the published call has run or the stop
/// event is set. With the timer alone it polls every 2 ms, on `stopEvent`;
/// with the prompt hand-over it waits for the call-ended event and the
/// stop event, without polling. When the stop comes before the call has
/// started, the call is withdrawn: the pending flag falls without it having
/// run, and no later tick runs it. When the call has already started, its
/// objects are in use, so the wait goes on until it ends.
PendingCallOutcome awaitPendingCall(HANDLE stopEvent) noexcept;

/// Turns the prompt hand-over on: after publishing a call, the worker posts
/// `wakeMessage` to `wakeWindow` (a window of the user-interface thread
/// whose procedure calls runPendingCall) and waits for `callEnded`, an
/// auto-reset event that runPendingCall sets after each call it ran. Null
/// handles turn it off again: the timer alone. Set while no worker serves.
void setPromptHandOver(HWND wakeWindow, UINT wakeMessage, HANDLE callEnded) noexcept;

/// User-interface thread: the timer procedure's steps. Runs the published
/// call, if there is one and no call is running already, through the
/// section dispatch; does nothing otherwise. No exception leaves it: a call
/// that throws ends as if it ran, its result left as the worker preset it.
///
/// A crash in a call (an access violation in a section handler) never
/// reaches a crash handler: the system runs timer callbacks inside a
/// handler that swallows it and abandons the call's frames. The next tick
/// on that thread that does not stand nested inside the call finds the call
/// gone from the stack: the call then answers ResponseFailed and the flags
/// become idle, so one bad command does not block every later one.
void runPendingCall() noexcept;

/// The timer procedure of Palm Desktop's user-interface thread (thread
/// timer 8, 100 ms; all four arguments ignored): runPendingCall.
void CALLBACK pendingCallTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD tickCount) noexcept;

/// True while a published call waits for or undergoes execution.
bool isCallPending() noexcept;
/// False while the timer procedure runs a call.
bool isHandOverReady() noexcept;
