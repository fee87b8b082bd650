#include "addin/slave_thread.h"

#include "addin/com_module.h"
#include "sections/section_factory.h"
#include "win/trace_file.h"

#include <new>

std::atomic<DWORD> slaveStartDelayMs{10000};

namespace {
constexpr DWORD kStopWaitMs = 10000;
}

std::shared_ptr<SlaveThread> SlaveThread::create(win::ComPtr<PalmApplication> application) {
    return std::shared_ptr<SlaveThread>(new SlaveThread(std::move(application)));
}

SlaveThread::SlaveThread(win::ComPtr<PalmApplication> application) : application_(std::move(application)) {
    comModule().lock();
}

// A late worker frees the holder itself, giving the module lock back while
// it still runs this module's code; the reference on the module that it
// holds keeps the code loaded until it has left (see run).
SlaveThread::~SlaveThread() { comModule().unlock(); }

namespace {

/// What a new worker gets: its share of the holder and its own reference on
/// the module that holds its code.
struct WorkerStart {
    std::shared_ptr<SlaveThread> holder;
    HMODULE module;
};

/// A counted reference on the module holding this code; null on failure.
HMODULE referenceThisModule() noexcept {
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&referenceThisModule),
                         &module);
    return module;
}

}  // namespace

void SlaveThread::start(const std::shared_ptr<SlaveThread>& self) {
    HMODULE module = referenceThisModule();
    if (!module) return;
    // Out of memory for the start block: no worker, and the module
    // reference goes back, so that the DLL is not pinned.
    auto* start = new (std::nothrow) WorkerStart{self, module};
    if (start) thread_.reset(::CreateThread(nullptr, 0, &SlaveThread::run, start, 0, nullptr));
    if (!thread_) {
        delete start;
        ::FreeLibrary(module);
    }
}

bool SlaveThread::stop() noexcept {
    if (!thread_) return true;
    slave_.SetStopFlag();
    const bool ended = ::WaitForSingleObject(thread_.get(), kStopWaitMs) == WAIT_OBJECT_0;
    thread_.reset();
    return ended;
}

HMODULE SlaveThread::serve(void* start) noexcept {
    std::unique_ptr<WorkerStart> owned(static_cast<WorkerStart*>(start));
    SlaveThread& self = *owned->holder;
    try {
        trace::traceLine(trace::End::Slave, "worker started; serving in %lu ms",
                         static_cast<unsigned long>(slaveStartDelayMs.load()));
        ::Sleep(slaveStartDelayMs.load());
        sharedApplication() = self.application_.copy();
        self.slave_.loop();
    } catch (...) {
        // Only an allocation failure can get here; the worker ends quietly.
    }
    trace::traceLine(trace::End::Slave, "worker stopped");
    return owned->module;
}

// The worker may outlive the add-in that started it (OnUninitialize waits
// only ten seconds), and the module may be unloaded once the add-in and the
// holder are gone. So every object of the worker is destroyed in `serve`,
// and the last thing the worker does is one call outside this module that
// drops its module reference and ends the thread without returning here.
DWORD WINAPI SlaveThread::run(void* start) noexcept {
    ::FreeLibraryAndExitThread(serve(start), 0);
    return 0;
}
