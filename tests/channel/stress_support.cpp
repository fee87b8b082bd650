#include "stress_support.h"

#include "channel/pending_call.h"

#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

std::string separatorFreeText(std::mt19937& random, std::size_t length)
{
    std::string text(length, ' ');
    for (char& byte : text) {
        byte = static_cast<char>(1 + random() % 255);
        if (byte == '\xB5' || byte == '\xBA' || byte == '\xB6' || byte == '\xA3')
            byte = 'z';
    }
    return text;
}

namespace {

/// The open handles of this process, found by asking for each possible
/// handle value's flags (handle values are multiples of 4).
unsigned long probeOpenHandles()
{
    unsigned long open = 0;
    for (std::uintptr_t value = 4; value < 0x40000; value += 4) {
        DWORD flags = 0;
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++open;
    }
    return open;
}

/// The committed private memory of this process, region by region.
std::size_t committedPrivateBytes()
{
    std::size_t bytes = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr; ::VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            bytes += region.RegionSize;
        if (static_cast<const char*>(region.BaseAddress) + region.RegionSize < at)
            break;
    }
    return bytes;
}

}  // namespace

// Wine answers both questions with 0 (GetProcessHandleCount and
// PROCESS_MEMORY_COUNTERS_EX.PrivateUsage are not filled in): then the
// handles are counted by probing and the private bytes by walking the
// address space, which is what both figures mean.
ProcessUsage processUsage()
{
    ProcessUsage usage;
    DWORD handles = 0;
    if (::GetProcessHandleCount(::GetCurrentProcess(), &handles))
        usage.handles = handles;
    if (usage.handles == 0)
        usage.handles = probeOpenHandles();
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                               sizeof counters))
        usage.privateBytes = counters.PrivateUsage;
    if (usage.privateBytes == 0)
        usage.privateBytes = committedPrivateBytes();
    return usage;
}

UserInterfaceThread::UserInterfaceThread(UINT periodMs)
    : started_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)), thread_([this, periodMs] {
          MSG message;
          ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
          threadId_ = ::GetCurrentThreadId();
          const UINT_PTR timer = ::SetTimer(nullptr, 8, periodMs, pendingCallTimerProc);
          ::SetEvent(started_.get());
          while (::GetMessageA(&message, nullptr, 0, 0) > 0)
              ::DispatchMessageA(&message);
          ::KillTimer(nullptr, timer);
      })
{
    ::WaitForSingleObject(started_.get(), INFINITE);
}

UserInterfaceThread::~UserInterfaceThread()
{
    ::PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
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
    EXPECT_TRUE(std::all_of(results.begin(), closed - withdrawn, [](ResponseCode r) { return r == ResponseOk; }));
    EXPECT_TRUE(std::all_of(closed + 1, results.end(), [](ResponseCode r) { return r == ResponseOk; }));
}
