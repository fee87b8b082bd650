#pragma once

// Processes that a test starts, in one kill-on-close job that ends with the test process however it ends, so that
// no helper left running keeps the channel's names or the add-in's events for the tests after it.

#include <windows.h>

#include <string>

#include "win/unique_handle.h"

/// Starts `commandLine` as CreateProcessA does with `startup` (handles inherited when `inheritHandles`), inside the
/// test's job. The process handle, empty when the process could not be started.
win::UniqueHandle startTiedProcess(const std::string& commandLine, STARTUPINFOA& startup, bool inheritHandles);

/// Starts `commandLine` tied to the test, waits up to `timeoutMs` for its end and returns its exit code: -1 when it
/// could not start or did not end in time (it is then killed).
DWORD runTiedProcess(const std::string& commandLine, DWORD timeoutMs);
