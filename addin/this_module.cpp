#include "addin/this_module.h"


HMODULE thisModule() noexcept {
    static const char anchor = 0;
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         &anchor, &module);
    return module;
}

std::string moduleFileName(HMODULE module) {
    char path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameA(module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return std::string(path, n);
}

namespace {

/// Where the file name of `path` begins: after its last separator.
size_t fileNameStart(const std::string& path) {
    size_t separator = path.find_last_of("\\/:");
    return separator == std::string::npos ? 0 : separator + 1;
}

}  // namespace

std::string pathFolder(const std::string& path) { return path.substr(0, fileNameStart(path)); }

std::string moduleFolder(HMODULE module) { return pathFolder(moduleFileName(module)); }

std::string moduleBaseName(HMODULE module) {
    std::string path = moduleFileName(module);
    std::string name = path.substr(fileNameStart(path));
    return name.substr(0, name.rfind('.'));
}
