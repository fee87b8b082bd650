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

private:
    /// Opens the field trace that "Trace=" asks for and puts the load and
    /// the class identifier in use (or why it is null) into it.
    void traceLoad(const CLSID& id);
};

/// The one application object of the DLL.
extern CAddinApp theApp;
