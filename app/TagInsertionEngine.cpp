#include "TagInsertionEngine.h"

#include "UndoSnapshot.h"

namespace vela {

int fontSizeLevelPoints(int level) {
    switch (level) {
    case 2: return 12;
    case 3: return 14;
    case 4: return 18;
    case 5: return 20;
    case 6: return 30;
    case 7: return 40;
    default: return 0;
    }
}

int headingLevelPoints(int level) {
    switch (level) {
    case 1: return 30;
    case 2: return 22;
    case 3: return 16;
    case 4: return 14;
    case 5: return 12;
    case 6: return 11;
    default: return 0;
    }
}

TagInsertionEngine::TagInsertionEngine(EditorState& state, Pane& pane) : m_state(state), m_pane(pane) {}

void TagInsertionEngine::SetSelText() {
    PendingTagState& tag = m_state.PendingTag;

    takeUndoSnapshot(m_state, m_pane);
    m_state.UndoAvailable = 1;

    const int enclosedLength = m_pane.selLength();
    m_pane.setSelLength(0);

    const Color tagColor = tag.UseYellow != 0 ? StructureYellow : TagCyan;
    m_pane.setSelColor(tagColor);
    m_pane.setSelText(tag.OpenText);
    m_pane.setSelColor(TextWhite);
    m_pane.setSelStart(m_pane.selStart() + enclosedLength);
    m_pane.setSelColor(tagColor);
    m_pane.setSelText(tag.CloseText);
    m_pane.setSelColor(TextWhite);
    tag.UseYellow = 0;

    if (tag.NoReselect == 1) {
        // Preview switches stay set on purpose: the next full run applies them.
        tag.NoReselect = 0;
        return;
    }

    m_state.ReselectAfterTag = 1;
    m_pane.setSelStart(m_state.UndoSelStart + static_cast<int>(tag.OpenText.size()));
    m_pane.setSelLength(m_state.UndoSelLength);

    if (tag.Bold == 1) m_pane.setSelStyle(m_pane.selStyle() | FontStyle::Bold);
    if (tag.Italic == 1) m_pane.setSelStyle(m_pane.selStyle() | FontStyle::Italic);
    if (tag.Underline == 1) m_pane.setSelStyle(m_pane.selStyle() | FontStyle::Underline);

    if (const int points = fontSizeLevelPoints(tag.FontSizeLevel)) m_pane.setSelSize(points);
    if (const int points = headingLevelPoints(tag.HeadingLevel)) m_pane.setSelSize(points);

    m_pane.setDefaultStyle(FontStyle::None);
    m_pane.setDefaultSize(NormalPointSize);

    tag.Bold = 0;
    tag.Italic = 0;
    tag.Underline = 0;
    tag.FontSizeLevel = 0;
    tag.HeadingLevel = 0;
}

} // namespace vela
