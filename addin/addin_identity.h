#pragma once

#include <objbase.h>

#include <string>

/// Section of "conn_install.cfg" that names the add-in's class identifiers.
inline constexpr char kAddinConfigSection[] = "Palm handheld";
/// Key under which the add-in's own class identifier stands.
inline constexpr char kAddinConfigKey[] = "Brannock.dll";
/// Key of the sibling component whose "Palm AddIn" marker the add-in removes.
inline constexpr char kSiblingConfigKey[] = "Tarnwick.dll";
/// File name of the add-in configuration, beside the DLL.
inline constexpr char kAddinConfigFileName[] = "conn_install.cfg";
/// Registry key (under HKEY_LOCAL_MACHINE) whose default value names the
/// configuration file an installer has left pending.
inline constexpr char kPendingInstallerKey[] = "SOFTWARE\\MarrowvelleTemp\\CONN_INSTALL_CFG";

/// The path of "conn_install.cfg" beside `module`; empty when it would be
/// longer than MAX_PATH.
std::string configFileBeside(HMODULE module);

/// The class identifier named by `key` in `section` of the configuration at
/// `configPath`, or of "conn_install.cfg" beside `module` when `configPath`
/// is null. A pending installer configuration is adopted first. Anything
/// missing or unreadable gives the null identifier.
CLSID getConfiguredClassId(const char* section, const char* key, const char* configPath, HMODULE module);

/// Hands over the configuration an installer left pending in the registry:
/// copies it over `configPath` when needed. Returns 1 or 0 to go on, or
/// E_FAIL when the pending file names an unregistered class and could not
/// be copied.
long adoptInstallerConfig(const char* section, const char* key, const char* configPath);

/// Why the lookup of `key` in `section` of the configuration at
/// `configPath` gives the null class identifier, for the field trace: no
/// file, no value, a value that is not a class identifier, or else a pending
/// installer configuration that could not be adopted. Reads the file only.
const char* nullClassIdReason(const char* section, const char* key, const char* configPath);

/// The add-in's configured class identifier, for the module holding this code.
CLSID configuredAddinClassId();

/// `id` in registry form: braces, upper-case hexadecimal digits, 38 ANSI
/// characters.
std::string classIdText(const CLSID& id);
