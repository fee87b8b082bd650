#include "stress_support.h"

#include "channel/pending_call.h"

#include <psapi.h>

#include <gtest/gtest.h>

#include <cstdint>

HelperProcess::HelperProcess(const std::string& program, const std::string& suffix, const std::string& quitPrefix)
    : quitEvent_(::CreateEventA(nullptr, TRUE, FALSE, (quitPrefix + suffix).c_str()))
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.erase(folder.find_last_of("\\/") + 1);
    std::string commandLine = "\"" + folder + program + "\" " + suffix;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                         &info)) {
        ::CloseHandle(info.hThread);
        process_.reset(info.hProcess);
    }
    EXPECT_TRUE(process_) << "cannot start " << commandLine;
}

HelperProcess::~HelperProcess()
{
    if (process_ && !quit())
        ::TerminateProcess(process_.get(), 1);
}

bool HelperProcess::quit()
{
    ::SetEvent(quitEvent_.get());
    DWORD code = 1;
    const bool ended = ::WaitForSingleObject(process_.get(), 15000) == WAIT_OBJECT_0 &&
                       ::GetExitCodeProcess(process_.get(), &code) && code == 0;
    if (ended)
        process_.reset();
    return ended;
}

bool HelperProcess::running() const
{
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
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
