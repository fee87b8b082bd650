// The 64-bit tick count that stands in for GetTickCount64 on Windows XP.
#include "win/tick_count.h"

#include <gtest/gtest.h>

namespace {

TEST(TickCount, AdvancesAcrossTheWrapAndNeverGoesBack) {
    struct Case {
        unsigned long long last;
        DWORD now;
        unsigned long long expected;
        const char* what;
    };
    const Case cases[] = {
        {0, 5000, 5000, "the first reading is taken as it is"},
        {5000, 5100, 5100, "a later reading moves it forward"},
        {0xFFFFFFF0ull, 0x10, 0x100000010ull, "the 32-bit clock wrapped"},
        {0x2FFFFFF00ull, 0x100, 0x300000100ull, "a wrap with high bits already set"},
        {0x100000010ull, 0xFFFFFFF8u, 0x100000010ull, "a reading from before the wrap, taken late"},
        {9000, 8990, 9000, "a reading another thread has overtaken"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, win::advanceTickCount(c.last, c.now)) << c.what;
}

TEST(TickCount, TheImportSlotOfWinpthreadsLandsHere) {
    // winpthreads (linked in) calls GetTickCount64 through this slot.
#ifdef _WIN64
    extern ULONGLONG(WINAPI * slot)() __asm__("__imp_GetTickCount64");
#else
    extern ULONGLONG(WINAPI * slot)() __asm__("__imp__GetTickCount64@0");
#endif
    const unsigned long long before = win::tickCount64();
    const unsigned long long through = slot();
    EXPECT_LE(before, through);
    EXPECT_LE(through, win::tickCount64());
    EXPECT_NEAR(static_cast<double>(::GetTickCount()), static_cast<double>(through & 0xFFFFFFFFu), 1000.0);
}

}  // namespace
