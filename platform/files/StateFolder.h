#pragma once
// The editor's own folder of state ($XDG_STATE_HOME/vela): recovery copies and
// the record of a write in place that has not finished. The user's alone.

#include <string>

namespace vela::files {

/// $XDG_STATE_HOME/vela when XDG_STATE_HOME is an absolute path, else
/// ~/.local/state/vela; empty when no home folder is known (never a folder
/// at the disk's root).
std::string appStateFolder();

/// Makes every missing folder of `folder` (0700) and narrows `folder` itself
/// to 0700 when it is ours and open to others. False when it is no folder of
/// ours to use.
bool makePrivateFolder(const std::string& folder);

} // namespace vela::files
