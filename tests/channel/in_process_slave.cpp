#include "in_process_slave.h"

#include "channel/pending_call.h"
#include "win/unique_handle.h"

#include <gtest/gtest.h>

#include <algorithm>

InProcessSlave::InProcessSlave(UINT tickMs) : worker_([this] { slave_->loop(); })
{
    if (!tickMs)
        return;
    const win::UniqueHandle started(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    userInterface_ = std::thread([&started, this, tickMs] {  // as Palm Desktop's user-interface thread
        MSG message;
        ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
        userInterfaceId_ = ::GetCurrentThreadId();
        const UINT_PTR timer = ::SetTimer(nullptr, 8, tickMs, pendingCallTimerProc);
        ::SetEvent(started.get());
        while (::GetMessageA(&message, nullptr, 0, 0) > 0)
            ::DispatchMessageA(&message);
        ::KillTimer(nullptr, timer);
    });
    ::WaitForSingleObject(started.get(), INFINITE);
}

InProcessSlave::~InProcessSlave()
{
    destroy();
    if (userInterface_.joinable()) {
        ::PostThreadMessageA(userInterfaceId_, WM_QUIT, 0, 0);
        userInterface_.join();
    }
}

void InProcessSlave::stop()
{
    if (!worker_.joinable())
        return;
    slave_->SetStopFlag();
    worker_.join();
}

void InProcessSlave::destroy()
{
    stop();
    slave_.reset();
}

void expectClosedExactlyOnce(const std::vector<ResponseCode>& results)
{
    std::string sequence;
    for (const ResponseCode result : results)
        sequence += std::to_string(result) + " ";
    SCOPED_TRACE("results: " + sequence);
    const auto closed = std::find(results.begin(), results.end(), ResponsePalmDesktopClosed);
    ASSERT_NE(closed, results.end());
    EXPECT_EQ(std::count(results.begin(), results.end(), ResponsePalmDesktopClosed), 1);
    // The command in flight when the slave stopped may have been withdrawn.
    const bool withdrawn = closed != results.begin() && closed[-1] == ResponseFailed;
    const auto ok = [](ResponseCode r) { return r == ResponseOk; };
    EXPECT_TRUE(std::all_of(results.begin(), closed - withdrawn, ok));
    EXPECT_TRUE(std::all_of(closed + 1, results.end(), ok));
}
