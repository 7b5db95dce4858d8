#include "FileReplace.h"

#include "AppError.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vela::files {
namespace {

// The file a write really replaces: a symbolic link is followed, so the link stays.
std::string resolveTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            std::string resolved(real);
            std::free(real);
            return resolved;
        }
    }
    return path;
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

ReplaceResult replaceFile(const std::string& path, std::string_view data, Durability durability) {
    if (path.empty()) return ReplaceResult::CannotCreate;
    const std::string target = resolveTarget(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    // A folder (or device) at the target must not be renamed over or written into.
    if (exists && !S_ISREG(existing.st_mode)) return ReplaceResult::CannotCreate;

    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash == 0 ? 1 : slash);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

    std::random_device random;
    std::string tempPath;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tempPath = folder + "/." + base + "." + std::to_string(random() % 1000000u) + ".tmp";
        // A new file gets 0666 less the umask, as any newly created file would.
        fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST) return ReplaceResult::CannotCreate;
    }
    if (fd < 0) return ReplaceResult::CannotCreate;

    bool ok = true;
    if (exists) {
        // Owner first: changing it may clear set-id bits that fchmod then restores.
        if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
            // Only a privileged process can give the file away; keeping our own owner is fine.
        }
        ok = ::fchmod(fd, existing.st_mode & 07777) == 0;
    }
    // fsync before rename: a short write or a full disk must show here, not after the swap.
    // A scratch file still fails on a short write or a failing close.
    ok = ok && writeAll(fd, data) && (durability == Durability::Scratch || ::fsync(fd) == 0);
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(tempPath.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(tempPath.c_str());
        return ReplaceResult::WriteFailed;
    }
    return ReplaceResult::Done;
}

void writeFileOrThrow(const std::string& path, std::string_view data, Durability durability) {
    switch (replaceFile(path, data, durability)) {
    case ReplaceResult::Done:
        return;
    case ReplaceResult::CannotCreate: {
        std::error_code ec;
        std::filesystem::path full = std::filesystem::absolute(path, ec);
        throw cannotCreateFile(ec ? path : full.string());
    }
    case ReplaceResult::WriteFailed:
        throw streamWriteFailed();
    }
}

} // namespace vela::files
