#pragma once

#include <windows.h>

#include <string>

/// The module that holds this code: Brannock.dll when it runs inside the
/// DLL, the program itself when the add-in parts are linked into one.
HMODULE thisModule() noexcept;

/// The full path of `module` as the loader reports it (ANSI, at most
/// MAX_PATH characters); empty when it cannot be read.
std::string moduleFileName(HMODULE module);

/// The folder of `path` with its closing separator ("C:\\Palm\\"); empty
/// when `path` names no folder.
std::string pathFolder(const std::string& path);

/// The folder of `module` with its closing separator ("C:\\Palm\\"); empty
/// when the path cannot be read or names no folder.
std::string moduleFolder(HMODULE module);

/// The base file name of `module` without its extension ("Brannock").
std::string moduleBaseName(HMODULE module);
