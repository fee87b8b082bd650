#include "addin/slave_thread.h"

#include "addin/com_module.h"
#include "sections/section_factory.h"

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

// A holder freed by a late worker gives its lock back just before the thread
// leaves this module's code; Palm Desktop unloads add-ins only at its end.
SlaveThread::~SlaveThread() { comModule().unlock(); }

void SlaveThread::start(const std::shared_ptr<SlaveThread>& self) {
    auto* share = new std::shared_ptr<SlaveThread>(self);
    thread_.reset(::CreateThread(nullptr, 0, &SlaveThread::run, share, 0, nullptr));
    if (!thread_) delete share;
}

void SlaveThread::stop() noexcept {
    if (!thread_) return;
    slave_.SetStopFlag();
    ::WaitForSingleObject(thread_.get(), kStopWaitMs);
    thread_.reset();
}

DWORD WINAPI SlaveThread::run(void* share) noexcept {
    std::unique_ptr<std::shared_ptr<SlaveThread>> holder(static_cast<std::shared_ptr<SlaveThread>*>(share));
    SlaveThread& self = **holder;
    try {
        ::Sleep(slaveStartDelayMs.load());
        sharedApplication() = self.application_.copy();
        self.slave_.loop();
    } catch (...) {
        // Only an allocation failure can get here; the worker ends quietly.
    }
    return 0;
}
