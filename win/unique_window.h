#pragma once

#include <windows.h>

#include "win/unique_resource.h"

namespace win {

struct WindowTraits {
    using Value = HWND;
    static HWND empty() noexcept { return nullptr; }
    static bool isValid(HWND w) noexcept { return w != nullptr; }
    static void close(HWND w) noexcept { ::DestroyWindow(w); }
};

/// Owner of a window; destroy it on the thread that created it.
using UniqueWindow = UniqueResource<WindowTraits>;

}  // namespace win
