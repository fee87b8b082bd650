#include "win/trace_file.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>

#include "win/com_error.h"
#include "win/critical_section.h"
#include "win/unique_handle.h"

namespace trace {

namespace detail {
std::atomic<bool> enabled{false};
}  // namespace detail

namespace {

/// The open file and its path, behind one lock: writers in this process
/// take turns, and the file is never closed under a writer.
struct TraceFile {
    ~TraceFile() { detail::enabled.store(false); }
    win::CriticalSection lock;
    win::UniqueHandle file;
    /// Named after the file: the writers of all processes take turns on it.
    win::UniqueHandle writersMutex;
    std::string path;
};

// Built when the module's static objects are (before DllMain runs), so that
// no first use has to be guarded, least of all under the loader lock.
TraceFile theTraceFile;

TraceFile& traceFile() noexcept { return theTraceFile; }

constexpr std::size_t kLineRoom = 600;
constexpr DWORD kWriterWaitMs = 2000;

/// The name of the mutex that every process appending to `path` shares: the
/// file's full path, without regard to letter case, hashed (FNV-1a).
std::string writersMutexName(const std::string& path)
{
    char full[MAX_PATH] = {};
    const DWORD n = ::GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    const std::string name = n > 0 && n < MAX_PATH ? std::string(full, n) : path;
    unsigned long long hash = 14695981039346656037ull;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c)));
        hash *= 1099511628211ull;
    }
    char text[48];
    std::snprintf(text, sizeof text, "Brannock_Trace_%016llX", hash);
    return text;
}

}  // namespace

bool openTraceFile(const std::string& path) noexcept
{
    TraceFile& trace = traceFile();
    win::CriticalSection::Lock locked(trace.lock);
    detail::enabled.store(false);
    trace.file.reset();
    trace.writersMutex.reset();
    try {
        trace.path.clear();
        if (path.empty())
            return true;
        // Appending only: every WriteFile lands at the file's end as one
        // piece, whichever process writes.
        trace.file.reset(::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!trace.file)
            return false;
        // Appends by several processes are whole on Windows; the mutex keeps
        // them so where appending is emulated (Wine: size, then write).
        trace.writersMutex.reset(::CreateMutexA(nullptr, FALSE, writersMutexName(path).c_str()));
        trace.path = path;
    } catch (...) {
        trace.file.reset();
        trace.writersMutex.reset();
        return false;
    }
    detail::enabled.store(true);
    return true;
}

std::string traceFilePath()
{
    TraceFile& trace = traceFile();
    win::CriticalSection::Lock locked(trace.lock);
    return trace.path;
}

void traceLine(End end, const char* format, ...) noexcept
{
    if (!traceEnabled())
        return;
    char line[kLineRoom];
    SYSTEMTIME now;
    ::GetSystemTime(&now);
    int used = std::snprintf(line, sizeof line, "%04u-%02u-%02u %02u:%02u:%02u.%03u pid %lu %-6s ", now.wYear,
                             now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds,
                             static_cast<unsigned long>(::GetCurrentProcessId()),
                             end == End::Master ? "master" : end == End::Slave ? "slave" : "dll");
    if (used < 0)
        return;
    std::va_list arguments;
    va_start(arguments, format);
    const int event = std::vsnprintf(line + used, sizeof line - used - 2, format, arguments);
    va_end(arguments);
    if (event > 0)
        used += std::min<int>(event, static_cast<int>(sizeof line) - used - 3);
    for (int i = 0; i < used; ++i)
        if (line[i] < 0x20 || line[i] > 0x7E)
            line[i] = '?';
    line[used++] = '\r';
    line[used++] = '\n';

    TraceFile& trace = traceFile();
    win::CriticalSection::Lock locked(trace.lock);
    if (!trace.file)
        return;
    const HANDLE writers = trace.writersMutex.get();
    const DWORD turn = writers ? ::WaitForSingleObject(writers, kWriterWaitMs) : WAIT_FAILED;
    DWORD written = 0;
    ::WriteFile(trace.file.get(), line, static_cast<DWORD>(used), &written, nullptr);
    if (turn == WAIT_OBJECT_0 || turn == WAIT_ABANDONED)
        ::ReleaseMutex(writers);
}

double millisecondsSince(long long start) noexcept
{
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart ? double(now.QuadPart - start) * 1000.0 / double(frequency.QuadPart) : 0.0;
}

void traceHandlerError(const char* operation, HRESULT code) noexcept
{
    if (!traceEnabled())
        return;
    try {
        const std::string text = win::ComError(code).message();
        traceLine(End::Slave, "handler caught 0x%08lX in %s: %s", static_cast<unsigned long>(code),
                  operation ? operation : "?", text.c_str());
    } catch (...) {
        traceLine(End::Slave, "handler caught 0x%08lX in %s", static_cast<unsigned long>(code),
                  operation ? operation : "?");
    }
}

}  // namespace trace
