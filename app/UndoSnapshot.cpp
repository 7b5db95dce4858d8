#include "UndoSnapshot.h"

#include "Pane.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace vela {
namespace {
// Enough names for every copy anyone will start; past them the folder counts as full.
constexpr int MaxCopies = 99;

QString snapshotName(int copy) {
    return copy == 1 ? QStringLiteral("QOV.tmp") : QStringLiteral("QOV-%1.tmp").arg(copy);
}

// A name is ours to use when nothing has it or a file of ours alone does: in a
// shared folder another user may have planted a link or a file under it.
bool freeForUs(const QString& file) {
    struct stat st {};
    if (::lstat(QFile::encodeName(file).constData(), &st) != 0) return errno == ENOENT;
    return S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_nlink == 1;
}
} // namespace

void takeUndoSnapshot(EditorState& state, const Pane& pane) {
    pane.saveToFile(state.UndoFilePath, StreamFormat::Rtf, files::Durability::Scratch);
    state.UndoSelStart = pane.selStart();
    state.UndoSelLength = pane.selLength();
}

UndoSnapshotFile::UndoSnapshotFile() = default;
UndoSnapshotFile::~UndoSnapshotFile() = default;

bool UndoSnapshotFile::tryFolder(const QString& folder) {
    const QDir dir(folder);
    for (int copy = 1; copy <= MaxCopies; ++copy) {
        const QString file = dir.absoluteFilePath(snapshotName(copy));
        auto lock = std::make_unique<QLockFile>(file + QStringLiteral(".lock"));
        // Held for the whole run: only a dead owner makes a lock stale, never its age.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            // Passed over like a name a running copy holds; the lock goes with `lock`.
            if (!freeForUs(file)) continue;
            m_lock = std::move(lock);
            m_path = QDir::cleanPath(file).toStdString();
            return true;
        }
        // Another live copy has this one; any other failure means the folder takes no files.
        if (lock->error() != QLockFile::LockFailedError) return false;
    }
    return false;
}

std::string UndoSnapshotFile::claim(const QString& folder) {
    if (!m_path.empty()) return m_path;
    // An empty name is a start-up folder that no longer exists.
    if ((folder.isEmpty() || !tryFolder(folder)) && !tryFolder(QDir::tempPath()))
        // Nothing to lock anywhere: fall back to the plain name; writing it reports the failure.
        m_path = QDir(folder).absoluteFilePath(snapshotName(1)).toStdString();
    return m_path;
}

} // namespace vela
