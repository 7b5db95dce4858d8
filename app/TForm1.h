#pragma once
// The main window and composition root. It owns the editor's state, the
// editing pane and the subsystems, assembles their command tables into
// MainMenu1 and Panel1, and runs start-up, activation, the enabling timer
// and closing, each through the services' error guard.

#include "CommandAssembly.h"
#include "DialogTagCommands.h"
#include "DirectTagCommands.h"
#include "EditCommands.h"
#include "EditorHost.h"
#include "EditorState.h"
#include "FindCommands.h"
#include "GivenFiles.h"
#include "HtmlExportImport.h"
#include "OutputCommands.h"
#include "Pane.h"
#include "PreferenceCommands.h"
#include "PromptedTagCommands.h"
#include "SourceDocuments.h"
#include "ShellCommands.h"
#include "TagInsertionEngine.h"
#include "TagRecolouring.h"

#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QTabBar;
class QTimer;
class QToolButton;

namespace vela {

class Services;

class TForm1 : public QMainWindow, public EditorHost {
public:
    /// Builds the window and runs FormCreate, as creating the window does.
    explicit TForm1(Services& services, QWidget* parent = nullptr);
    ~TForm1() override;

    EditorState& state() { return m_state; }
    Pane& pane() { return *m_pane; }
    /// The splash and the About box; program start shows the splash at the first activation.
    ShellCommands& shell() { return m_shell; }
    /// Refresh and reset tag; the HTML import runs the refresh after reading a file.
    TagRecolouring& recolouring() { return m_recolouring; }
    /// The prompted tag commands, whose date text reads a replaceable clock.
    PromptedTagCommands& promptedTags() { return m_promptedTags; }
    /// The source documents and the close handling; the session end asks them.
    SourceDocuments& documents() { return m_documents; }

    /// Window creation handler; the New command runs it again to reset the document.
    void FormCreate();
    /// Runs when the window becomes active; only the first activation does something.
    void OnActivate();
    /// Enables KD1 and the editing buttons from the selection, undo and clipboard state.
    void Timer1Timer();
    /// Picks toolbar page NewTab (0 to 2); other values change nothing.
    void TabSet1Change(int NewTab);

    /// What the first activation shows (the splash window). Runs once per run.
    void setFirstActivationHook(std::function<void()> hook) { m_firstActivationHook = std::move(hook); }
    /// Files given at start (absolute paths): they open after the first activation's splash and recovery offer.
    void setFilesGivenAtStart(std::vector<std::string> paths) { m_filesGivenAtStart = std::move(paths); }
    /// Opens the first of `paths` as the menu command would; one document per
    /// window, so the status bar says the others were not opened.
    void openGivenFiles(const std::vector<std::string>& paths);

    void SetSelText() override;
    void setStatusText(const std::string& utf8) override;
    void setCommandEnabled(const std::string& name, bool enabled) override;
    void runCommand(const std::string& name) override;
    void reportError(const std::string& utf8Message) override;

    /// The status bar's simple text (UTF-8).
    std::string statusText() const;
    /// The action of a menu entry, or null.
    QAction* commandAction(const std::string& name) const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void assembleCommands();
    void buildMenu(QMenu* menu, const MenuNode& node);
    QAction* createAction(const MenuEntry& entry);
    void buildButton(const ToolButton& button);
    void showToolbarPage(ToolbarPage page);
    void placeButton(const std::string& name, int left);
    /// Places the window, frame included, at the top-left of the screen's available area, filling it.
    void fitToScreen();
    void guarded(const std::function<void()>& handler);
    void runCommand(const std::function<void()>& handler);

    void Menu10Click(); ///< File menu opens
    void Menu20Click(); ///< Edit menu opens
    void Menu40Click(); ///< Search menu opens
    void M30CLK();      ///< Tag menu opens
    void KKK();         ///< Option menu opens
    void M50CLICK();    ///< Help menu opens
    CommandTable ownCommands();

    Services& m_services;
    EditorState m_state;
    std::unique_ptr<Pane> m_pane;
    TagInsertionEngine m_engine;
    DirectTagCommands m_directTags;
    TagRecolouring m_recolouring;
    EditCommands m_edit;
    FindCommands m_find;
    DialogTagCommands m_dialogTags;
    PromptedTagCommands m_promptedTags;
    SourceDocuments m_documents;
    HtmlExportImport m_htmlFiles;
    PreferenceCommands m_preferences;
    OutputCommands m_output;
    ShellCommands m_shell;
    GivenFiles m_givenFiles;

    QWidget* Panel1 = nullptr;      ///< toolbar panel with the buttons and the page tabs
    QTabBar* TabSet1 = nullptr;     ///< toolbar page tabs
    QStatusBar* StatusBar1 = nullptr;
    QLabel* m_statusText = nullptr; ///< StatusBar1's simple text
    QTimer* Timer1 = nullptr;       ///< 200 ms command enabling

    std::map<std::string, QAction*> m_actions;
    std::map<std::string, std::function<void()>> m_handlers; ///< built menu entries' commands, for runCommand
    std::map<std::string, QMenu*> m_menus;
    struct PlacedButton {
        QToolButton* button;
        ToolbarPage page;
        std::string statusText;
    };
    std::map<std::string, PlacedButton> m_buttons;
    std::multimap<std::string, std::function<void()>> m_openings;

    /// Selection last seen by the timer, so its text is read only when it changed.
    struct SelectionSeen {
        int start = -1, length = -1;
        std::uint64_t contentVersion = ~std::uint64_t(0);
        bool holdsBothBrackets = false;
    } m_selectionSeen;
    bool m_fittedWithFrame = false; ///< placed again once the window manager's frame was known

    std::function<void()> m_firstActivationHook;
    std::vector<std::string> m_filesGivenAtStart;
};

} // namespace vela
