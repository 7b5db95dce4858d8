#pragma once
// What tells one version of a file from another without reading it: size,
// modification and change times to the nanosecond, inode and device. Another
// program that saves the file changes at least one of them (a rename over it
// changes the inode, a write the times; a write of the same size that sets
// the modification time back still moves the change time).

#include <cstdint>
#include <optional>
#include <string>

namespace vela::files {

struct FileIdentity {
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::int64_t changedSeconds = 0;
    std::int64_t changedNanoseconds = 0;
    std::uint64_t inode = 0;
    std::uint64_t device = 0;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

/// The identity of the regular file `path` names (a symbolic link is followed),
/// or nothing when there is none (a folder in its place counts as none) or it
/// cannot be looked at.
std::optional<FileIdentity> identityOf(const std::string& path);

} // namespace vela::files
