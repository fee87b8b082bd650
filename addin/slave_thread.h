#pragma once

#include <windows.h>

#include <atomic>
#include <memory>

#include "channel/command_slave.h"
#include "sections/palm_desktop.h"
#include "win/com_ptr.h"
#include "win/unique_handle.h"

/// Milliseconds the worker sleeps before it starts serving: 10,000, so that
/// Palm Desktop has finished starting. Tests shorten it.
extern std::atomic<DWORD> slaveStartDelayMs;

/// The holder of the running slave: the worker thread, Palm Desktop's
/// application interface and the slave end of the channel. Building it opens
/// the channel's kernel objects.
///
/// The holder is shared between the add-in and its worker thread. A worker
/// that does not end within the ten seconds `stop` waits keeps the holder
/// (and its slave) alive until it ends, and frees it then; while it lives,
/// the holder keeps the DLL locked, and the worker holds a reference on the
/// module until its very last call.
class SlaveThread {
public:
    /// Builds the holder with its slave; throws what the channel throws
    /// (the system error code as `unsigned long`) or std::bad_alloc.
    static std::shared_ptr<SlaveThread> create(win::ComPtr<PalmApplication> application);
    ~SlaveThread();

    SlaveThread(const SlaveThread&) = delete;
    SlaveThread& operator=(const SlaveThread&) = delete;

    /// Starts the worker thread, which owns a share of the holder.
    void start(const std::shared_ptr<SlaveThread>& self);
    /// Sets the slave's stop flag, waits up to ten seconds for the worker
    /// and lets go of its handle; false when the worker has not ended.
    bool stop() noexcept;

private:
    explicit SlaveThread(win::ComPtr<PalmApplication> application);
    static DWORD WINAPI run(void* start) noexcept;
    /// The worker's whole work; returns the module reference it held.
    static HMODULE serve(void* start) noexcept;

    win::UniqueHandle thread_;
    win::ComPtr<PalmApplication> application_;
    CommandSlave slave_;
};
