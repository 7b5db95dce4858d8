#include "WriteTarget.h"

#include <cerrno>
#include <climits>

#include <sys/stat.h>
#include <unistd.h>

namespace vela::files {
namespace {

// As many links as the kernel follows before it answers ELOOP.
constexpr int MaxLinks = 40;

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The kernel's rule for links in sticky world-writable folders (fs.protected_symlinks).
bool mayFollow(const struct stat& link, const std::string& folder) {
    struct stat dir {};
    if (::stat(folder.c_str(), &dir) != 0) return false;
    const bool shared = (dir.st_mode & S_ISVTX) && (dir.st_mode & S_IWOTH);
    return !shared || link.st_uid == ::geteuid() || link.st_uid == dir.st_uid;
}

} // namespace

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::optional<std::string> writeTarget(const std::string& path) {
    std::string current = path;
    for (int links = 0; links <= MaxLinks; ++links) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0) {
            // The path itself: whether it can be made shows when it is made. A link's
            // missing target is made only in a folder that exists, as open would.
            if (links == 0 || (errno == ENOENT && isFolder(folderOf(current)))) return current;
            return std::nullopt;
        }
        if (!S_ISLNK(st.st_mode)) return current;
        const std::string folder = folderOf(current);
        if (!mayFollow(st, folder)) return std::nullopt;
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(current.c_str(), buffer, sizeof buffer);
        if (n <= 0 || n == ssize_t(sizeof buffer)) return std::nullopt;
        const std::string next(buffer, std::size_t(n));
        current = next[0] == '/' ? next : (folder == "/" ? "/" : folder + "/") + next;
    }
    return std::nullopt;
}

} // namespace vela::files
