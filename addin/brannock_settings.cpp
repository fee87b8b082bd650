#include "addin/brannock_settings.h"

#include <windows.h>

#include <iterator>

#include "addin/addin_identity.h"
#include "addin/this_module.h"

std::string readBrannockSetting(const std::string& configPath, const char* key)
{
    char value[MAX_PATH + 1] = {};
    ::GetPrivateProfileStringA(kBrannockConfigSection, key, "", value, static_cast<DWORD>(std::size(value)),
                               configPath.c_str());
    return value;
}

std::string trimmedSetting(const std::string& value)
{
    const char* blanks = " \t";
    const std::size_t first = value.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return value.substr(first, value.find_last_not_of(blanks) - first + 1);
}

std::string configFileBesideThisModule() { return configFileBeside(thisModule()); }
