#include "OldContentCopy.h"

#include "FileRead.h"
#include "HiddenName.h"
#include "StateFolder.h"
#include "WriteTarget.h"

#include <cerrno>
#include <filesystem>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vela::files {
namespace {

constexpr std::string_view RecordSuffix = ".inplace";
constexpr std::size_t Chunk = std::size_t(1) << 20;

int createOwn(const std::string& path) {
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}

// A new hidden file in `folder`; -1 when the folder takes none.
int createIn(const std::string& folder, std::string_view suffix, std::string& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = (folder == "/" ? std::string() : folder) + "/" + hiddenName(suffix);
        const int fd = createOwn(path);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(std::size_t(n));
    }
    return true;
}

// Copies the whole of `from` into `to` from offset 0, with pread and write
// (pwrite stays the call of the user's file alone).
bool copyContent(int from, int to) {
    std::string buffer(Chunk, '\0');
    for (off_t offset = 0;;) {
        const ssize_t n = ::pread(from, buffer.data(), buffer.size(), offset);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (!writeAll(to, std::string_view(buffer.data(), std::size_t(n)))) return false;
        offset += n;
    }
}

void syncFolderOf(const std::string& path) {
    const int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

std::optional<OldContentCopy> OldContentCopy::make(int fd, const std::string& file) {
    // Full paths: the report at the next start is read in another current folder.
    std::error_code error;
    const std::string target = std::filesystem::absolute(file, error).string();
    if (error) return std::nullopt;
    OldContentCopy copy;
    const std::string state = appStateFolder();
    const bool stateUsable = makePrivateFolder(state);
    // Beside the file first; the state folder where the file's folder takes no copy (or its disk is full).
    for (const std::string& folder : {folderOf(target), stateUsable ? state : std::string()}) {
        if (folder.empty()) continue;
        copy.m_fd = createIn(folder, ".old", copy.m_path);
        if (copy.m_fd < 0) continue;
        if (copyContent(fd, copy.m_fd) && ::fsync(copy.m_fd) == 0) break;
        ::unlink(copy.m_path.c_str());
        ::close(std::exchange(copy.m_fd, -1));
    }
    if (copy.m_fd < 0) return std::nullopt;
    syncFolderOf(copy.m_path);
    // Without a record the copy still keeps the content; only the report at the next start is lost.
    if (stateUsable) {
        copy.m_recordFd = createIn(state, RecordSuffix, copy.m_record);
        const std::string names = target + '\0' + copy.m_path + '\0';
        if (copy.m_recordFd >= 0 &&
            (::flock(copy.m_recordFd, LOCK_EX) != 0 || !writeAll(copy.m_recordFd, names) || ::fsync(copy.m_recordFd) != 0)) {
            ::unlink(copy.m_record.c_str());
            ::close(std::exchange(copy.m_recordFd, -1));
        }
        if (copy.m_recordFd >= 0) syncFolderOf(copy.m_record);
    }
    return copy;
}

OldContentCopy::OldContentCopy(OldContentCopy&& other) noexcept
    : m_path(std::move(other.m_path)), m_fd(std::exchange(other.m_fd, -1)), m_record(std::move(other.m_record)),
      m_recordFd(std::exchange(other.m_recordFd, -1)) {}

OldContentCopy::~OldContentCopy() {
    if (m_fd >= 0) ::close(m_fd);
    if (m_recordFd >= 0) ::close(m_recordFd);
}

bool OldContentCopy::restoreInto(int fd) const {
    std::string buffer(Chunk, '\0');
    off_t offset = 0;
    for (;;) {
        const ssize_t n = ::pread(m_fd, buffer.data(), buffer.size(), offset);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        for (std::string_view rest(buffer.data(), std::size_t(n)); !rest.empty();) {
            const ssize_t w = ::pwrite(fd, rest.data(), rest.size(), offset);
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) return false;
            rest.remove_prefix(std::size_t(w));
            offset += w;
        }
    }
    return ::ftruncate(fd, offset) == 0 && ::fsync(fd) == 0;
}

void OldContentCopy::remove() {
    // The copy's removal reaches the disk before the record's: a record never outlives its use unseen.
    if (::unlink(m_path.c_str()) == 0) syncFolderOf(m_path);
    if (m_recordFd >= 0) {
        ::unlink(m_record.c_str());
        syncFolderOf(m_record);
        ::close(std::exchange(m_recordFd, -1));
    }
    ::close(std::exchange(m_fd, -1));
}

std::vector<InterruptedWrite> interruptedWrites() {
    std::vector<InterruptedWrite> found;
    const std::string state = appStateFolder();
    if (state.empty()) return found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(state, error)) {
        const std::string name = entry.path().filename().string();
        if (!isHiddenName(name, RecordSuffix)) continue;
        const std::string record = entry.path().string();
        const int fd = ::open(record.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        // A write that still goes on holds the lock.
        if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
            ::close(fd);
            continue;
        }
        const std::optional<std::string> names = readRegularFile(record, 1 << 16);
        ::close(fd);
        if (!names) continue;
        const std::size_t end = names->find('\0');
        const std::size_t copyEnd = end == std::string::npos ? end : names->find('\0', end + 1);
        if (copyEnd == std::string::npos) continue;
        InterruptedWrite write{names->substr(0, end), names->substr(end + 1, copyEnd - end - 1), record};
        struct stat st {};
        if (::lstat(write.copy.c_str(), &st) != 0 && errno == ENOENT)
            ::unlink(record.c_str()); // the copy went after all, or the user removed it
        else
            found.push_back(std::move(write));
    }
    return found;
}

void forget(const InterruptedWrite& write) {
    if (::unlink(write.record.c_str()) == 0) syncFolderOf(write.record);
}

} // namespace vela::files
