#pragma once
// The commands that change the settings values: the preferences dialog
// TForm10 (which this class owns for the run) and the mail address prompt.
// Each writes its keys to the settings file as soon as it ends, also after
// a Cancel, so the file always holds what is in memory.

#include "CommandTable.h"
#include "EditorState.h"

#include <memory>

namespace vela {

class Services;
class TForm10;

class PreferenceCommands {
public:
    PreferenceCommands(EditorState& state, Services& services);
    ~PreferenceCommands();

    /// KS1 and Menu26 with their toolbar twin SpeedButton10.
    CommandTable commands();

    void KS1Click();           ///< preferences
    void Menu26Click();        ///< set the mail address

    TForm10& preferencesDialog() { return *m_form10; }

private:
    EditorState& m_state;
    Services& m_services;
    std::unique_ptr<TForm10> m_form10;
};

} // namespace vela
