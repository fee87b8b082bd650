// The Palm Desktop side of the two-process section tests: an empty stand-in,
// the real handlers, a message loop with the 100 ms hand-over timer and a
// worker thread running CommandSlave::loop. Usage: section_slave_host SUFFIX;
// serves the channel named with SUFFIX until the event
// "BrannockSectionHostQuit" SUFFIX is set, then ends with exit code 0.

#include <windows.h>

#include <memory>
#include <string>

#include "channel/channel_names.h"
#include "channel/command_slave.h"
#include "channel/pending_call.h"
#include "sections/section_factory.h"
#include "standin/standin_desktop.h"

namespace {

DWORD WINAPI serve(void* slave) noexcept {
    static_cast<CommandSlave*>(slave)->loop();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    appendChannelNameSuffix(argv[1]);
    const win::UniqueHandle quit(
        ::CreateEventA(nullptr, TRUE, FALSE, (std::string("BrannockSectionHostQuit") + argv[1]).c_str()));

    standin::StandinDesktop desk;
    sharedApplication() = desk.application();

    auto slave = std::make_unique<CommandSlave>();
    const win::UniqueHandle worker(::CreateThread(nullptr, 0, serve, slave.get(), 0, nullptr));
    const UINT_PTR timer = ::SetTimer(nullptr, 8, 100, pendingCallTimerProc);

    const HANDLE waitFor = quit.get();
    while (::MsgWaitForMultipleObjects(1, &waitFor, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
    }

    slave->SetStopFlag();
    ::WaitForSingleObject(worker.get(), 10000);
    slave.reset();
    ::KillTimer(nullptr, timer);
    sharedApplication().reset();
    return 0;
}
