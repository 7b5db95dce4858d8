#pragma once
// Reading a small file whole, safely: only a regular file is read, and a
// FIFO or a device can neither hang the read nor fill the memory.

#include <cstddef>
#include <optional>
#include <string>

namespace vela::files {

/// The whole content of the regular file at `path`; nothing when it cannot be
/// opened or read, is not a regular file, or holds more than `maxBytes`.
std::optional<std::string> readRegularFile(const std::string& path, std::size_t maxBytes = std::size_t(-1));

} // namespace vela::files
