#include "HtmlExportImport.h"

#include "DocumentFile.h"
#include "Pane.h"
#include "SourceDocuments.h"
#include "UndoSnapshot.h"

namespace vela {
namespace {

const char* const HtmlExtension = "htm";
const char* const HtmlFilter = "HTMLファイル(*.htm)|*.htm";

} // namespace

HtmlExportImport::HtmlExportImport(EditorState& state, EditorHost& host, Pane& pane, Services& services,
                                   SourceDocuments& documents)
    : m_state(state), m_host(host), m_pane(pane), m_services(services), m_documents(documents) {
    m_saveDialog2.kind = FileDialog::Kind::Save;
    m_saveDialog2.overwritePrompt = true;
}

CommandTable HtmlExportImport::commands() {
    CommandTable t;
    t.menu = {
        {"HTM1", "Menu10", "HTMLファイルの読み込み(&H)", [this] { HTM1Click(); }},
        {"HTML1", "Menu10", "HTMLファイルの作成(&C)", [this] { HTML1Click(); }},
    };
    // The buttons share the menu entries' actions.
    using P = ToolbarPage;
    t.buttons = {
        {"SpeedButton32", P::Basic, 97, 27, "HTMLファイルの読み込み", "既存のHTMLファイルを読み込む",
         ":/icons/htmlimport.png", "HTM1"},
        {"SpeedButton31", P::Basic, 124, 27, "HTMLファイルの作成", "HTMLファイル(*.htm)の作成",
         ":/icons/htmlexport.png", "HTML1"},
    };
    return t;
}

void HtmlExportImport::HTML1Click() {
    m_saveDialog2.defaultExt = HtmlExtension;
    m_saveDialog2.filter = HtmlFilter;
    m_saveDialog2.title = "HTMLファイル(*.htm)の作成";
    const std::string previous = m_saveDialog2.fileName;
    if (!m_services.executeFileDialog(m_saveDialog2)) return;
    const std::string chosen = m_saveDialog2.fileName;
    m_state.UndoAvailable = 0;
    // Only a written file becomes the export target that the dialog proposes next time.
    m_saveDialog2.fileName = previous;
    const encoding::WrittenPage page = writePlainText(m_pane, chosen);
    m_saveDialog2.fileName = chosen;
    m_host.setStatusText(encoding::writeNotice(page));
}

void HtmlExportImport::HTM1Click() {
    FileDialog& dialog = m_documents.OpenDialog1();
    dialog.defaultExt = HtmlExtension;
    dialog.filter = HtmlFilter;
    dialog.title = "HTMLファイル(*.htm)の読み込み";
    if (!m_documents.unsavedChangesCheck()) return;
    // The dialog opens with an empty name; SourcePath stays as it was until the load succeeded.
    dialog.fileName.clear();
    const bool chosen = m_services.executeFileDialog(dialog);
    const std::string path = dialog.fileName;
    dialog.fileName = m_state.SourcePath;
    if (!chosen) return;
    importChosen(path);
}

void HtmlExportImport::importChosen(const std::string& path, Refresh refresh) {
    FileDialog& dialog = m_documents.OpenDialog1();
    m_state.UndoAvailable = 0;
    const LoadReport report = m_documents.loadIntoPane(path);
    // The document is no source document from here on, even if the refresh fails,
    // so no later Save can write the imported text over the previous .kvd file.
    m_documents.setCaption();
    m_saveDialog2.fileName = path;
    m_state.SourcePath.clear();
    dialog.fileName.clear();
    m_documents.documentReplaced();
    if (refresh == Refresh::Always || m_state.AutoRefreshOnImport == 1) m_host.runCommand("R1");
    m_pane.setModified(false);
    // A big page is shown before its snapshot is on disk.
    takeUndoSnapshotSoon(m_state, m_pane, [this](const std::string& message) { m_host.reportError(message); });
    m_documents.reportReplacements(report);
}

} // namespace vela
