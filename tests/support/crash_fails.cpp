// Linked into every test program: a crash in any thread ends the program with
// exit code 3. Under Wine a crashed program otherwise exits with the code of
// the thread that ended last, which can be 0, and the run would count it as
// passed.
#include <windows.h>

namespace {

LONG WINAPI failOnCrash(EXCEPTION_POINTERS*)
{
    ::TerminateProcess(::GetCurrentProcess(), 3);
    return EXCEPTION_CONTINUE_SEARCH;
}

const LPTOP_LEVEL_EXCEPTION_FILTER filterBefore = ::SetUnhandledExceptionFilter(&failOnCrash);

}  // namespace
