#include "FileRead.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vela::files {
namespace {

std::optional<std::string> failed(ReadFailure why, ReadFailure* failure, int fd = -1) {
    if (fd >= 0) ::close(fd);
    if (failure) *failure = why;
    return std::nullopt;
}

} // namespace

std::optional<std::string> readRegularFile(const std::string& path, std::size_t maxBytes, ReadFailure* failure) {
    // Non-blocking open and the regular-file check keep a FIFO or device from hanging the read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return failed(errno == ENOENT ? ReadFailure::Missing : ReadFailure::CannotRead, failure);
    struct stat st {};
    if (::fstat(fd, &st) != 0) return failed(ReadFailure::CannotRead, failure, fd);
    if (!S_ISREG(st.st_mode)) return failed(ReadFailure::NotRegular, failure, fd);
    if (std::size_t(st.st_size) > maxBytes) return failed(ReadFailure::TooLarge, failure, fd);
    std::string data;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return failed(ReadFailure::CannotRead, failure, fd);
        if (data.size() + std::size_t(n) > maxBytes) return failed(ReadFailure::TooLarge, failure, fd);
        if (n == 0) break;
        data.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return data;
}

} // namespace vela::files
