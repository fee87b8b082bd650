#pragma once

#include <windows.h>

#include "channel/command_processor.h"
#include "win/com_error.h"

/// Runs one section operation. A failure of Palm Desktop (a win::ComError
/// raised inside it) ends the operation: its code goes to `lastError` and
/// the answer is ResponseFailed. Nothing done before the failure is undone;
/// other exceptions pass through.
template <typename Operation>
ResponseCode guardedOperation(HRESULT& lastError, Operation&& operation)
{
    try {
        return operation();
    } catch (const win::ComError& error) {
        lastError = error.code();
        return ResponseFailed;
    }
}
