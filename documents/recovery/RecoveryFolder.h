#pragma once
// The folder of recovery copies and this editor's claim in it. Each running
// editor has a name of its own (process id and a random part), holds an
// exclusive flock on "<name>.lock" for its whole run and keeps its copy in
// "<name>.kvr". The kernel drops a lock when its process ends, however it
// ends, so a copy whose lock can be taken belongs to an editor that no longer
// runs (a reused process id changes nothing); and an editor that took the lock
// has the copy to itself, so two editors never take the same one.

#include <string>
#include <vector>

namespace vela::recovery {

/// $XDG_STATE_HOME/vela when XDG_STATE_HOME is an absolute path, else
/// ~/.local/state/vela; empty when no home folder is known.
std::string defaultFolder();
/// Makes a removal or rename in `folder` durable.
void syncFolder(const std::string& folder);

/// The copy of an editor that no longer runs, locked by this one (unless it
/// has no lock file and none can be made: then no editor can hold it): released
/// (left for a later start) when it goes, unless handed to RecoveryFolder.
class Leftover {
public:
    Leftover(std::string copyPath, std::string lockPath, int lockFd);
    Leftover(Leftover&& other) noexcept;
    Leftover& operator=(Leftover&& other) noexcept;
    Leftover(const Leftover&) = delete;
    Leftover& operator=(const Leftover&) = delete;
    ~Leftover();

    const std::string& path() const { return m_copyPath; }

private:
    friend class RecoveryFolder;
    void dropLock(); ///< removes the lock file, then lets go of it

    std::string m_copyPath;
    std::string m_lockPath;
    int m_lockFd = -1;
};

class RecoveryFolder {
public:
    /// Makes the folder (0700) when missing, narrows it to 0700 when it is open
    /// to others, and claims a name in it.
    explicit RecoveryFolder(std::string folder);
    ~RecoveryFolder();
    RecoveryFolder(const RecoveryFolder&) = delete;
    RecoveryFolder& operator=(const RecoveryFolder&) = delete;

    const std::string& folder() const { return m_folder; }
    /// This editor's copy; empty when the folder or the lock could not be made.
    const std::string& copyPath() const { return m_copyPath; }

    /// The copies of editors that no longer run, each locked for this one, also
    /// in a folder this editor cannot write. Lock files of such editors that
    /// left no copy are removed on the way.
    std::vector<Leftover> claimLeftovers();
    /// Deletes the copy, durably; false when it could not be deleted.
    bool remove(Leftover leftover);
    /// Renames a copy that cannot be read to "<name>.kvr.broken", where no
    /// start looks for copies, and returns that name.
    std::string setAside(Leftover leftover);
    /// The copy becomes this editor's own (it holds the document now shown).
    bool adopt(Leftover leftover);

private:
    std::string m_folder;
    std::string m_copyPath;
    std::string m_lockPath;
    int m_lockFd = -1;
};

} // namespace vela::recovery
