#pragma once
// Source documents (.kvd): New, Open, Save, Save As, Exit and the close
// handling of the main window, with the unsaved-changes check they share
// with HTML import. Owns the file dialogs OpenDialog1 and SaveDialog1; the
// current source path itself is EditorState::SourcePath, which OpenDialog1
// proposes every time it is shown.

#include "CommandTable.h"
#include "EditorHost.h"
#include "EditorState.h"
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

    /// Menu11 to Menu15, the opening of Menu10, SpeedButton1 to SpeedButton3.
    CommandTable commands();

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
    EditorState& m_state;
    EditorHost& m_host;
    Pane& m_pane;
    Services& m_services;
    DocumentWindow m_window;
    FileDialog m_openDialog1;
    FileDialog m_saveDialog1;
    /// The text the user agreed to give up when the session ended.
    std::optional<std::string> m_sessionApprovedText;
};

} // namespace vela
