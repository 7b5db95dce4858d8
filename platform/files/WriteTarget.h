#pragma once
// Where a write to a user's path lands. Symbolic links are followed one step
// at a time, and only where the kernel would let an open follow them: in a
// sticky folder that everyone may write, only a link of ours or of the
// folder's owner. A link is never the thing replaced.

#include <optional>
#include <string>

namespace vela::files {

/// The path a write of `path` must replace or create: `path` itself when it is
/// no link, else the file its links lead to (which may not exist yet, in a
/// folder that does). Nothing when a link leads into a missing folder, loops,
/// or may not be followed.
std::optional<std::string> writeTarget(const std::string& path);

/// The folder part of `path` ("." for a bare name, "/" at the root).
std::string folderOf(const std::string& path);

} // namespace vela::files
