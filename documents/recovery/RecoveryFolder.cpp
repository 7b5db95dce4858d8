#include "RecoveryFolder.h"

#include "StateFolder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vela::recovery {
namespace {

constexpr std::string_view CopySuffix = ".kvr";
constexpr std::string_view LockSuffix = ".lock";

// The lock of `lockPath`, taken without waiting; -1 when its editor runs or the
// file cannot be had. A lock file that another editor removed meanwhile no
// longer stands for the name, so holding it would prove nothing.
int takeLock(const std::string& lockPath, int openFlags) {
    int fd = ::open(lockPath.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC | openFlags, 0600);
    // In a folder we may not write, a lock file can still be read, and a read-only file still locked.
    if (fd < 0 && (errno == EACCES || errno == EROFS) && !(openFlags & O_EXCL))
        fd = ::open(lockPath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat held {}, named {};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &held) != 0 || ::stat(lockPath.c_str(), &named) != 0 ||
        held.st_ino != named.st_ino || held.st_dev != named.st_dev) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::string uniqueName() {
    std::random_device random;
    char part[17];
    std::snprintf(part, sizeof part, "%08x%08x", random(), random());
    return std::to_string(::getpid()) + "-" + part;
}

bool endsWith(const std::string& s, std::string_view suffix) { return s.size() > suffix.size() && s.ends_with(suffix); }

} // namespace

std::string defaultFolder() { return files::appStateFolder(); }

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

Leftover::Leftover(std::string copyPath, std::string lockPath, int lockFd)
    : m_copyPath(std::move(copyPath)), m_lockPath(std::move(lockPath)), m_lockFd(lockFd) {}

Leftover::Leftover(Leftover&& other) noexcept
    : m_copyPath(std::move(other.m_copyPath)), m_lockPath(std::move(other.m_lockPath)),
      m_lockFd(std::exchange(other.m_lockFd, -1)) {}

Leftover& Leftover::operator=(Leftover&& other) noexcept {
    if (this != &other) {
        if (m_lockFd >= 0) ::close(m_lockFd);
        m_copyPath = std::move(other.m_copyPath);
        m_lockPath = std::move(other.m_lockPath);
        m_lockFd = std::exchange(other.m_lockFd, -1);
    }
    return *this;
}

Leftover::~Leftover() {
    if (m_lockFd >= 0) ::close(m_lockFd);
}

void Leftover::dropLock() {
    // Removed while still held, so no other editor can take it in between and find the copy gone.
    ::unlink(m_lockPath.c_str());
    if (m_lockFd >= 0) ::close(std::exchange(m_lockFd, -1));
}

RecoveryFolder::RecoveryFolder(std::string folder) : m_folder(std::move(folder)) {
    if (!files::makePrivateFolder(m_folder)) return;
    for (int attempt = 0; attempt < 10 && m_lockFd < 0; ++attempt) {
        const std::string name = m_folder + "/" + uniqueName();
        m_lockPath = name + std::string(LockSuffix);
        m_lockFd = takeLock(m_lockPath, O_CREAT | O_EXCL);
        if (m_lockFd >= 0) m_copyPath = name + std::string(CopySuffix);
    }
}

RecoveryFolder::~RecoveryFolder() {
    if (m_lockFd < 0) return;
    ::unlink(m_lockPath.c_str());
    ::close(m_lockFd);
}

std::vector<Leftover> RecoveryFolder::claimLeftovers() {
    // A folder this editor cannot write still shows the copies left in it.
    std::vector<Leftover> found;
    if (m_folder.empty()) return found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder, error)) {
        const std::string path = entry.path().string();
        if (endsWith(path, CopySuffix) && path != m_copyPath) {
            const std::string lockPath = path.substr(0, path.size() - CopySuffix.size()) + std::string(LockSuffix);
            const int fd = takeLock(lockPath, O_CREAT);
            // A running editor always has its lock file: a copy without one, which cannot be made here, is nobody's.
            if (fd < 0 && ::access(lockPath.c_str(), F_OK) == 0) continue;
            Leftover leftover(path, lockPath, fd);
            // Another start may have dealt with it just now.
            if (::access(path.c_str(), F_OK) == 0)
                found.push_back(std::move(leftover));
            else
                leftover.dropLock();
        } else if (endsWith(path, LockSuffix) && path != m_lockPath) {
            const std::string copy = path.substr(0, path.size() - LockSuffix.size()) + std::string(CopySuffix);
            if (::access(copy.c_str(), F_OK) == 0) continue; // handled with its copy
            const int fd = takeLock(path, 0);
            if (fd >= 0) Leftover({}, path, fd).dropLock();
        }
    }
    return found;
}

bool RecoveryFolder::remove(Leftover leftover) {
    const bool removed = ::unlink(leftover.m_copyPath.c_str()) == 0 || errno == ENOENT;
    // A power cut must not bring the copy back.
    if (removed) syncFolder(m_folder);
    leftover.dropLock();
    return removed;
}

std::string RecoveryFolder::setAside(Leftover leftover) {
    const std::string broken = leftover.m_copyPath + ".broken";
    if (::rename(leftover.m_copyPath.c_str(), broken.c_str()) != 0) return leftover.m_copyPath;
    leftover.dropLock();
    return broken;
}

bool RecoveryFolder::adopt(Leftover leftover) {
    if (m_copyPath.empty() || ::rename(leftover.m_copyPath.c_str(), m_copyPath.c_str()) != 0) return false;
    leftover.dropLock();
    return true;
}

} // namespace vela::recovery
