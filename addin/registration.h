#pragma once

#include <objbase.h>

/// Identifier of the REGISTRY resource that holds the registration script.
inline constexpr UINT kRegistrationScriptId = 101;

/// Registers (`registering` true) or unregisters the add-in class: runs the
/// registration script through the system registrar with CLSID = the
/// configured class identifier and MODULE = the DLL's full path, then
/// registers or unregisters the DLL's type library. Returns the first
/// failure, or S_OK.
HRESULT registerServer(bool registering) noexcept;
