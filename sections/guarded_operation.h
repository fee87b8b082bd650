#pragma once

#include <windows.h>

#include "channel/command_processor.h"
#include "win/com_error.h"
#include "win/trace_file.h"

/// Runs one section operation. A failure of Palm Desktop (a win::ComError
/// raised inside it) ends the operation: its code goes to `lastError` and
/// the answer is ResponseFailed. Nothing done before the failure is undone;
/// other exceptions pass through. With the field trace on, the failure is
/// traced with `where`, the operation's name (by default the caller's).
template <typename Operation>
ResponseCode guardedOperation(HRESULT& lastError, Operation&& operation, const char* where = __builtin_FUNCTION())
{
    try {
        return operation();
    } catch (const win::ComError& error) {
        lastError = error.code();
        if (trace::traceEnabled())
            trace::traceHandlerError(where, lastError);
        return ResponseFailed;
    }
}
