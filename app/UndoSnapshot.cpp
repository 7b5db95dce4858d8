#include "UndoSnapshot.h"

#include "FileReplace.h"
#include "Pane.h"
#include "Rtf.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include <atomic>
#include <cerrno>
#include <thread>

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

// The snapshot of a key press being written on a worker thread. The thread
// has a copy of the content and a temporary file of its own, so it shares
// nothing with the GUI thread but the flag that stops it; what it found is
// read once it has ended.
class UndoSnapshotWrite : public std::enable_shared_from_this<UndoSnapshotWrite> {
public:
    UndoSnapshotWrite(rtf::SharedRuns content, std::unique_ptr<files::OwnFileReplacement> file,
                      std::function<void(const std::string&)> failed)
        : m_content(std::move(content)), m_file(std::move(file)), m_failed(std::move(failed)) {}
    ~UndoSnapshotWrite() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
    }
    UndoSnapshotWrite(const UndoSnapshotWrite&) = delete;
    UndoSnapshotWrite& operator=(const UndoSnapshotWrite&) = delete;

    void start() { m_thread = std::thread([this, self = weak_from_this()] { run(self); }); }

    /// Waits for the thread; true when the file holds the snapshot. A failure
    /// not told yet is told now.
    bool settle() {
        if (m_thread.joinable()) m_thread.join();
        if (!m_error.empty() && !m_told) {
            m_told = true;
            if (m_failed) m_failed(m_error);
        }
        return m_error.empty();
    }
    const rtf::SharedRuns& content() const { return m_content; }

private:
    void run(const std::weak_ptr<UndoSnapshotWrite>& self) {
        try {
            // A piece at a time: a big page's RTF is three times its text.
            const bool whole = rtf::Writer::writeInPieces(
                [this](const rtf::Writer::RunVisitor& visit) { m_content.forEach(visit); },
                [this](std::string_view piece) {
                    if (m_stop) return false;
                    m_file->appendOrThrow(piece);
                    return true;
                });
            if (!whole) return; // replaced by a newer snapshot: the temporary file just goes
            m_file->commitOrThrow();
            m_file.reset();
            m_content = {}; // the file has it now
        } catch (const std::exception& error) {
            m_file.reset();
            m_error = error.what();
            if (m_error.empty()) m_error = "ｽﾄﾘｰﾑへの書き込みに失敗しました";
            // Told on the GUI thread, unless the snapshot is gone by then.
            QMetaObject::invokeMethod(QCoreApplication::instance(), [self] {
                if (const auto write = self.lock()) write->settle();
            }, Qt::QueuedConnection);
        }
    }

    rtf::SharedRuns m_content; ///< kept, once the write failed, for undo to restore
    std::unique_ptr<files::OwnFileReplacement> m_file;
    std::function<void(const std::string&)> m_failed;
    std::atomic<bool> m_stop{false};
    std::string m_error; ///< written by the thread, read after it ended
    bool m_told = false;
    std::thread m_thread;
};

void takeUndoSnapshot(EditorState& state, const Pane& pane) {
    // A write under way must land before this one, or it would put an older state back.
    if (state.UndoWrite) state.UndoWrite->settle();
    pane.saveToFile(state.UndoFilePath, StreamFormat::Rtf, files::Durability::Scratch);
    state.UndoWrite.reset();
    state.UndoSelStart = pane.selStart();
    state.UndoSelLength = pane.selLength();
}

void takeUndoSnapshotSoon(EditorState& state, const Pane& pane, std::function<void(const std::string&)> failed) {
    auto file = files::OwnFileReplacement::beginOrThrow(state.UndoFilePath, files::Durability::Scratch);
    // One under way is stopped: this one replaces it, and only one may rename its file into place.
    state.UndoWrite.reset();
    state.UndoWrite = std::make_shared<UndoSnapshotWrite>(pane.sharedRuns(), std::move(file), std::move(failed));
    state.UndoWrite->start();
    state.UndoSelStart = pane.selStart();
    state.UndoSelLength = pane.selLength();
}

std::optional<rtf::PackedRuns> settleUndoSnapshot(EditorState& state) {
    if (!state.UndoWrite || state.UndoWrite->settle()) return std::nullopt;
    return state.UndoWrite->content().packed();
}

void abandonUndoSnapshot(EditorState& state) { state.UndoWrite.reset(); }

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
