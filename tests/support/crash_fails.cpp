// Linked into every test program: a crash in any thread ends the program with
// exit code 3 and says so on standard error. Under Wine a crashed program
// otherwise exits with the code of the thread that ended last, which can be
// 0, and the run would count it as passed.
//
// A fault is caught the moment it is raised, before any handler sees it:
// Windows and Wine run a timer callback inside a handler that swallows every
// exception, so a fault in a section handler run by the hand-over's timer
// would never reach the unhandled-exception filter, and the test would wait
// for its call until it timed out.
#include <windows.h>

#include <cstdio>

namespace {

[[noreturn]] void failNow(const EXCEPTION_RECORD& record)
{
    std::fprintf(stderr, "CRASH: exception 0x%08lX at %p; the test program ends with exit code 3\n",
                 static_cast<unsigned long>(record.ExceptionCode), record.ExceptionAddress);
    std::fflush(stderr);
    ::TerminateProcess(::GetCurrentProcess(), 3);
    for (;;) ::Sleep(INFINITE);
}

LONG WINAPI failOnFault(EXCEPTION_POINTERS* exception)
{
    switch (exception->ExceptionRecord->ExceptionCode) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_STACK_OVERFLOW:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
        failNow(*exception->ExceptionRecord);
    default:
        return EXCEPTION_CONTINUE_SEARCH;
    }
}

LONG WINAPI failOnCrash(EXCEPTION_POINTERS* exception) { failNow(*exception->ExceptionRecord); }

const PVOID faultHandler = ::AddVectoredExceptionHandler(1, &failOnFault);
const LPTOP_LEVEL_EXCEPTION_FILTER filterBefore = ::SetUnhandledExceptionFilter(&failOnCrash);

}  // namespace
