#pragma once

#include <string>

/// Key of the field trace's setting in the "[Brannock]" section.
inline constexpr char kTraceKey[] = "Trace";

/// The trace file that a "Trace=" value names: empty (no trace) for an
/// absent or blank value; a path with a drive, or starting with a slash or
/// backslash, as it is; any other path taken from `dllFolder` (which ends
/// with a backslash). Blanks around the value are ignored.
std::string traceFileFromSetting(const std::string& value, const std::string& dllFolder);

/// Opens the trace file that the "Trace=" setting of the configuration file
/// at `configPath` names, relative paths taken from that file's folder (the
/// DLL's). No setting, or a file that cannot be opened, leaves the trace
/// off; nothing is reported. True when a trace is open afterwards.
bool startTraceFromSettings(const std::string& configPath) noexcept;
