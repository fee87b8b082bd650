#pragma once

#include "channel/section_dispatch.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

// A section handler for the channel's tests: it answers what a script says
// and logs every call it receives.
//
// Script: one line per answer, "<operation> <result> [data]", consumed in
// order per operation; an operation with no line left answers 0 with no
// data. Data: getNextRecord "key=value ..." ("key=#N" is N bytes of 'x');
// sendRecord the record id; getRecordCount the count; readCategoryList the
// names separated by '|' ("A||B" holds an empty name).
//
// Log: "make S", "destroy S", "<operation> S [argument]" with S the handler's
// section; arguments: sendRecord "key=value ..." of the record,
// writeCategoryList the names joined by '|', deleteRecord the id.
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
