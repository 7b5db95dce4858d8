#include "UndoSnapshot.h"

#include "Pane.h"

namespace vela {

void takeUndoSnapshot(EditorState& state, const Pane& pane) {
    pane.saveToFile(state.UndoFilePath, StreamFormat::Rtf);
    state.UndoSelStart = pane.selStart();
    state.UndoSelLength = pane.selLength();
}

} // namespace vela
