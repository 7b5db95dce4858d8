#include "ExtendedAttributes.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include <sys/xattr.h>

namespace vela::files {
namespace {

// The names of a file's attributes; an empty list where the file system has none.
std::optional<std::vector<std::string>> names(int fd) {
    for (;;) {
        const ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size < 0) return errno == ENOTSUP ? std::optional(std::vector<std::string>{}) : std::nullopt;
        std::string list(std::size_t(size), '\0');
        const ssize_t got = ::flistxattr(fd, list.data(), list.size());
        if (got < 0 && errno == ERANGE) continue; // grown in between
        if (got < 0) return std::nullopt;
        std::vector<std::string> result;
        for (std::size_t at = 0; at < std::size_t(got);) {
            const std::size_t end = list.find('\0', at);
            if (end == std::string::npos || end > std::size_t(got)) break;
            if (end > at) result.push_back(list.substr(at, end - at));
            at = end + 1;
        }
        return result;
    }
}

std::optional<std::string> value(int fd, const std::string& name) {
    for (;;) {
        const ssize_t size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
        if (size < 0) return std::nullopt;
        std::string bytes(std::size_t(size), '\0');
        const ssize_t got = ::fgetxattr(fd, name.c_str(), bytes.data(), bytes.size());
        if (got < 0 && errno == ERANGE) continue;
        if (got < 0) return std::nullopt;
        bytes.resize(std::size_t(got));
        return bytes;
    }
}

} // namespace

bool copyExtendedAttributes(int from, int to) {
    const auto theirs = names(from);
    const auto ours = names(to);
    if (!theirs || !ours) return false;
    for (const std::string& name : *theirs) {
        const auto wanted = value(from, name);
        if (!wanted) return false;
        // Set only what differs: a label the new file already has needs no privilege.
        if (value(to, name) == wanted) continue;
        if (::fsetxattr(to, name.c_str(), wanted->data(), wanted->size(), 0) != 0) return false;
    }
    for (const std::string& name : *ours)
        if (std::find(theirs->begin(), theirs->end(), name) == theirs->end() && ::fremovexattr(to, name.c_str()) != 0)
            return false;
    return true;
}

} // namespace vela::files
