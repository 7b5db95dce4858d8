#pragma once
// Reading a small file whole, safely: only a regular file is read, and a
// FIFO or a device can neither hang the read nor fill the memory.

#include <cstddef>
#include <optional>
#include <string>

namespace vela::files {

/// Why a whole-file read gave nothing.
enum class ReadFailure {
    Missing,      ///< no file of that name
    NotRegular,   ///< a folder, FIFO, device...
    TooLarge,     ///< holds more than asked for
    CannotRead,   ///< permission, disk error: the file may be fine
};

/// The whole content of the regular file at `path`; nothing when it cannot be
/// opened or read, is not a regular file, or holds more than `maxBytes`; then
/// `failure`, when given, says which.
std::optional<std::string> readRegularFile(const std::string& path, std::size_t maxBytes = std::size_t(-1),
                                           ReadFailure* failure = nullptr);

} // namespace vela::files
