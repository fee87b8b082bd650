#pragma once

#include "channel/section_dispatch.h"

#include <functional>
#include <string>
#include <vector>

// A section handler that answers what a script says and logs every call.
// Script lines "<operation> <result> [data]", consumed per operation (none left: 0, no data); data is a record's
// text, an id, a count, or names joined by '|'.
// Log lines "make S", "destroy S", "<operation> S [argument]".
namespace scripted {

/// Resets the process's section dispatch to scripted handlers answering `script`, with an empty log and no hook.
void install(const std::vector<std::string>& script);
/// The log so far.
std::vector<std::string> log();
/// Runs at the start of every handler operation (for nested ticks).
void setDuringCall(std::function<void()> hook);
/// The SectionHandlerMaker of the tests: a scripted handler for sections 0-3, none otherwise.
std::unique_ptr<SectionHandler> makeSection(const win::ComPtr<PalmApplication>&, int section);

}  // namespace scripted
