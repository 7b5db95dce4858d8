#pragma once
// Taking the single-step undo snapshot: the pane's whole content as RTF in the
// file at UndoFilePath, and the selection at that moment.

#include "EditorState.h"

namespace vela {

class Pane;

/// Writes the snapshot file and saves the selection in UndoSelStart / UndoSelLength.
/// Throws (AppError) when the file cannot be written; the state is then unchanged.
void takeUndoSnapshot(EditorState& state, const Pane& pane);

} // namespace vela
