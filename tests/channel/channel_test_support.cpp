#include "channel_test_support.h"

#include "channel/channel_names.h"
#include "tied_process.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace {

const char masterBaseName[] = "Marrowvelle_Tesk_Master";

std::string tempPath(const std::string& name)
{
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

/// Writes `lines` to `path` and answers the path.
std::string writeLines(const std::string& path, const std::vector<std::string>& lines)
{
    std::ofstream out(path, std::ios::binary);
    for (const std::string& line : lines)
        out << line << "\n";
    return path;
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

HelperProcess::HelperProcess(const std::string& program, const std::string& suffix, const std::string& quitPrefix,
                             const std::string& arguments)
    : quitEvent_(::CreateEventA(nullptr, TRUE, FALSE, (quitPrefix + suffix).c_str()))
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.erase(folder.find_last_of("\\/") + 1);
    std::string commandLine = "\"" + folder + program + "\" " + suffix + " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    process_ = startTiedProcess(commandLine, startup, false);
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

SlaveHost::SlaveHost(const std::string& suffix, const std::vector<std::string>& script, bool echo)
    : scriptPath_(writeLines(tempPath("brannock_script" + suffix + ".txt"), script)),
      logPath_(writeLines(tempPath("brannock_log" + suffix + ".txt"), {})),
      process_("channel_slave_host.exe", suffix, "BrannockTestHostQuit",
               echo ? "echo" : "\"" + scriptPath_ + "\" \"" + logPath_ + "\"")
{
}

SlaveHost::~SlaveHost()
{
    process_.quit();
    ::DeleteFileA(scriptPath_.c_str());
    ::DeleteFileA(logPath_.c_str());
}

std::vector<std::string> SlaveHost::log() const
{
    std::ifstream in(logPath_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}
