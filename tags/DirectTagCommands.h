#pragma once
// The tag commands that put a fixed tag pair around the selection without
// asking anything. They own no state: each fills PendingTag and calls SetSelText.

#include "CommandTable.h"
#include "EditorHost.h"
#include "EditorState.h"

namespace vela {

class DirectTagCommands {
public:
    DirectTagCommands(EditorState& state, EditorHost& host);

    /// The menu entries and toolbar buttons of these commands.
    CommandTable commands();

    void Menu31Click();    ///< title
    void KC1Click();       ///< comment the browser does not show
    void Menu3cClick();    ///< line break
    void Menu34Click();    ///< paragraph
    void MenuNOBRClick();  ///< no line breaking
    void Menu32Click();    ///< bold
    void Menu33Click();    ///< italic
    void MenuUClick();     ///< underline
    void Menu35Click();    ///< centring
    void MenuRightClick(); ///< right alignment
    void MenuPREClick();   ///< preformatted text
    void B1Click();        ///< clear text wrap
    void F1Click();        ///< form
    void S3Click();        ///< selection field range
    void KU1Click();       ///< bulleted list
    void KL3Click();       ///< list item
    void Menu3dClick();    ///< horizontal rule

private:
    void insertPair(const char* openText, const char* closeText);
    /// The single tags that may be followed by a line break (the preference LineBreakAfterTag).
    void insertSingleWithLineBreak(const char* tag);

    EditorState& m_state;
    EditorHost& m_host;
};

} // namespace vela
