#pragma once

// A crash fails the test program that includes this header. Under Wine a
// crashed program otherwise exits with the code of the thread that ended
// last: 0 once an add-in worker has ended.

#include <windows.h>

inline LONG WINAPI failOnCrash(EXCEPTION_POINTERS*) {
    ::TerminateProcess(::GetCurrentProcess(), 3);
    return EXCEPTION_CONTINUE_SEARCH;
}
inline const LPTOP_LEVEL_EXCEPTION_FILTER crashFilterBefore = ::SetUnhandledExceptionFilter(&failOnCrash);
