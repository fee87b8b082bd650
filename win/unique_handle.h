#pragma once

#include <windows.h>

#include "win/unique_resource.h"

namespace win {

struct KernelHandleTraits {
    using Value = HANDLE;
    static HANDLE empty() noexcept { return nullptr; }
    static bool isValid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::CloseHandle(h); }
};

struct MappedViewTraits {
    using Value = void*;
    static void* empty() noexcept { return nullptr; }
    static bool isValid(void* p) noexcept { return p != nullptr; }
    static void close(void* p) noexcept { ::UnmapViewOfFile(p); }
};

struct RegistryKeyTraits {
    using Value = HKEY;
    static HKEY empty() noexcept { return nullptr; }
    static bool isValid(HKEY k) noexcept { return k != nullptr; }
    static void close(HKEY k) noexcept { ::RegCloseKey(k); }
};

/// Owner of a kernel object handle (event, mapping, thread, file).
using UniqueHandle = UniqueResource<KernelHandleTraits>;
/// Owner of a view mapped with MapViewOfFile.
using UniqueMappedView = UniqueResource<MappedViewTraits>;
/// Owner of an open registry key.
using UniqueRegKey = UniqueResource<RegistryKeyTraits>;

}  // namespace win
