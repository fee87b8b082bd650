#include <windows.h>

// Process attach and detach of Brannock.dll.
BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
