#include "EditCommands.h"

#include "TagInsertionEngine.h"

#include <Qt>
#include <QString>

namespace vela {

EditCommands::EditCommands(EditorState& state, EditorHost& host, Pane& pane)
    : m_state(state), m_host(host), m_pane(pane) {}

CommandTable EditCommands::commands() {
    auto h = [this](void (EditCommands::*handler)()) { return [this, handler] { (this->*handler)(); }; };
    CommandTable t;
    t.menu = {
        {"Menu27", "Menu20", "元に戻す(&U)", h(&EditCommands::Menu27Click)},
        {"Menu21", "Menu20", "切り取り(&T)", h(&EditCommands::Menu21Click)},
        {"Menu22", "Menu20", "コピー(&C)", h(&EditCommands::Menu22Click)},
        {"Menu23", "Menu20", "貼り付け(&P)", h(&EditCommands::Menu23Click)},
        {"Menu24", "Menu20", "削除(&D)", h(&EditCommands::Menu24Click)},
        {"Menu25", "Menu20", "すべての範囲を選択(&A)", h(&EditCommands::Menu25Click)},
    };
    using P = ToolbarPage;
    t.buttons = {
        {"SpeedButton6", P::Basic, 223, 27, "アンドゥ", "元に戻す", ":/icons/undo.png", "Menu27"},
        {"SpeedButton4", P::Basic, 250, 27, "切り取り", "ドラッグした範囲を切り取って、クリップボードへ転送する",
         ":/icons/cut.png", "Menu21"},
        {"SpeedButton5", P::Basic, 277, 27, "コピー", "ドラッグした範囲をコピーして、クリップボードへ転送する",
         ":/icons/copy.png", "Menu22"},
        {"SpeedButton8", P::Basic, 312, 27, "貼り付け", "クリップボードの中のテキストを貼り付ける",
         ":/icons/paste.png", "Menu23"},
        {"SpeedButton7", P::Basic, 339, 27, "削除", "ドラッグした範囲を削除する", ":/icons/delete.png", "Menu24"},
    };
    t.openings = {{"Menu20", [this] { enableEditMenu(); }}};
    return t;
}

std::string EditCommands::claimSnapshotFile(const QString& folder) { return m_snapshotFile.claim(folder); }

void EditCommands::snapshotForChange() {
    // Throws before anything changes when the file cannot be written.
    takeUndoSnapshot(m_state, m_pane);
    m_state.UndoAvailable = 1;
}

void EditCommands::Menu27Click() {
    // A snapshot whose write failed is still in memory, exactly; otherwise the file is read,
    // whole before touching the pane: a missing snapshot leaves everything as it was.
    if (std::optional<rtf::PackedRuns> kept = settleUndoSnapshot(m_state))
        m_pane.setPackedRuns(std::move(*kept));
    else
        m_pane.loadFromFile(m_state.UndoFilePath, StreamFormat::Rtf);
    m_pane.setSelStart(m_state.UndoSelStart);
    m_pane.setSelLength(m_state.UndoSelLength);
    m_state.UndoAvailable = 0;
}

void EditCommands::Menu21Click() {
    snapshotForChange();
    m_pane.cutToClipboard();
}

void EditCommands::Menu22Click() { m_pane.copyToClipboard(); }

void EditCommands::Menu23Click() {
    snapshotForChange();
    m_pane.pasteFromClipboard();
}

void EditCommands::Menu24Click() {
    snapshotForChange();
    m_pane.setSelText({});
}

void EditCommands::Menu25Click() {
    m_pane.setSelStart(0);
    m_pane.setSelLength(m_pane.textLength());
}

void EditCommands::enableEditMenu() {
    const bool selection = m_pane.selLength() > 0;
    m_host.setCommandEnabled("Menu27", m_state.UndoAvailable != 0);
    m_host.setCommandEnabled("Menu21", selection);
    m_host.setCommandEnabled("Menu22", selection);
    m_host.setCommandEnabled("Menu24", selection);
    m_host.setCommandEnabled("Menu23", m_pane.clipboardHasText());
}

void EditCommands::KeyDown(int key) {
    // Text typed after a coloured tag comes out white.
    if (m_pane.selColor() != TextWhite) m_pane.setSelColor(TextWhite);
    m_state.UndoAvailable = 1;
    // The line break must not wait for the file: it is written meanwhile.
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        takeUndoSnapshotSoon(m_state, m_pane, [this](const std::string& message) { m_host.reportError(message); });
}

} // namespace vela
