#pragma once

// Processes that a test starts, tied to the test's own process: they are
// members of one job object that kills them when it closes, and it closes
// when the test process ends, however it ends (a time-out, a crash, ctest
// stopping on a failure). A helper left running would otherwise keep the
// channel's names or the add-in's initialise event for the tests after it.

#include <windows.h>

#include <string>

#include "win/unique_handle.h"

/// Starts `commandLine` as CreateProcessA does with `startup` (handles are
/// inherited when `inheritHandles`), inside the test's kill-on-close job.
/// The process handle, empty when the process could not be started.
win::UniqueHandle startTiedProcess(const std::string& commandLine, STARTUPINFOA& startup, bool inheritHandles);

/// Starts `commandLine` tied to the test, waits up to `timeoutMs` for its
/// end and returns its exit code: -1 when it could not start or did not end
/// in time (it is then killed).
DWORD runTiedProcess(const std::string& commandLine, DWORD timeoutMs);
