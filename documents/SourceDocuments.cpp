#include "SourceDocuments.h"

#include "DocumentFile.h"
#include "PageEncoding.h"
#include "Pane.h"
#include "Rtf.h"
#include "UndoSnapshot.h"

namespace vela {
namespace {

const char* const Caption = "VELA-VOVUZEZU DOZA RODORA";
const char* const SourceExtension = "kvd";
const char* const SourceFilter = "Ver.2.xソースファイル(*.kvd)|*.kvd";
const char* const OpenTitle = "ソースファイル(*.kvd)を開く";

} // namespace

SourceDocuments::SourceDocuments(EditorState& state, EditorHost& host, Pane& pane, Services& services,
                                 DocumentWindow window)
    : m_state(state), m_host(host), m_pane(pane), m_services(services), m_window(std::move(window)),
      m_recovery(pane, services,
                 {[this] { return m_pane.modified(); }, [this] { return recovery::RecoveryContent{{}, m_state.SourcePath, m_sourceFile}; },
                  [this](const std::string& note) { m_host.setStatusText(note); }}) {
    m_openDialog1.kind = FileDialog::Kind::Open;
    m_saveDialog1.kind = FileDialog::Kind::Save;
    m_saveDialog1.overwritePrompt = true;
    m_pane.setContentChangedHandler([this] { m_recovery.documentChanged(); });
}

SourceDocuments::~SourceDocuments() { m_pane.setContentChangedHandler({}); }

void SourceDocuments::rememberSourceFile(const std::string& path) { m_sourceFile = files::identityOf(path); }

bool SourceDocuments::mayOverwriteSourceFile() {
    if (!m_sourceFile) return true;
    // A file that is gone holds nothing to lose: saving writes it again.
    const std::optional<files::FileIdentity> now = files::identityOf(m_state.SourcePath);
    if (!now || *now == *m_sourceFile) return true;
    return m_services.messageBox("確認",
                                 "ファイル " + m_state.SourcePath + " は他のプログラムによって変更されています。上書きしますか？",
                                 MessageButtons::YesNo, MessageIcon::None) == MessageAnswer::Yes;
}

void SourceDocuments::documentReplaced() {
    m_sourceFile.reset();
    m_recovery.discard();
}

void SourceDocuments::offerRecovery() {
    const std::optional<recovery::RecoveryContent> copy = m_recovery.offerLeftovers();
    if (!copy) return;
    m_state.UndoAvailable = 0;
    m_pane.setRuns(rtf::read(copy->rtf).runs);
    m_state.SourcePath = m_openDialog1.fileName = copy->sourcePath;
    m_sourceFile = copy->sourceFile;
    setCaption(copy->sourcePath);
    // No file holds this content: it stays marked changed until it is saved.
    m_pane.setModified(true);
    m_recovery.keepOffered();
    takeUndoSnapshot(m_state, m_pane);
}

CommandTable SourceDocuments::commands() {
    CommandTable t;
    t.menu = {
        {"Menu11", "Menu10", "新規作成(&N)", [this] { Menu11Click(); }},
        {"Menu12", "Menu10", "開く(&O)", [this] { Menu12Click(); }},
        {"Menu13", "Menu10", "上書き保存(&S)", [this] { Menu13Click(); }},
        {"Menu14", "Menu10", "名前を付けて保存(&A)", [this] { Menu14Click(); }},
        {"Menu15", "Menu10", "終了(&X)", [this] { Menu15Click(); }},
    };
    // SpeedButton1 and SpeedButton2 share their menu entries' actions.
    using P = ToolbarPage;
    t.buttons = {
        {"SpeedButton1", P::Basic, 11, 27, "新規作成", "新規作成", ":/icons/new.png", "Menu11"},
        {"SpeedButton2", P::Basic, 38, 27, "ファイルを開く", "ファイルを開く", ":/icons/open.png", "Menu12"},
        {"SpeedButton3", P::Basic, 65, 27, "保存", "編集中の内容を.kvdファイルに保存する", ":/icons/save.png", "",
         [this] { SpeedButton3Click(); }},
    };
    t.openings = {{"Menu10", [this] { Menu10Click(); }}};
    return t;
}

void SourceDocuments::setCaption(const std::string& path) {
    m_window.setCaption(path.empty() ? std::string(Caption) : std::string(Caption) + " - " + path);
}

LoadReport SourceDocuments::loadIntoPane(const std::string& path) {
    return m_pane.loadFromFile(path, StreamFormat::Rtf);
}

void SourceDocuments::reportReplacements(const LoadReport& report) {
    m_host.setStatusText(encoding::readNotice(report.encoding, report.referenced));
    if (report.replaced == 0) return;
    // Saving would make the loss permanent, so the user hears of it at once.
    m_services.messageBox(Caption,
                          "この文書で表示できない文字が " + std::to_string(report.replaced) +
                              " 個あり、「?」に置き換えました。\n保存すると元の文字は失われます。",
                          MessageButtons::Ok, MessageIcon::None);
}

bool SourceDocuments::unsavedChangesCheck() {
    if (!m_pane.modified()) return true;
    const MessageAnswer answer = m_services.messageBox("確認", "内容が変更されています。保存しますか？",
                                                       MessageButtons::YesNoCancel, MessageIcon::None);
    m_saveDialog1.fileName.clear();
    switch (answer) {
    case MessageAnswer::Yes:
        // Always Save As with an empty name, also for a document with a source file.
        Menu14Click();
        return !m_saveDialog1.fileName.empty();
    case MessageAnswer::No:
        return true;
    default:
        return false;
    }
}

void SourceDocuments::Menu10Click() {
    m_host.setStatusText({});
    m_host.setCommandEnabled("Menu13", !m_state.SourcePath.empty() && m_pane.modified());
}

void SourceDocuments::Menu11Click() {
    if (!unsavedChangesCheck()) return;
    m_state.UndoAvailable = 0;
    m_state.SourcePath.clear();
    m_window.FormCreate();
    setCaption();
    m_pane.setModified(false);
    documentReplaced();
}

void SourceDocuments::Menu12Click() {
    m_openDialog1.defaultExt = SourceExtension;
    m_openDialog1.filter = SourceFilter;
    m_openDialog1.title = OpenTitle;
    if (!unsavedChangesCheck()) return;
    m_openDialog1.fileName = m_state.SourcePath;
    if (!m_services.executeFileDialog(m_openDialog1)) return;
    openChosen(m_openDialog1.fileName);
}

void SourceDocuments::openChosen(std::string chosen) {
    m_state.UndoAvailable = 0;
    // A failed load keeps the old SourcePath, so a later Save cannot write over the file that failed.
    m_openDialog1.fileName = m_state.SourcePath;
    // Looked at before reading: a change made while it is read then counts as a change.
    const std::optional<files::FileIdentity> read = files::identityOf(chosen);
    const LoadReport report = loadIntoPane(chosen);
    m_state.SourcePath = m_openDialog1.fileName = chosen;
    setCaption(chosen);
    m_pane.setModified(false);
    documentReplaced();
    m_sourceFile = read;
    // A big page is shown before its snapshot is on disk.
    takeUndoSnapshotSoon(m_state, m_pane, [this](const std::string& message) { m_host.reportError(message); });
    reportReplacements(report);
}

void SourceDocuments::Menu13Click() {
    // The menu is enabled only with a source file; without one, ask for a name rather than fail.
    if (m_state.SourcePath.empty()) {
        Menu14Click();
        return;
    }
    if (!mayOverwriteSourceFile()) return;
    writeSourceDocument(m_pane, m_state.SourcePath);
    rememberSourceFile(m_state.SourcePath);
    m_pane.setModified(false);
    m_state.UndoAvailable = 0;
    m_recovery.discard();
}

void SourceDocuments::Menu14Click() {
    m_saveDialog1.defaultExt = SourceExtension;
    m_saveDialog1.filter = SourceFilter;
    if (!m_services.executeFileDialog(m_saveDialog1)) return;
    const std::string chosen = m_saveDialog1.fileName;
    m_state.UndoAvailable = 0;
    writeSourceDocument(m_pane, chosen);
    rememberSourceFile(chosen);
    setCaption(chosen);
    m_state.SourcePath = m_openDialog1.fileName = chosen;
    m_pane.setModified(false);
    m_recovery.discard();
}

void SourceDocuments::Menu15Click() { m_window.close(); }

void SourceDocuments::SpeedButton3Click() {
    if (m_state.SourcePath.empty())
        Menu14Click();
    else
        Menu13Click();
}

void SourceDocuments::FormClose(bool& allowed) {
    const bool approved = m_sessionApprovedText && *m_sessionApprovedText == m_pane.text();
    allowed = approved || unsavedChangesCheck();
    // Only a close that happens drops the snapshot: after a refused one, Undo must still work.
    if (!allowed) return;
    m_recovery.discard();
    abandonUndoSnapshot(m_state);
    m_services.deleteFile(m_state.UndoFilePath);
}

bool SourceDocuments::sessionEnding(const std::function<bool()>& mayAsk) {
    m_sessionApprovedText.reset();
    if (m_pane.modified()) {
        if (!mayAsk()) return false;
        if (!unsavedChangesCheck()) return false;
    }
    m_sessionApprovedText = m_pane.text();
    // Saved or given up: a session that ends by killing the editor must not offer it again.
    m_recovery.discard();
    return true;
}

} // namespace vela
