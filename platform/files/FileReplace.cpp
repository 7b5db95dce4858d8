#include "FileReplace.h"

#include "AppError.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <new>
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

// No write bit at all is the read-only attribute: it holds for root too, who
// passes every access check. Otherwise the effective user decides.
bool mayWrite(const std::string& target, const struct stat& st) {
    return (st.st_mode & 0222) != 0 && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
}

bool writeAllAt(int fd, std::string_view data, off_t offset) {
    while (!data.empty()) {
        ssize_t n = ::pwrite(fd, data.data(), data.size(), offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
        offset += n;
    }
    return true;
}

bool readWhole(int fd, std::string& out) {
    char buffer[65536];
    for (off_t offset = 0;;) {
        ssize_t n = ::pread(fd, buffer, sizeof buffer, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        out.append(buffer, static_cast<std::size_t>(n));
        offset += n;
    }
}

bool flushed(int fd, Durability durability) { return durability == Durability::Scratch || ::fsync(fd) == 0; }

// The content is one write, the length a truncation: a shorter new content must not keep the old tail.
bool writeContent(int fd, std::string_view data, Durability durability) {
    return writeAllAt(fd, data, 0) && ::ftruncate(fd, static_cast<off_t>(data.size())) == 0 && flushed(fd, durability);
}

// The old content is kept in memory: every file the editor writes is one it
// could hold whole (pages and documents it loads are limited far below the
// memory it uses for them), a second place on disk could itself be full or
// gone, and a copy left in a shared temporary folder after a crash would leak
// the user's text. A document's unsaved work is in its recovery copy until the
// save has succeeded, so a crash in the middle of this write loses nothing.
ReplaceResult writeInPlace(const std::string& target, std::string_view data, Durability durability) {
    const int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return ReplaceResult::CannotCreate;
    std::string old;
    bool kept = false;
    try {
        kept = readWhole(fd, old);
    } catch (const std::bad_alloc&) {
    }
    // Without its old content aside the file is not touched at all.
    if (!kept) {
        ::close(fd);
        return ReplaceResult::CannotCreate;
    }
    bool ok = writeContent(fd, data, durability);
    if (!ok) writeContent(fd, old, Durability::SyncedToDisk);
    ok = ::close(fd) == 0 && ok;
    return ok ? ReplaceResult::Done : ReplaceResult::WriteFailed;
}

// A rename is on disk only once its folder is; some file systems cannot sync a folder, which is no failure.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

ReplaceResult replaceFile(const std::string& path, std::string_view data, Durability durability) {
    if (path.empty()) return ReplaceResult::CannotCreate;
    const std::string target = resolveTarget(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists) {
        // A folder (or device) at the target must not be renamed over or written into.
        if (!S_ISREG(existing.st_mode) || !mayWrite(target, existing)) return ReplaceResult::CannotCreate;
        // A rename would give this name a new inode and leave the other names with the old content.
        if (existing.st_nlink > 1) return writeInPlace(target, data, durability);
    }

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
        if (fd < 0 && errno != EEXIST) break;
    }
    // A folder that takes no new file may still let its writable file be written.
    if (fd < 0) return exists ? writeInPlace(target, data, durability) : ReplaceResult::CannotCreate;

    bool ok = true;
    if (exists) {
        // Owner first: changing it may clear set-id bits that fchmod then restores. Only
        // a privileged process can give a file away; where that is needed, write in place.
        if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
            ::close(fd);
            ::unlink(tempPath.c_str());
            return writeInPlace(target, data, durability);
        }
        ok = ::fchmod(fd, existing.st_mode & 07777) == 0;
    }
    // fsync before rename: a short write or a full disk must show here, not after the swap.
    // A scratch file still fails on a short write or a failing close.
    ok = ok && writeAllAt(fd, data, 0) && flushed(fd, durability);
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(tempPath.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(tempPath.c_str());
        return ReplaceResult::WriteFailed;
    }
    if (durability == Durability::SyncedToDisk) syncFolder(folder);
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
