#include "FileIdentity.h"

#include <sys/stat.h>

namespace vela::files {

std::optional<FileIdentity> identityOf(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return FileIdentity{st.st_size,       st.st_mtim.tv_sec, st.st_mtim.tv_nsec, st.st_ctim.tv_sec,
                        st.st_ctim.tv_nsec, st.st_ino,         st.st_dev};
}

} // namespace vela::files
