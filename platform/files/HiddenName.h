#pragma once
// The names of our own files in a user's folder (temporary files of a save,
// the copy kept during a write in place): hidden and of fixed length,
// whatever the user's file is called, so a name near the file system's limit
// can still be saved.

#include <string>
#include <string_view>

namespace vela::files {

/// ".vela-" and eight random hexadecimal digits, then `suffix`.
std::string hiddenName(std::string_view suffix);
/// Whether `name` is one that hiddenName(suffix) could give.
bool isHiddenName(std::string_view name, std::string_view suffix);

} // namespace vela::files
