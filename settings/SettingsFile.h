#pragma once
// The settings file MARVOK.INI and the in-memory values it holds. The bare
// name is resolved against the current directory at each access, because a
// file dialog may have moved the current directory since start-up.

#include "EditorState.h"

#include <string>

namespace vela {

/// Full path of "MARVOK.INI" in the current directory now.
std::string SettingsFileName();

/// Reads MailAddress, LineBreakAfterTag, ReselectAfterTag and ImageFileNameOnly
/// (defaults when the file or a key is missing; the address "ERROR" reads as none).
/// AutoRefreshOnImport is not stored in the file and stays as it is.
void readSettings(EditorState& state);

} // namespace vela
