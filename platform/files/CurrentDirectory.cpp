#include "CurrentDirectory.h"

#include <filesystem>
#include <string_view>

namespace vela::files {

std::string currentDirectory() {
    std::error_code error;
    const std::filesystem::path cwd = std::filesystem::current_path(error);
    if (!error) return cwd.string();
    // getcwd fails for a removed folder; the kernel's link still holds its path, marked " (deleted)".
    std::string gone = std::filesystem::read_symlink("/proc/self/cwd", error).string();
    if (error || !gone.starts_with('/')) return {};
    constexpr std::string_view Deleted = " (deleted)";
    if (gone.ends_with(Deleted)) gone.resize(gone.size() - Deleted.size());
    return gone;
}

} // namespace vela::files
