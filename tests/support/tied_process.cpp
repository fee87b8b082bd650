#include "tied_process.h"

namespace {

/// The job of this test process; never closed before the process ends.
HANDLE testJob()
{
    static const HANDLE job = [] {
        HANDLE created = ::CreateJobObjectA(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (created)
            ::SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        return created;
    }();
    return job;
}

}  // namespace

win::UniqueHandle startTiedProcess(const std::string& commandLine, STARTUPINFOA& startup, bool inheritHandles)
{
    std::string line = commandLine;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, inheritHandles, CREATE_SUSPENDED, nullptr,
                          nullptr, &startup, &info))
        return {};
    win::UniqueHandle process(info.hProcess);
    const win::UniqueHandle thread(info.hThread);
    if (!testJob() || !::AssignProcessToJobObject(testJob(), process.get())) {
        ::TerminateProcess(process.get(), 1);
        return {};
    }
    ::ResumeThread(thread.get());
    return process;
}

DWORD runTiedProcess(const std::string& commandLine, DWORD timeoutMs)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    const win::UniqueHandle process = startTiedProcess(commandLine, startup, false);
    DWORD code = static_cast<DWORD>(-1);
    if (process && ::WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(process.get(), &code);
    else if (process)
        ::TerminateProcess(process.get(), code);
    return code;
}
