#pragma once

#include "channel/section_dispatch.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

// A section handler that answers what a script says and logs every call.
// Script lines "<operation> <result> [data]", consumed per operation (none
// left: 0, no data); data is "key=value ..." ("key=#N": N bytes of 'x'),
// an id, a count, or names joined by '|'. Log lines "make S", "destroy S",
// "<operation> S [argument]".
namespace scripted {

/// Replaces the script.
void setScript(const std::vector<std::string>& lines);
/// Reads the script from a file, one line each.
void loadScript(const std::string& path);
/// The log so far.
std::vector<std::string> log();
/// Empties the log.
void clearLog();
/// Also appends every log line to `path` (flushed at once).
void mirrorLogTo(const std::string& path);
/// Runs at the start of every handler operation (for nested ticks).
void setDuringCall(std::function<void()> hook);

/// The SectionHandlerMaker of the tests: a scripted handler for sections
/// 0-3, none otherwise.
std::unique_ptr<SectionHandler> makeSection(const win::ComPtr<PalmApplication>&, int section);

}  // namespace scripted
