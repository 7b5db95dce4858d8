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

/// Writes "SW"/"STI1", "STI2" and "STI3" from LineBreakAfterTag, ReselectAfterTag
/// and ImageFileNameOnly, in that order. Throws AppError "%s に書き込めません" at
/// the first key that cannot be written; the keys after it are not written.
void writeSwitches(const EditorState& state);

/// Writes "MAIL"/"ADD" from MailAddress (an empty address is stored as empty).
void writeMailAddress(const EditorState& state);

} // namespace vela
