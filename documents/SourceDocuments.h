#pragma once
// Source documents (.kvd): New, Open, Save, Save As, Exit and the close
// handling of the main window, with the unsaved-changes check they share
// with HTML import. Owns the file dialogs OpenDialog1 and SaveDialog1; the
// current source path itself is EditorState::SourcePath, which OpenDialog1
// proposes every time it is shown. Also owns what keeps the document safe:
// the source file as last read or written, so that Save asks before writing
// over another program's changes, and the recovery copy of unsaved work.

#include "CommandTable.h"
#include "EditorHost.h"
#include "EditorState.h"
#include "FileIdentity.h"
#include "RecoveryCopy.h"
#include "Services.h"

#include <functional>
#include <optional>
#include <string>

namespace vela {

class Pane;
struct LoadReport;

/// What the document commands need of the main window beyond EditorHost.
struct DocumentWindow {
    std::function<void()> FormCreate;                      ///< the document set-up that New runs again
    std::function<void(const std::string&)> setCaption;    ///< the window title (UTF-8)
    std::function<void()> close;                           ///< a request to close the window
};

class SourceDocuments {
public:
    SourceDocuments(EditorState& state, EditorHost& host, Pane& pane, Services& services, DocumentWindow window);
    ~SourceDocuments();
    SourceDocuments(const SourceDocuments&) = delete;
    SourceDocuments& operator=(const SourceDocuments&) = delete;

    /// Menu11 to Menu15, the opening of Menu10, SpeedButton1 to SpeedButton3.
    CommandTable commands();

    /// Open after the question and the dialog: loads `chosen` as the source
    /// document. Also how a source document given at start or dropped opens.
    /// Taken as a copy: the open dialog's own name, often passed here, changes on the way.
    void openChosen(std::string chosen);

    /// The question before the document is replaced or the window closes:
    /// true when the caller may go on (nothing modified, No, or Yes and saved).
    /// A failing Save As throws, which ends the caller as well.
    bool unsavedChangesCheck();

    /// The title of a document without a source file, or with `path` after it.
    void setCaption(const std::string& path = {});

    /// Loads a file into the pane; reportReplacements tells the user what the
    /// load changed once the command has finished its work.
    LoadReport loadIntoPane(const std::string& path);
    /// The message about "?" replacements of a load, shown when there were
    /// any, and in the status bar the encoding read and the references written.
    void reportReplacements(const LoadReport& report);
    /// Another command (HTML import) put a document without a source file in
    /// place of this one: the old one's recovery copy and source file go.
    void documentReplaced();

    /// At start-up: offers the work of editors that ended without saving it
    /// and shows the copy chosen as an unsaved document.
    void offerRecovery();
    recovery::RecoveryCopy& recoveryCopy() { return m_recovery; }

    void Menu10Click();       ///< file menu opens
    void Menu11Click();       ///< new
    void Menu12Click();       ///< open a source document
    void Menu13Click();       ///< save
    void Menu14Click();       ///< save as
    void Menu15Click();       ///< exit
    void SpeedButton3Click(); ///< save, or save as without a source file (toolbar)

    /// OnClose of the main window: `allowed` is false when the check refused
    /// the close. The undo snapshot file is deleted only when the window
    /// really closes, so undo still works after a refused close.
    void FormClose(bool& allowed);

    /// The desktop session is ending. `mayAsk` asks the session for leave to
    /// show the question and says whether it was given. Returns false when
    /// the session end must be cancelled: the user refused, or changes exist
    /// and nobody can be asked. A later close of the same content does not ask again.
    bool sessionEnding(const std::function<bool()>& mayAsk);

    FileDialog& OpenDialog1() { return m_openDialog1; } ///< open dialog, shared with HTML import
    FileDialog& SaveDialog1() { return m_saveDialog1; } ///< save dialog of Save As

private:
    /// True unless the source file changed since it was last read or written
    /// here and the user chose not to write over it.
    bool mayOverwriteSourceFile();
    /// The source file was just read or written: from now on Save compares with this.
    void rememberSourceFile(const std::string& path);

    EditorState& m_state;
    EditorHost& m_host;
    Pane& m_pane;
    Services& m_services;
    DocumentWindow m_window;
    FileDialog m_openDialog1;
    FileDialog m_saveDialog1;
    /// The text the user agreed to give up when the session ended.
    std::optional<std::string> m_sessionApprovedText;
    /// SourcePath's file as this editor last read or wrote it; nothing when unknown.
    std::optional<files::FileIdentity> m_sourceFile;
    recovery::RecoveryCopy m_recovery;
};

} // namespace vela
