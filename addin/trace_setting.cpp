#include "addin/trace_setting.h"

#include "addin/this_module.h"

#include "addin/brannock_settings.h"
#include "win/trace_file.h"

std::string traceFileFromSetting(const std::string& value, const std::string& dllFolder)
{
    const char* blanks = " \t";
    const std::size_t first = value.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    const std::string path = value.substr(first, value.find_last_not_of(blanks) - first + 1);
    const bool absolute = path[0] == '\\' || path[0] == '/' || (path.size() > 1 && path[1] == ':');
    return absolute ? path : dllFolder + path;
}

bool startTraceFromSettings(const std::string& configPath) noexcept
{
    try {
        const std::string file = traceFileFromSetting(readBrannockSetting(configPath, kTraceKey), pathFolder(configPath));
        return !file.empty() && trace::openTraceFile(file);
    } catch (...) {
        return false;
    }
}
