#pragma once

#include <windows.h>

namespace standin {

/// The HRESULT a deleted item answers to every call but `Delete`.
constexpr HRESULT kItemDeleted = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0201);

}  // namespace standin
