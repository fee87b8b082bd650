#pragma once

#include <windows.h>

#include <memory>

#include "win/unique_handle.h"
#include "win/unique_window.h"

/// The prompt hand-over of one initialised add-in: a message-only window of
/// Palm Desktop's user-interface thread and an auto-reset event. While it
/// is installed, the worker posts a wake-up to the window after publishing
/// each call; the window's procedure runs the timer procedure's steps at
/// once, and the end of the call is signalled on the event. The 100 ms
/// timer stays and still picks up a call that a wake-up missed.
class PromptHandOver {
public:
    /// Creates the window on the calling thread (the user-interface thread)
    /// and the event, and installs both in the hand-over; null when either
    /// cannot be made (the timer then works alone).
    static std::unique_ptr<PromptHandOver> install() noexcept;
    /// Uninstalls the hand-over and destroys the window. Call it on the
    /// user-interface thread once the worker has ended.
    ~PromptHandOver();

    PromptHandOver(const PromptHandOver&) = delete;
    PromptHandOver& operator=(const PromptHandOver&) = delete;

    /// The message the worker posts to wake the window.
    static constexpr UINT kWakeMessage = WM_APP + 0x2B;

private:
    PromptHandOver(win::UniqueWindow window, win::UniqueHandle callEnded) noexcept;
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    win::UniqueWindow window_;
    win::UniqueHandle callEnded_;
};
