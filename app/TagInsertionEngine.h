#pragma once
// Writes PendingTag around the pane's selection: tag colours, re-selection,
// preview styles and sizes, and the reset of the one-shot switches. It owns no
// state; it works on the shared EditorState and the pane.

#include "EditorState.h"
#include "Pane.h"

namespace vela {

/// Tag colours and the plain text colour (0x00BBGGRR).
inline constexpr Color TagCyan = 0xFFFF00;
inline constexpr Color StructureYellow = 0x00FFFF;
inline constexpr Color TextWhite = 0xFFFFFF;
/// The size of normal text, restored in the default attributes after each insertion.
inline constexpr int NormalPointSize = 10;

/// Preview point size of a FONT SIZE level, 0 when the level gives none.
int fontSizeLevelPoints(int level);
/// Preview point size of a heading level, 0 when the level gives none.
int headingLevelPoints(int level);

class TagInsertionEngine {
public:
    TagInsertionEngine(EditorState& state, Pane& pane);

    /// Takes the undo snapshot, writes the pending texts around the selection
    /// and previews the enclosed text. Throws before changing anything when
    /// the snapshot cannot be written.
    void SetSelText();

private:
    EditorState& m_state;
    Pane& m_pane;
};

} // namespace vela
