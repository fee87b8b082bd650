#include "addin/addin_identity.h"

#include <cguid.h>
#include <objbase.h>

#include <cstring>

#include "addin/this_module.h"
#include "win/ansi.h"
#include "win/unique_handle.h"

namespace {

constexpr char kNullClassIdDefault[] = "{00000000-0000-0000-000000000000}";
constexpr DWORD kClassIdBufferSize = 40;
constexpr DWORD kPendingValueBufferSize = 254;

}  // namespace

std::string configFileBeside(HMODULE module) {
    std::string path = moduleFolder(module) + kAddinConfigFileName;
    if (path.size() >= MAX_PATH) return {};
    return path;
}

namespace {

bool classIsRegistered(const std::string& classKey) {
    win::UniqueRegKey key;
    return ::RegOpenKeyExA(HKEY_CLASSES_ROOT, classKey.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

}  // namespace

long adoptInstallerConfig(const char* section, const char* key, const char* configPath) {
    win::UniqueRegKey marker;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPendingInstallerKey, 0, KEY_READ, marker.put()) != ERROR_SUCCESS)
        return 1;

    char pending[MAX_PATH + 1] = {};
    DWORD type = 0;
    DWORD size = MAX_PATH;
    if (::RegQueryValueExA(marker.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(pending), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return 0;

    char value[kPendingValueBufferSize] = {};
    ::GetPrivateProfileStringA(section, key, "INVALID GUID KEY", value, kPendingValueBufferSize, pending);
    if (classIsRegistered(std::string("CLSID\\") + value)) {
        ::CopyFileA(pending, configPath, FALSE);
        return 1;
    }
    if (configPath && std::strcmp(pending, configPath) == 0) return 1;
    return ::CopyFileA(pending, configPath, FALSE) ? 0 : E_FAIL;
}

CLSID getConfiguredClassId(const char* section, const char* key, const char* configPath, HMODULE module) {
    std::string besideModule;
    if (!configPath) {
        besideModule = configFileBeside(module);
        configPath = besideModule.c_str();
    }
    if (adoptInstallerConfig(section, key, configPath) < 0) return GUID_NULL;

    char text[kClassIdBufferSize] = {};
    ::GetPrivateProfileStringA(section, key, kNullClassIdDefault, text, kClassIdBufferSize, configPath);
    std::wstring wide = win::toWide(text);
    CLSID id = GUID_NULL;
    if (FAILED(::CLSIDFromString(wide.c_str(), &id))) return GUID_NULL;
    return id;
}

const char* nullClassIdReason(const char* section, const char* key, const char* configPath) {
    if (::GetFileAttributesA(configPath) == INVALID_FILE_ATTRIBUTES) return "no conn_install.cfg beside the DLL";
    char text[kClassIdBufferSize] = {};
    ::GetPrivateProfileStringA(section, key, "", text, kClassIdBufferSize, configPath);
    if (!text[0]) return "conn_install.cfg names no class identifier for the DLL";
    CLSID id = GUID_NULL;
    if (FAILED(::CLSIDFromString(win::toWide(text).c_str(), &id)) || id == GUID_NULL)
        return "the value in conn_install.cfg is not a class identifier";
    return "a pending installer configuration could not be copied beside the DLL";
}

CLSID configuredAddinClassId() {
    return getConfiguredClassId(kAddinConfigSection, kAddinConfigKey, nullptr, thisModule());
}

std::string classIdText(const CLSID& id) {
    wchar_t text[40] = {};
    int n = ::StringFromGUID2(id, text, 40);
    return n > 0 ? win::toNarrow(text, static_cast<size_t>(n - 1)) : std::string();
}
