#include "channel_test_support.h"

#include "channel/channel_names.h"
#include "tied_process.h"

#include <cstring>

std::string isolateChannel()
{
    static int tests = 0;
    const std::string suffix = "_" + std::to_string(::GetCurrentProcessId()) + "_" + std::to_string(++tests);
    appendChannelNameSuffix(suffix.c_str());
    const win::UniqueHandle exit(::CreateEventA(nullptr, TRUE, FALSE, exitEventName()));
    ::ResetEvent(exit.get());
    return masterEventName() + std::strlen("Marrowvelle_Tesk_Master");
}

ChannelProbe::ChannelProbe(std::size_t zoneSize)
    : zone(sharedZoneName(), zoneSize),
      master(::CreateEventA(nullptr, FALSE, FALSE, masterEventName())),
      slave(::CreateEventA(nullptr, FALSE, FALSE, slaveEventName())),
      exit(::CreateEventA(nullptr, TRUE, FALSE, exitEventName()))
{
}

HelperProcess::HelperProcess(const std::string& program, const std::string& suffix, const std::string& quitPrefix)
    : quitEvent_(::CreateEventA(nullptr, TRUE, FALSE, (quitPrefix + suffix).c_str()))
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.erase(folder.find_last_of("\\/") + 1);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    process_ = startTiedProcess("\"" + folder + program + "\" " + suffix, startup, false);
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
    const bool ended = process_ && ::WaitForSingleObject(process_.get(), 15000) == WAIT_OBJECT_0 &&
                       ::GetExitCodeProcess(process_.get(), &code) && code == 0;
    if (ended)
        process_.reset();
    return ended;
}
