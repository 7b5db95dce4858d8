#pragma once
// The Search menu: the find dialog FindDialog1, which lives for the run and
// keeps the last search, and the commands that show it and search again.

#include "CommandTable.h"
#include "EditorHost.h"
#include "EditorState.h"
#include "FindDialog.h"
#include "FindText.h"
#include "Pane.h"

namespace vela {

class Services;

class FindCommands {
public:
    /// `window` is the main window the non-modal dialog stays in front of.
    FindCommands(EditorHost& host, Pane& pane, Services& services, QWidget* window);

    /// The entries Memo41 and Menu42 and the Search menu's enabling.
    CommandTable commands();

    FindDialog& findDialog() { return *FindDialog1; }

    void Menu40Click();     ///< Search menu opens: enables Menu42
    void Memo41Click();     ///< find: shows the find dialog
    void Menu42Click();     ///< find next, without the dialog
    void FindDialog1Find(); ///< find-next button of the find dialog

private:
    EditorHost& m_host;
    Pane& m_pane;
    Services& m_services;
    FindDialog* FindDialog1; ///< the find dialog, owned by the main window
    PaneFinder m_finder;
};

} // namespace vela
