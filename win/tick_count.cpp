#include "win/tick_count.h"

#include <atomic>

namespace win {

unsigned long long advanceTickCount(unsigned long long last, DWORD now) noexcept {
    if (last == 0) return now;
    const DWORD ahead = now - static_cast<DWORD>(last);
    return ahead < 0x80000000u ? last + ahead : last;
}

unsigned long long tickCount64() noexcept {
    static std::atomic<unsigned long long> last{0};
    static_assert(std::atomic<unsigned long long>::is_always_lock_free, "the tick count is read from any thread");
    unsigned long long seen = last.load();
    for (;;) {
        const unsigned long long next = advanceTickCount(seen, ::GetTickCount());
        if (next == seen || last.compare_exchange_weak(seen, next)) return next;
    }
}

}  // namespace win

// The toolchain's prebuilt winpthreads calls GetTickCount64 through its
// import slot, and Windows XP's kernel32 has no such export. Every module of
// this project defines the slot itself (the link forces this object in ahead
// of kernel32's import library), so those calls land in tickCount64.
namespace {

ULONGLONG WINAPI tickCount64ForImports() { return win::tickCount64(); }

}  // namespace

#ifdef _WIN64
extern "C" ULONGLONG(WINAPI* brannockGetTickCount64Slot)() __asm__("__imp_GetTickCount64");
#else
extern "C" ULONGLONG(WINAPI* brannockGetTickCount64Slot)() __asm__("__imp__GetTickCount64@0");
#endif
ULONGLONG(WINAPI* brannockGetTickCount64Slot)() = &tickCount64ForImports;
