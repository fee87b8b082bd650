#include "addin/hand_over_setting.h"

#include <windows.h>

#include <cctype>
#include <iterator>

#include "addin/addin_identity.h"
#include "addin/this_module.h"

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
    const char* blanks = " \t";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    std::string out = text.substr(first, text.find_last_not_of(blanks) - first + 1);
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
    char value[64] = {};
    ::GetPrivateProfileStringA(kBrannockConfigSection, kHandOverKey, "", value, static_cast<DWORD>(std::size(value)),
                               configPath.c_str());
    const HandOverSetting setting = parseHandOverSetting(value);
    if (!setting.recognised) {
        const std::string line = std::string("Brannock: HandOver=") + value + " in " + configPath +
                                 " names no hand-over (timer or prompt); the timer is used\n";
        ::OutputDebugStringA(line.c_str());
    }
    return setting.mode;
}

std::string configFileBesideThisModule() {
    std::string path = moduleFileName(thisModule());
    const std::size_t slash = path.find_last_of("\\/");
    path.erase(slash == std::string::npos ? 0 : slash + 1);
    return path + kAddinConfigFileName;
}
