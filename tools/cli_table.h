#pragma once

// Records as a compact table for people (brannock_cli export --table): one
// line per record with the fields that tell records apart, chosen per
// section, and a count at the end.

#include <string>

#include "channel/command_processor.h"
#include "tools/cli_record_json.h"

namespace cli {

/// The table of `records` (a JSON array as recordToJson makes them, with the
/// "Repeat" field decoded or raw) of `section`, UTF-8, lines ended by "\n".
std::string recordTable(Section section, const Json& records);

/// A short description of a recurrence, such as "every 2 weeks Mon Wed
/// until 2027-06-30, 1 skipped".
std::string describeRepeat(const Repeat& repeat);

}  // namespace cli
