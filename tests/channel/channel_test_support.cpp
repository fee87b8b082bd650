#include "channel_test_support.h"

#include "channel/channel_names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace {

const char masterBaseName[] = "Marrowvelle_Tesk_Master";

std::string thisFolder()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string tempPath(const std::string& name)
{
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

}  // namespace

std::string isolateChannel()
{
    static int tests = 0;
    const std::string suffix =
        "_" + std::to_string(::GetCurrentProcessId()) + "_" + std::to_string(++tests);
    appendChannelNameSuffix(suffix.c_str());
    const win::UniqueHandle exit(::CreateEventA(nullptr, TRUE, FALSE, exitEventName()));
    ::ResetEvent(exit.get());
    return masterEventName() + std::strlen(masterBaseName);
}

ChannelProbe::ChannelProbe(std::size_t zoneSize)
    : zone(sharedZoneName(), zoneSize),
      master(::CreateEventA(nullptr, FALSE, FALSE, masterEventName())),
      slave(::CreateEventA(nullptr, FALSE, FALSE, slaveEventName())),
      exit(::CreateEventA(nullptr, TRUE, FALSE, exitEventName()))
{
}

bool ChannelProbe::isSet(const win::UniqueHandle& event)
{
    return ::WaitForSingleObject(event.get(), 0) == WAIT_OBJECT_0;
}

SlaveHost::SlaveHost(const std::string& suffix, const std::vector<std::string>& script)
    : scriptPath_(tempPath("brannock_script" + suffix + ".txt")),
      logPath_(tempPath("brannock_log" + suffix + ".txt")),
      quitEvent_(::CreateEventA(nullptr, TRUE, FALSE, ("BrannockTestHostQuit" + suffix).c_str()))
{
    std::ofstream(scriptPath_, std::ios::binary) << [&] {
        std::string text;
        for (const std::string& line : script)
            text += line + "\n";
        return text;
    }();
    ::DeleteFileA(logPath_.c_str());
    std::string commandLine =
        "\"" + thisFolder() + "channel_slave_host.exe\" " + suffix + " \"" + scriptPath_ + "\" \"" + logPath_ + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &info)) {
        ::CloseHandle(info.hThread);
        process_.reset(info.hProcess);
    }
    EXPECT_TRUE(process_) << "cannot start " << commandLine;
}

SlaveHost::~SlaveHost()
{
    if (process_ && !quit())
        ::TerminateProcess(process_.get(), 1);
    ::DeleteFileA(scriptPath_.c_str());
    ::DeleteFileA(logPath_.c_str());
}

bool SlaveHost::quit()
{
    ::SetEvent(quitEvent_.get());
    DWORD code = 1;
    const bool ended = ::WaitForSingleObject(process_.get(), 15000) == WAIT_OBJECT_0 &&
                       ::GetExitCodeProcess(process_.get(), &code) && code == 0;
    if (ended)
        process_.reset();
    return ended;
}

std::vector<std::string> SlaveHost::log() const
{
    std::ifstream in(logPath_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}
