#pragma once

#include <windows.h>

/// The DLL's application object: what runs when a process loads and
/// unloads Brannock.dll.
class CAddinApp {
public:
    /// Process attach: appends the configured class identifier to the
    /// channel's object names. Returns TRUE.
    BOOL InitInstance(HINSTANCE instance);
    /// Process detach: releases the COM module's cached class factories.
    /// Returns 0.
    int ExitInstance();
};

/// The one application object of the DLL.
extern CAddinApp theApp;
