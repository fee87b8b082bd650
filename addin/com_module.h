#pragma once

#include <objbase.h>

#include "win/critical_section.h"

/// The DLL's COM module: the module lock count, the table of classes the
/// DLL serves and the cache of their class factories.
class ComModule {
public:
    /// Releases the cached class factories (process detach).
    void term() noexcept;

    /// Takes one module lock; returns the new count.
    long lock() noexcept;
    /// Gives one module lock back; returns the new count.
    long unlock() noexcept;
    /// The number of module locks held now.
    long lockCount() const noexcept;

    /// The class factory of a class the module serves, created once under
    /// the module's lock and cached: E_POINTER for a null `ppv`,
    /// CLASS_E_CLASSNOTAVAILABLE for a class it does not serve, otherwise the
    /// factory's answer to QueryInterface(riid).
    HRESULT getClassObject(REFCLSID rclsid, REFIID riid, void** ppv) noexcept;

private:
    volatile LONG locks_ = 0;
    win::CriticalSection factoryLock_;
};

/// The one COM module of the DLL.
ComModule& comModule() noexcept;
