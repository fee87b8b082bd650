#pragma once

#include <windows.h>

namespace win {

/// Milliseconds since Windows started, as 64 bits that do not wrap after
/// 49.7 days. Windows XP has only the 32-bit GetTickCount, so the high part
/// is kept here: a reading that is behind the last one (another thread got
/// there first) gives the last one, any other moves it forward. Callers must
/// read at least once every 24 days, which every waiting loop does.
unsigned long long tickCount64() noexcept;

/// The step behind tickCount64: the 64-bit count after `last` once the
/// 32-bit clock reads `now`. A `last` of 0 takes `now` as it is.
unsigned long long advanceTickCount(unsigned long long last, DWORD now) noexcept;

}  // namespace win
