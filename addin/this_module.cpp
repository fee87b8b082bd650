#include "addin/this_module.h"

#include <cstdlib>

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

std::string moduleBaseName(HMODULE module) {
    std::string path = moduleFileName(module);
    char name[_MAX_FNAME] = {};
    if (_splitpath_s(path.c_str(), nullptr, 0, nullptr, 0, name, _MAX_FNAME, nullptr, 0) != 0) return {};
    return name;
}
