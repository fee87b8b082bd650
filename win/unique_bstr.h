#pragma once

#include <oleauto.h>
#include <windows.h>

#include "win/unique_resource.h"

namespace win {

struct BstrTraits {
    using Value = BSTR;
    static BSTR empty() noexcept { return nullptr; }
    static bool isValid(BSTR b) noexcept { return b != nullptr; }
    static void close(BSTR b) noexcept { ::SysFreeString(b); }
};

/// Owner of a BSTR; `put()` serves as the out-parameter of a callee.
using UniqueBstr = UniqueResource<BstrTraits>;

}  // namespace win
