#pragma once

// The names of the channel's four kernel objects. They start as the base
// names; at module start the module appends the add-in's class id (registry
// form) to the master event, the slave event and the zone, so that every
// installation gets channel objects of its own. The exit event keeps its
// base name and is shared by every installation on the machine.

/// Appends `suffix` to the names of the master event, the slave event and
/// the zone, in that order; each name stays within its 260-byte buffer and
/// is cut where the buffer ends. Call it before any channel end is built;
/// it is not safe against channel ends being built at the same time.
void appendChannelNameSuffix(const char* suffix) noexcept;

/// The name of the shared zone (the file mapping).
const char* sharedZoneName() noexcept;
/// The name of the master event ("a command stands in the zone").
const char* masterEventName() noexcept;
/// The name of the slave event ("the answer stands in the zone").
const char* slaveEventName() noexcept;
/// The name of the Palm Desktop exit event; never suffixed.
const char* exitEventName() noexcept;
