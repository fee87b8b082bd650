#include "addin/trace_setting.h"

#include "addin/brannock_settings.h"
#include "addin/this_module.h"
#include "win/trace_file.h"

std::string traceFileFromSetting(const std::string& value, const std::string& dllFolder)
{
    const std::string path = trimmedSetting(value);
    if (path.empty())
        return {};
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
