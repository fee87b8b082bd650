#pragma once

// The engine's end for tests that run the add-in in their own process: a
// CommandMaster on a thread of its own, while the calling thread plays Palm
// Desktop's user-interface thread.

#include <windows.h>

#include <atomic>
#include <chrono>
#include <future>
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

/// The engine: a master on its own thread that runs export brackets until it
/// has seen ResponsePalmDesktopClosed and three more results.
class EngineThread {
public:
    EngineThread()
        : results_(std::async(std::launch::async, [this] {
              CommandMaster master;
              std::vector<ResponseCode> results;
              for (int more = 0; !abandon_ && more < 4;) {
                  const ResponseCode begun = master.beginExport(SectionContact);
                  results.push_back(begun == ResponseOk ? master.endExport() : begun);
                  more += more > 0 || results.back() == ResponsePalmDesktopClosed;
              }
              return results;
          })) {}
    /// Waits (pumping messages) up to `mostMs` for the engine's end; its results.
    std::vector<ResponseCode> finish(DWORD mostMs) {
        const auto ended = [this] { return results_.wait_for(std::chrono::seconds(0)) == std::future_status::ready; };
        for (DWORD waited = 0; waited < mostMs && !ended(); waited += 20) pumpMessages(20);
        abandon_ = true;
        return results_.get();
    }

private:
    std::atomic<bool> abandon_{false};
    std::future<std::vector<ResponseCode>> results_;
};
