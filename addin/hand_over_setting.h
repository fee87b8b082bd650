#pragma once

#include <string>

#include "addin/brannock_settings.h"

/// Key of the hand-over setting in that section.
inline constexpr char kHandOverKey[] = "HandOver";

/// How a published command reaches Palm Desktop's user-interface thread.
enum class HandOverMode {
    /// The 100 ms timer alone picks each call up.
    Timer,
    /// The worker also posts a wake-up to a window of the user-interface
    /// thread, which runs the call at once; the timer stays as well.
    Prompt
};

/// What a "HandOver=" value means.
struct HandOverSetting {
    HandOverMode mode;
    /// False for a value that names no mode; it means the timer.
    bool recognised;
};

/// Reads a "HandOver=" value: absent (empty) or "timer" is the timer,
/// "prompt" in any letter case is the prompt hand-over, anything else is
/// not recognised and means the timer. Blanks around the value are ignored.
HandOverSetting parseHandOverSetting(const std::string& value);

/// The hand-over that the configuration file at `configPath` asks for. An
/// unrecognised value gives the timer and one line through
/// OutputDebugStringA that names the value and the file.
HandOverMode readHandOverMode(const std::string& configPath);
