#include "FileReplace.h"

#include "AppError.h"
#include "ExtendedAttributes.h"
#include "HiddenName.h"
#include "OldContentCopy.h"
#include "WriteTarget.h"

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <optional>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vela::files {
namespace {

constexpr std::string_view TempSuffix = ".tmp";
// Big writes go in steps, so a kill or a fault meets a file written part-way, as it would on a slow disk.
constexpr std::size_t Chunk = std::size_t(1) << 20;
// A temporary file of a killed save is older than this; a younger one may still be being written.
constexpr time_t StaleSeconds = 60;

// No write bit at all is the read-only attribute: it holds for root too, who
// passes every access check. Otherwise the effective user decides.
bool mayWrite(const std::string& target, const struct stat& st) {
    return (st.st_mode & 0222) != 0 && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
}

bool writeAllAt(int fd, std::string_view data, off_t offset) {
    while (!data.empty()) {
        const ssize_t n = ::pwrite(fd, data.data(), std::min(data.size(), Chunk), offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
        offset += n;
    }
    return true;
}

bool flushed(int fd, Durability durability) { return durability == Durability::Scratch || ::fsync(fd) == 0; }

// A rename or removal is on disk only once its folder is; some file systems cannot sync a folder, which is no failure.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The content is one write, the length a truncation: a shorter new content must not keep the old tail.
ReplaceOutcome writeInPlace(const std::string& target, std::string_view data) {
    const int fd = ::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {ReplaceResult::CannotCreate};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return {ReplaceResult::CannotCreate};
    }
    // Without a synced copy of the old content on disk the file is not touched at all.
    std::optional<OldContentCopy> old = OldContentCopy::make(fd, target);
    if (!old) {
        ::close(fd);
        return {ReplaceResult::NoOldCopy};
    }
    const bool ok = writeAllAt(fd, data, 0) && ::ftruncate(fd, off_t(data.size())) == 0 && ::fsync(fd) == 0;
    if (!ok && !old->restoreInto(fd)) {
        ::close(fd);
        return {ReplaceResult::Damaged, old->path()};
    }
    ::close(fd);
    old->remove();
    return {ok ? ReplaceResult::Done : ReplaceResult::WriteFailed};
}

// A temporary file a previous save of `base` made, before names were of fixed length.
bool isOlderTemporaryName(std::string_view name, std::string_view base) {
    if (!name.starts_with('.') || !name.ends_with(TempSuffix) || name.size() < base.size() + 7) return false;
    name.remove_prefix(1);
    name.remove_suffix(TempSuffix.size());
    if (!name.starts_with(base) || name[base.size()] != '.') return false;
    const std::string_view digits = name.substr(base.size() + 1);
    return !digits.empty() && digits.size() <= 6 && digits.find_first_not_of("0123456789") == std::string_view::npos;
}

// Removes the temporary files of ours that a killed save left in `folder`: old
// enough, and with no save holding their lock.
void removeStaleTemporaries(const std::string& folder, std::string_view base) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const time_t now = ::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!isHiddenName(name, TempSuffix) && !isOlderTemporaryName(name, base)) continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != ::geteuid() || now - st.st_mtim.tv_sec < StaleSeconds)
            continue;
        const int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlinkat(::dirfd(dir), entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

// A replacement under way: the temporary file, locked, that is renamed over the target once written.
struct Replacement {
    std::string target, folder, base, tempPath;
    int fd = -1;
    Durability durability = Durability::SyncedToDisk;

    void giveUp() {
        ::close(fd);
        ::unlink(tempPath.c_str());
        fd = -1;
    }

    off_t written = 0;

    bool append(std::string_view data) {
        if (!writeAllAt(fd, data, written)) return false;
        written += off_t(data.size());
        return true;
    }

    ReplaceResult finish(std::string_view data) {
        if (append(data)) return commit();
        giveUp();
        return ReplaceResult::WriteFailed;
    }

    ReplaceResult commit() {
        // fsync before rename: a short write or a full disk must show here, not after the swap.
        // A scratch file still fails on a short write or a failing close.
        const bool ok = flushed(fd, durability) && ::rename(tempPath.c_str(), target.c_str()) == 0;
        if (!ok) {
            giveUp();
            return ReplaceResult::WriteFailed;
        }
        // Closed only after the rename, so the lock covered the file's whole life under its temporary name.
        const bool closed = ::close(fd) == 0;
        fd = -1;
        if (durability != Durability::Scratch) syncFolder(folder);
        removeStaleTemporaries(folder, base);
        return closed ? ReplaceResult::Done : ReplaceResult::WriteFailed;
    }
};

// What the checks before any byte decided.
struct Begun {
    enum { Refused, InPlace, Ready } how = Refused;
    std::string target;      ///< with InPlace
    Replacement replacement; ///< with Ready
};

Begun begin(const std::string& path, Durability durability) {
    if (path.empty()) return {};
    // Our own files follow no link at all: in a shared folder another user may have planted one.
    const bool own = durability != Durability::SyncedToDisk;
    const std::optional<std::string> resolved = own ? std::optional(path) : writeTarget(path);
    if (!resolved) return {};
    const std::string& target = *resolved;
    struct stat existing {};
    const bool exists = ::lstat(target.c_str(), &existing) == 0;
    if (exists) {
        // A folder (or device, or link of ours) at the target must not be renamed over or written into.
        if (!S_ISREG(existing.st_mode) || !mayWrite(target, existing)) return {};
        if (own && (existing.st_uid != ::geteuid() || existing.st_nlink > 1)) return {};
        // A rename would give this name a new inode and leave the other names with the old content.
        if (existing.st_nlink > 1) return {Begun::InPlace, target, {}};
    }

    Replacement r;
    r.target = target;
    r.durability = durability;
    r.folder = folderOf(target);
    r.base = target.substr(target.rfind('/') + 1);
    for (int attempt = 0; attempt < 100 && r.fd < 0; ++attempt) {
        r.tempPath = (r.folder == "/" ? std::string() : r.folder) + "/" + hiddenName(TempSuffix);
        // A new user file gets 0666 less the umask, as any newly created file would.
        r.fd = ::open(r.tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      exists || own ? 0600 : 0666);
        if (r.fd < 0 && errno != EEXIST) break;
    }
    // A folder that takes no new file may still let its writable file be written.
    if (r.fd < 0) return exists && !own ? Begun{Begun::InPlace, target, {}} : Begun{};
    // Held until the rename: a later save's clean-up leaves a file being written alone.
    ::flock(r.fd, LOCK_EX);

    if (exists && !own) {
        // Owner first: changing it may clear set-id bits that fchmod then restores. Only a
        // privileged process can give a file away; where that or an attribute cannot be
        // carried over, the file is written in place.
        const int oldFd = ::open(target.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        const bool carried = oldFd >= 0 && ::fchown(r.fd, existing.st_uid, existing.st_gid) == 0 &&
                             ::fchmod(r.fd, existing.st_mode & 07777) == 0 && copyExtendedAttributes(oldFd, r.fd);
        if (oldFd >= 0) ::close(oldFd);
        if (!carried) {
            r.giveUp();
            return {Begun::InPlace, target, {}};
        }
    }
    return {Begun::Ready, {}, std::move(r)};
}

std::string shownPath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    return ec ? path : full.string();
}

} // namespace

ReplaceOutcome replaceFile(const std::string& path, std::string_view data, Durability durability) {
    Begun begun = begin(path, durability);
    switch (begun.how) {
    case Begun::Refused: return {ReplaceResult::CannotCreate};
    case Begun::InPlace: return writeInPlace(begun.target, data);
    case Begun::Ready: break;
    }
    return {begun.replacement.finish(data)};
}

struct OwnFileReplacement::State {
    Replacement replacement;
};

OwnFileReplacement::OwnFileReplacement(std::unique_ptr<State> state) : m(std::move(state)) {}

OwnFileReplacement::~OwnFileReplacement() {
    if (m && m->replacement.fd >= 0) m->replacement.giveUp();
}

std::unique_ptr<OwnFileReplacement> OwnFileReplacement::beginOrThrow(const std::string& path, Durability durability) {
    Begun begun = durability == Durability::SyncedToDisk ? Begun{} : begin(path, durability);
    // Our own files are never written in place.
    if (begun.how != Begun::Ready) throw cannotCreateFile(shownPath(path));
    return std::unique_ptr<OwnFileReplacement>(
        new OwnFileReplacement(std::make_unique<State>(State{std::move(begun.replacement)})));
}

void OwnFileReplacement::appendOrThrow(std::string_view data) {
    if (m->replacement.fd < 0) throw streamWriteFailed();
    if (!m->replacement.append(data)) {
        m->replacement.giveUp();
        throw streamWriteFailed();
    }
}

void OwnFileReplacement::commitOrThrow() {
    if (m->replacement.fd < 0 || m->replacement.commit() != ReplaceResult::Done) throw streamWriteFailed();
}

std::string noOldContentCopyMessage(const std::string& path) {
    return "ﾌｧｲﾙ " + path + " の元の内容を控えられないため、書き込みませんでした";
}

std::string damagedFileMessage(const std::string& path, const std::string& copy) {
    return "ﾌｧｲﾙ " + path + " への書き込みに失敗し、元に戻せませんでした。ファイルは壊れているかもしれません。元の内容は " +
           copy + " にあります";
}

void writeFileOrThrow(const std::string& path, std::string_view data, Durability durability) {
    const std::string shown = shownPath(path);
    const ReplaceOutcome outcome = replaceFile(path, data, durability);
    switch (outcome.result) {
    case ReplaceResult::Done: return;
    case ReplaceResult::CannotCreate: throw cannotCreateFile(shown);
    case ReplaceResult::NoOldCopy: throw AppError(noOldContentCopyMessage(shown));
    case ReplaceResult::WriteFailed: throw streamWriteFailed();
    case ReplaceResult::Damaged: throw AppError(damagedFileMessage(shown, outcome.oldContentCopy));
    }
}

} // namespace vela::files
