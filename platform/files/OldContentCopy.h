#pragma once
// What keeps a write in place safe from a crash: before the file's first byte
// changes, a synced copy of its old content lies beside it (or in the state
// folder where its folder takes no new file), and a record in the state
// folder names both. The copy goes only once the new content is synced; a
// crash leaves it, and the next start reports it. A copy is never deleted
// unasked.

#include <optional>
#include <string>
#include <vector>

namespace vela::files {

class OldContentCopy {
public:
    /// Copies what the open file `fd` (named `target`) holds and syncs the copy
    /// and its record; nothing when no copy could be made anywhere.
    static std::optional<OldContentCopy> make(int fd, const std::string& target);
    OldContentCopy(OldContentCopy&& other) noexcept;
    OldContentCopy& operator=(OldContentCopy&&) = delete;
    OldContentCopy(const OldContentCopy&) = delete;
    /// Leaves the copy and its record where they are.
    ~OldContentCopy();

    const std::string& path() const { return m_path; }
    /// Writes the old content back into `fd` and syncs it.
    bool restoreInto(int fd) const;
    /// The file holds a whole, synced content again: the copy and its record go.
    void remove();

private:
    OldContentCopy() = default;
    std::string m_path;
    int m_fd = -1;
    std::string m_record;
    int m_recordFd = -1; ///< holds a lock while the write goes on, so a start leaves it alone
};

/// A write in place that did not finish: the file, and the copy of its old content.
struct InterruptedWrite {
    std::string target;
    std::string copy;
    std::string record;
};

/// The writes in place that a crash or kill cut short, whose copies are still
/// there; records whose copy the user removed go on the way.
std::vector<InterruptedWrite> interruptedWrites();
/// The user was told: the record goes, the copy stays.
void forget(const InterruptedWrite& write);

} // namespace vela::files
