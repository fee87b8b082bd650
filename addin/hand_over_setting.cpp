#include "addin/hand_over_setting.h"

#include <windows.h>

#include <cctype>

namespace {

struct NamedMode {
    const char* name;
    HandOverMode mode;
};

// Matched without regard to letter case; the empty text is an absent key.
const NamedMode namedModes[] = {
    {"", HandOverMode::Timer},
    {"timer", HandOverMode::Timer},
    {"prompt", HandOverMode::Prompt},
};

std::string trimmedLowerCase(const std::string& text) {
    std::string out = trimmedSetting(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

HandOverSetting parseHandOverSetting(const std::string& value) {
    const std::string wanted = trimmedLowerCase(value);
    for (const NamedMode& named : namedModes)
        if (wanted == named.name) return {named.mode, true};
    return {HandOverMode::Timer, false};
}

HandOverMode readHandOverMode(const std::string& configPath) {
    const std::string value = readBrannockSetting(configPath, kHandOverKey);
    const HandOverSetting setting = parseHandOverSetting(value);
    if (!setting.recognised) {
        const std::string line = std::string("Brannock: HandOver=") + value + " in " + configPath +
                                 " names no hand-over (timer or prompt); the timer is used\n";
        ::OutputDebugStringA(line.c_str());
    }
    return setting.mode;
}
