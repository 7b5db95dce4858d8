#pragma once
// Entries and buttons whose commands are not built yet: they exist, in place,
// disabled and marked "未実装". A subsystem that builds one of them moves the
// row into its own table (the assembly refuses a placeholder that a real
// entry shadows, so no caption is left behind twice).

#include "CommandTable.h"

namespace vela {

/// The placeholder rows: no handlers.
CommandTable unbuiltCommands();

} // namespace vela
