#pragma once
// The output commands of the main window: the browser preview of an exported
// page, printing the pane's text and opening the help file. Owns OpenDialog3,
// whose remembered file name is the preview's only state.

#include "CommandTable.h"
#include "Services.h"

namespace vela {

class Pane;

class OutputCommands {
public:
    OutputCommands(Pane& pane, Services& services);

    /// The menu entries and toolbar buttons of these commands.
    CommandTable commands();

    // The toolbar buttons SpeedButton9, SpeedButton17 and SpeedButton26 share these entries' actions.
    void wwwClick();       ///< browser preview of an .htm file
    void MenuPrintClick(); ///< print the pane's text
    void Menu51Click();    ///< help contents

    /// The help file, looked up by the help viewer.
    static constexpr const char* HelpFile = "ZAVIZADA.HLP";

    /// The preview's file dialog, keeping its last chosen name.
    const FileDialog& openDialog3() const { return OpenDialog3; }

private:
    Pane& m_pane;
    Services& m_services;
    FileDialog OpenDialog3; ///< file-open dialog of the preview
};

} // namespace vela
