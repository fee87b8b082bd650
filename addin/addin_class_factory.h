#pragma once

#include <objbase.h>

/// Makes the class factory of CBrannockAddin (one reference, owned by the
/// caller). E_OUTOFMEMORY when it cannot be allocated.
HRESULT createBrannockAddinFactory(IClassFactory** factory) noexcept;
