#pragma once
// The tag commands that ask the user for one value in the input prompt (link
// target, keyword, mail address, window name, script path, option value,
// button caption), the mail form built from the registered address, and the
// date-and-time text of the Edit menu. They own the clock the date text reads;
// everything else they use (PendingTag, LinkKeyword, MailAddress) is shared state.

#include "CommandTable.h"
#include "DateTimeText.h"
#include "EditorHost.h"
#include "EditorState.h"

#include <string>

namespace vela {

class Pane;
class Services;

class PromptedTagCommands {
public:
    PromptedTagCommands(EditorState& state, EditorHost& host, Pane& pane, Services& services);

    /// The menu entries and toolbar buttons of these commands.
    CommandTable commands();

    /// Replaces the clock the date-and-time command reads (the system clock at first).
    void setClock(Clock clock) { m_clock = std::move(clock); }

    void Menu36Click();       ///< link to another URL
    void MENUKeyWordClick();  ///< link target keyword on this page
    void MenuPageJUMPClick(); ///< link to a keyword on this page
    void Menu37Click();       ///< mail link
    void MenuBASEClick();     ///< window that links load into
    void CGIC1Click();        ///< form sent through a CGI script
    void M2Click();           ///< form sent by mail from the browser
    void N7Click();           ///< preselected option of a selection field
    void O1Click();           ///< option of a selection field
    void S1Click();           ///< reset button
    void S2Click();           ///< submit button
    void N9Click();           ///< date and time as plain text

private:
    /// Shows the prompt with `buffer` as preset; only OK writes the answer into it.
    bool ask(const char* caption, const char* prompt, std::string& buffer);
    /// Asks with PendingTag.OpenText as the buffer; on OK wraps the answer as
    /// before + answer + after and inserts it with `closeText`.
    void askAndInsert(const char* caption, const char* prompt, const char* before, const char* after,
                      const char* closeText);
    void insert(std::string openText, const char* closeText);
    /// The selected text followed by "を選択", the preset of the option commands.
    std::string optionPreset() const;

    EditorState& m_state;
    EditorHost& m_host;
    Pane& m_pane;
    Services& m_services;
    Clock m_clock = systemNow;
};

} // namespace vela
