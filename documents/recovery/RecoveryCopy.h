#pragma once
// Keeps unsaved work safe from a crash, a kill or a power cut. While the
// document has changes that no file holds, a copy of it lies in the recovery
// folder, written again whenever typing pauses, and at least every
// MaxIntervalMs while typing goes on; the next start offers the copies of
// editors that no longer run, and reports the writes in place that a crash
// cut short. The pane's RTF must be taken on the GUI thread, since it reads
// the document: it is taken in slices of a few milliseconds with events
// handled in between, and given up when the document changes meanwhile,
// unless the copy is overdue: then it is taken whole at once. Encoding,
// writing and syncing the copy happen on a writer thread of its own, so no
// keystroke waits for the disk either.

#include "RecoveryFile.h"
#include "RecoveryFolder.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Pane.h"

class QTimer;

namespace vela {

class Services;

namespace recovery {

class RecoveryCopy {
public:
    /// What the copy needs of the document besides the pane; called on the GUI thread.
    struct Document {
        std::function<bool()> unsaved;                ///< it has changes that no file holds
        std::function<RecoveryContent()> about;       ///< its source file; the RTF and time are added here
        std::function<void(const std::string&)> tell; ///< a note for the status bar (UTF-8)
    };

    /// Time from the last change to the copy being taken.
    static constexpr int PauseMs = 1500;
    /// Longest time from a change to a copy that holds it, however the typing goes on.
    static constexpr int MaxIntervalMs = 30000;
    /// Longest the GUI thread works on the copy before it handles events again.
    static constexpr int SliceMs = 8;

    RecoveryCopy(const Pane& pane, Services& services, Document document, const std::string& folder = defaultFolder());
    /// Deletes the copy: an editor that ends normally leaves none.
    ~RecoveryCopy();
    RecoveryCopy(const RecoveryCopy&) = delete;
    RecoveryCopy& operator=(const RecoveryCopy&) = delete;

    /// (Re)starts the pause; all a keystroke pays.
    void documentChanged();
    /// The document was saved, replaced or given up: its copy goes.
    void discard();

    /// At start-up: reports each write in place that a crash cut short, with
    /// the file and the copy of its old content (which stays); sets aside, with
    /// a message, the copies of editors no longer running that are broken, and
    /// names those that cannot be read now (they stay); when readable ones
    /// remain, asks whether to restore. Yes gives the newest (the others stay
    /// for a later start); No deletes them all.
    std::optional<RecoveryContent> offerLeftovers();
    /// The copy offerLeftovers gave is now the document shown: it becomes this editor's.
    void keepOffered();

    /// What the end of a pause runs: begins taking the copy. The slices that
    /// follow run from the event loop; the finished copy goes to the writer.
    void writeNow();
    /// One slice of taking the copy, as the event loop runs it; true when no more is to come.
    bool takeSlice();
    /// Returns once the writer has done everything asked of it so far.
    void waitForWriter();
    /// This editor's copy; empty when the recovery folder cannot be used.
    const std::string& path() const { return m_folder.copyPath(); }

private:
    class Writer;
    void written(bool wrote, bool ok);
    void takeWhole();
    void reportInterruptedWrites();
    void tellOnce(const std::string& note);

    const Pane& m_pane;
    Services& m_services;
    Document m_document;
    RecoveryFolder m_folder;
    std::unique_ptr<QTimer> m_pause;
    std::unique_ptr<QTimer> m_deadline; ///< runs from the first change that no copy holds
    std::unique_ptr<QTimer> m_nextSlice;
    std::unique_ptr<Pane::RtfSlices> m_taking; ///< the copy being taken, with what it is about
    RecoveryContent m_takingAbout;
    std::unique_ptr<Writer> m_writer; ///< after m_pause: it goes first, so no report reaches a gone timer
    std::optional<Leftover> m_offered;
    bool m_copyOnDisk = false;
    bool m_overdue = false; ///< the deadline passed: the copy may not be given up for a change
    bool m_told = false; ///< a failing copy was reported; said again only after one succeeded
};

} // namespace recovery
} // namespace vela
