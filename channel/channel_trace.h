#pragma once

#include <cstddef>

#include "win/trace_file.h"

class CommandProcessor;

// The channel's lines of the field trace (win/trace_file.h). Each function
// formats one event; callers test trace::traceEnabled() first, so that an
// untraced command builds nothing.

/// The master's line for one command: its kind, the section it works on
/// (named by it, or the one named last), the bytes sent and answered, the
/// result and the milliseconds since `started` (a trace::traceClock
/// reading). `note`, when set, says why nothing was sent or why the master
/// closed. A result of ResponsePalmDesktopClosed adds a line that the
/// master is closed.
void traceMasterCommand(const CommandProcessor& command, int result, std::size_t sentBytes,
                        std::size_t answerBytes, long long started, const char* note) noexcept;

/// The slave's line for one command served: its kind, section, result, the
/// bytes answered and the milliseconds from publishing the call to its end;
/// `withdrawn` when a stop took the call back before it ran.
void traceSlaveCommand(const CommandProcessor& command, int result, std::size_t answerBytes, long long published,
                       bool withdrawn) noexcept;
