#pragma once

// The engine's end for tests that run the add-in in their own process: a
// CommandMaster on a thread of its own, while the calling thread plays Palm
// Desktop's user-interface thread.

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "channel/command_master.h"

/// Dispatches this thread's messages (the add-in's timer) for `ms`.
inline void pumpMessages(DWORD ms) {
    const DWORD end = ::GetTickCount() + ms;
    for (DWORD now = ::GetTickCount(); static_cast<LONG>(end - now) > 0; now = ::GetTickCount()) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
    }
}

/// A master on its own thread that runs `operation` again and again until
/// it has seen ResponsePalmDesktopClosed and `after` more results.
class EngineThread {
public:
    explicit EngineThread(std::function<ResponseCode(CommandMaster&)> operation, int after = 3)
        : thread_([this, operation, after] {
              CommandMaster master;
              for (int left = after; !abandon_ && left > 0;) {
                  results_.push_back(operation(master));
                  if (results_.back() == ResponsePalmDesktopClosed || left < after) --left;
              }
              ended_ = true;
          }) {}
    ~EngineThread() { finish(0); }
    /// Waits (pumping messages) up to `mostMs` for the engine's end; its results.
    std::vector<ResponseCode> finish(DWORD mostMs) {
        for (DWORD waited = 0; waited < mostMs && !ended_; waited += 20) pumpMessages(20);
        abandon_ = true;
        if (thread_.joinable()) thread_.join();
        return results_;
    }

private:
    std::atomic<bool> abandon_{false}, ended_{false};
    std::vector<ResponseCode> results_;  // the thread's alone until it has ended
    std::thread thread_;
};

/// One export bracket: begin (when it succeeds) and end.
inline ResponseCode exportBracket(CommandMaster& master) {
    const ResponseCode result = master.beginExport(SectionContact);
    return result == ResponseOk ? master.endExport() : result;
}
