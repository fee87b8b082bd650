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

std::string configFileBesideThisModule() { return moduleFolder(thisModule()) + kAddinConfigFileName; }
