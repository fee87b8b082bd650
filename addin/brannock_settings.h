#pragma once

#include <string>

// The DLL's own settings: the section "[Brannock]" of "conn_install.cfg"
// beside the DLL (HandOver=, Trace=). Both processes that load the DLL read
// the same file.

/// Section of "conn_install.cfg" that holds this DLL's own settings.
inline constexpr char kBrannockConfigSection[] = "Brannock";

/// The value of `key` in the "[Brannock]" section of the configuration
/// file at `configPath`, as written (at most MAX_PATH characters); empty
/// when the file, the section or the key is missing.
std::string readBrannockSetting(const std::string& configPath, const char* key);

/// `value` without the blanks (spaces, tabs) around it.
std::string trimmedSetting(const std::string& value);

/// The path of "conn_install.cfg" beside the module holding this code.
std::string configFileBesideThisModule();
