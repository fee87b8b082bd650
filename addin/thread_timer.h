#pragma once

#include <windows.h>

/// Signature of the function through which the add-in starts its thread timer.
using StartTimerFunction = UINT_PTR(WINAPI*)(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC procedure);
/// Signature of the function through which the add-in stops it.
using StopTimerFunction = BOOL(WINAPI*)(HWND window, UINT_PTR id);

/// The add-in's way to start its timer: the system's SetTimer unless a test
/// has put an observer in its place.
extern StartTimerFunction startTimer;
/// The add-in's way to stop its timer: the system's KillTimer unless a test
/// has put an observer in its place.
extern StopTimerFunction stopTimer;
