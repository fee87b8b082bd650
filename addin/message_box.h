#pragma once

#include <windows.h>

/// Signature of the function through which the add-in shows every message box.
using MessageBoxFunction = int(WINAPI*)(HWND owner, const char* text, const char* caption, UINT type);

/// The add-in's one way to show a message box: the system's MessageBoxA
/// unless a test has put an observer in its place.
extern MessageBoxFunction showMessageBox;
