#pragma once

// The helper process section_slave_host, started by a two-process section
// test to serve that test's channel (see section_slave_host.cpp).

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "win/unique_handle.h"

namespace sectiontest {

/// Runs section_slave_host (from this program's folder) for the channel
/// whose names carry `suffix`; the destructor asks it to quit, waits up to
/// 15 seconds and expects exit code 0.
class SectionHost {
public:
    explicit SectionHost(const std::string& suffix)
        : quit_(::CreateEventA(nullptr, TRUE, FALSE, ("BrannockSectionHostQuit" + suffix).c_str())) {
        char path[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string folder(path);
        folder.erase(folder.find_last_of("\\/") + 1);
        std::string commandLine = "\"" + folder + "section_slave_host.exe\" " + suffix;
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
    ~SectionHost() {
        ::SetEvent(quit_.get());
        DWORD code = 1;
        if (::WaitForSingleObject(process_.get(), 15000) != WAIT_OBJECT_0) ::TerminateProcess(process_.get(), 1);
        EXPECT_TRUE(::GetExitCodeProcess(process_.get(), &code) && code == 0);
    }
    SectionHost(const SectionHost&) = delete;
    SectionHost& operator=(const SectionHost&) = delete;

private:
    win::UniqueHandle quit_;
    win::UniqueHandle process_;
};

}  // namespace sectiontest
