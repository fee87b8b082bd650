// The Palm Desktop side of the channel's two-process tests: a user-interface
// thread with a message loop and the 100 ms hand-over timer, a worker thread
// running CommandSlave::loop, and scripted section handlers.
//
// Usage: channel_slave_host SUFFIX SCRIPT-FILE LOG-FILE
// It serves until the event "BrannockTestHostQuit" SUFFIX is set, then stops
// the loop, destroys the slave (which sets the exit event) and ends.

#include "channel/channel_names.h"
#include "channel/command_slave.h"
#include "channel/pending_call.h"
#include "channel/section_dispatch.h"
#include "scripted_section.h"

#include <windows.h>

#include <memory>
#include <string>

namespace {

DWORD WINAPI serve(void* slave) noexcept
{
    static_cast<CommandSlave*>(slave)->loop();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    appendChannelNameSuffix(argv[1]);
    scripted::loadScript(argv[2]);
    scripted::mirrorLogTo(argv[3]);
    sectionDispatch().setMaker(scripted::makeSection);

    const win::UniqueHandle quit(
        ::CreateEventA(nullptr, TRUE, FALSE, (std::string("BrannockTestHostQuit") + argv[1]).c_str()));
    auto slave = std::make_unique<CommandSlave>();
    const win::UniqueHandle worker(::CreateThread(nullptr, 0, serve, slave.get(), 0, nullptr));
    const UINT_PTR timer = ::SetTimer(nullptr, 8, 100, pendingCallTimerProc);

    const HANDLE waitFor = quit.get();
    while (::MsgWaitForMultipleObjects(1, &waitFor, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&message);
    }

    slave->SetStopFlag();
    ::WaitForSingleObject(worker.get(), 10000);
    slave.reset();
    ::KillTimer(nullptr, timer);
    return 0;
}
