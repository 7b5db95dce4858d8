#pragma once
// The process's current directory, also once the folder has been removed
// (another program deleted the folder a file dialog had moved into): paths
// built on it must still name that folder, so that writing there fails with
// a message about the right file instead of landing somewhere else.

#include <string>

namespace vela::files {

/// The current directory as a full path; after the folder was removed, the
/// path it had. Empty only when neither can be learnt.
std::string currentDirectory();

} // namespace vela::files
