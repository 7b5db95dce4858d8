#pragma once
// The single-step undo snapshot: the pane's whole content as RTF in the file
// at UndoFilePath, and the selection at that moment; and the claim on that
// file, so two copies of the program never write the same one.

#include "EditorState.h"
#include "TextRun.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QLockFile;
class QString;

namespace vela {

class Pane;

/// Writes the snapshot file and saves the selection in UndoSelStart / UndoSelLength.
/// Throws (AppError) when the file cannot be written; the state is then unchanged.
/// A snapshot still being written is given up first: this one replaces it.
void takeUndoSnapshot(EditorState& state, const Pane& pane);

/// takeUndoSnapshot for a key press, which must not wait for the file: what
/// can fail before a byte is written (the file cannot be created) throws here,
/// as above; the content is copied at memory speed and written on a worker
/// thread. A write that fails later is told to `failed` (UTF-8 message, on
/// this thread), and undo then restores the copy, which is exactly the
/// snapshot's content.
void takeUndoSnapshotSoon(EditorState& state, const Pane& pane, std::function<void(const std::string&)> failed);

/// Waits for a snapshot still being written. Undo calls this before reading the
/// file: when the write failed, the snapshot's content, to restore instead.
std::optional<rtf::PackedRuns> settleUndoSnapshot(EditorState& state);

/// Gives up a snapshot still being written: its file is about to be deleted.
void abandonUndoSnapshot(EditorState& state);

/// Owns the lock that reserves this run's snapshot file. The first copy in a
/// folder gets "QOV.tmp"; a copy that finds it locked takes "QOV-2.tmp",
/// "QOV-3.tmp" and so on, as does one that finds the name taken by something
/// not ours alone (another user's file, a link). The lock is a companion file
/// ("QOV.tmp.lock") held until this object goes; a lock whose owner died is
/// stale and taken over.
class UndoSnapshotFile {
public:
    UndoSnapshotFile();
    ~UndoSnapshotFile();
    UndoSnapshotFile(const UndoSnapshotFile&) = delete;
    UndoSnapshotFile& operator=(const UndoSnapshotFile&) = delete;

    /// Reserves a snapshot file in `folder`, or in the user's temporary folder
    /// when `folder` takes no files, and returns its full path. Later calls
    /// return the same path.
    std::string claim(const QString& folder);
    const std::string& path() const { return m_path; }

private:
    bool tryFolder(const QString& folder);

    std::unique_ptr<QLockFile> m_lock;
    std::string m_path;
};

} // namespace vela
