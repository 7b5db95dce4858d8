#pragma once
// Undo and the clipboard commands of the Edit menu, their toolbar twins, the
// Edit menu's enabling and the pane's key handler. Owns the claim on this
// run's snapshot file; the snapshot itself lives in EditorState.

#include "CommandTable.h"
#include "EditorHost.h"
#include "EditorState.h"
#include "Pane.h"
#include "UndoSnapshot.h"

#include <string>

class QString;

namespace vela {

class EditCommands {
public:
    EditCommands(EditorState& state, EditorHost& host, Pane& pane);

    /// The Edit menu's undo and clipboard entries, their buttons and the menu's enabling.
    CommandTable commands();

    /// Reserves this run's snapshot file in `folder` (see UndoSnapshotFile) and returns its path.
    std::string claimSnapshotFile(const QString& folder);

    void Menu27Click(); ///< undo
    void Menu21Click(); ///< cut
    void Menu22Click(); ///< copy
    void Menu23Click(); ///< paste
    void Menu24Click(); ///< delete
    void Menu25Click(); ///< select all
    /// Edit menu opens: enables undo, cut, copy, delete and paste.
    void enableEditMenu();
    /// Runs before the pane handles a key (Qt::Key value; 0 for an input-method commit).
    void KeyDown(int key);

private:
    void snapshotForChange();

    EditorState& m_state;
    EditorHost& m_host;
    Pane& m_pane;
    UndoSnapshotFile m_snapshotFile;
};

} // namespace vela
