#include <windows.h>

#include "addin/addin_app.h"

// Process attach and detach of Brannock.dll run the application object.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        return theApp.InitInstance(instance);
    case DLL_PROCESS_DETACH:
        theApp.ExitInstance();
        return TRUE;
    default:
        return TRUE;
    }
}
