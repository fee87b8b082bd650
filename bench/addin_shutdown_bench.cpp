// The add-in started and stopped again and again at random moments of a
// shortened start, under a stream of engine commands, in this process
// against the stand-in. Prints the process's handles and private bytes
// after the first and the last cycle; fails (exit code 1) when a cycle did
// not report the closing exactly once, kept a module lock, or when the
// handles grew with the cycles.

#include <cstdio>
#include <random>
#include <string>

#include "addin/brannock_addin.h"
#include "addin/com_module.h"
#include "addin/slave_thread.h"
#include "channel/section_dispatch.h"
#include "channel_test_support.h"
#include "engine_thread.h"
#include "sections/section_factory.h"
#include "standin/host_object.h"
#include "standin/standin_desktop.h"
#include "bench_support.h"

int main() {
    constexpr int cycles = 40;
    isolateChannel();
    slaveStartDelayMs = 300;
    standin::StandinDesktop desk;
    standin::HostObject host{desk.application()};
    const long locks = comModule().lockCount();
    std::mt19937 random(6);
    int faults = 0;
    ProcessUsage afterFirst;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        {
            win::ComPtr<IDesktopAddin> addin;
            LONG success = 0;
            if (CBrannockAddin::create(nullptr, IID_IDesktopAddin, addin.putVoid()) != S_OK ||
                addin->OnInitialize(&host, 1, 0x0401, 0, &success) != S_OK || success != 1)
                return std::printf("cycle %d: the add-in did not start\n", cycle), 1;
            EngineThread engine;
            pumpMessages(random() % 900);
            addin->OnUninitialize();
            addin.reset();
            int closings = 0;
            for (ResponseCode result : engine.finish(15000)) closings += result == ResponsePalmDesktopClosed;
            if (closings != 1) ++faults, std::printf("cycle %d: the closing reported %d times\n", cycle, closings);
        }
        sectionDispatch().reset();
        sharedApplication().reset();
        if (comModule().lockCount() != locks) ++faults, std::printf("cycle %d: a module lock is left\n", cycle);
        if (cycle == 0) afterFirst = processUsage();
    }
    const ProcessUsage atEnd = processUsage();
    std::printf("add-in started and stopped %d times under load: handles %lu -> %lu, private bytes %zu -> %zu\n",
                cycles, afterFirst.handles, atEnd.handles, afterFirst.privateBytes, atEnd.privateBytes);
    // A handle lost per cycle would add one a cycle; Wine may still open a
    // handle or two of its own, lazily, after the first cycle.
    if (atEnd.handles > afterFirst.handles + 2) ++faults, std::printf("the handles grew with the cycles\n");
    return faults == 0 ? 0 : 1;
}
