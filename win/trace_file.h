#pragma once

#include <windows.h>

#include <atomic>
#include <string>

// The field trace: one plain-ASCII line per event, appended to one file that
// both Palm Desktop and the engine may write at once. Each line is
//     2026-12-06 17:40:01.123 pid 1234 slave  <event>
// (UTC, milliseconds) and goes to the file in one WriteFile call on a handle
// opened for appending only, while holding a mutex named after the file, so
// whole lines of different processes never interleave or overwrite each
// other. Lines carry kinds, sections, sizes, counts, results and times,
// never record contents. With no trace file open, every trace call costs one
// load of a flag; callers check traceEnabled() before building anything.

namespace trace {

/// Where a line comes from: the engine's end of the channel, Palm
/// Desktop's end (the slave and the add-in), or the DLL's load and unload,
/// which happen in both processes.
enum class End { Master, Slave, Module };

namespace detail {
/// Set while a trace file is open.
extern std::atomic<bool> enabled;
}  // namespace detail

/// True while a trace file is open. The one check an untraced path pays.
inline bool traceEnabled() noexcept { return detail::enabled.load(std::memory_order_relaxed); }

/// Opens `path` for appending (created when missing) as this process's
/// trace, replacing the one open before; the empty path turns the trace
/// off. False, and no trace, when the file cannot be opened.
bool openTraceFile(const std::string& path) noexcept;
/// The path of the open trace file; empty when the trace is off.
std::string traceFilePath();

/// Appends one line for `end`: the time, the process id, the end and the
/// printf-formatted event. Bytes outside printable ASCII become '?'; an
/// event longer than a line's room is cut. Does nothing with the trace off.
void traceLine(End end, const char* format, ...) noexcept
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

/// A moment on the trace's clock (performance counter ticks); 0 with the
/// trace off, so that an untraced path takes no reading.
inline long long traceClock() noexcept
{
    if (!traceEnabled())
        return 0;
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}
/// Milliseconds from `start` (a traceClock reading) to now.
double millisecondsSince(long long start) noexcept;

/// The slave's line for a Palm Desktop failure that a section operation
/// caught: the HRESULT, the system's text for it and the operation.
void traceHandlerError(const char* operation, HRESULT code) noexcept;

}  // namespace trace
