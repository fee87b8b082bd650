// Linked into a test program: a crash ends it with exit code 3, which the test run counts as a failure (Wine's
// debugger may otherwise end a crashed program with exit code 0).
#include <windows.h>

namespace {

LONG WINAPI exitOnCrash(EXCEPTION_POINTERS*) { ::ExitProcess(3); }

const LPTOP_LEVEL_EXCEPTION_FILTER previous = ::SetUnhandledExceptionFilter(exitOnCrash);

}  // namespace
