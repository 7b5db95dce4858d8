#include "PreferenceCommands.h"

#include "Services.h"
#include "SettingsFile.h"
#include "TForm10.h"

namespace vela {

PreferenceCommands::PreferenceCommands(EditorState& state, Services& services)
    : m_state(state), m_services(services), m_form10(std::make_unique<TForm10>(state)) {
    m_form10->setObjectName("TForm10");
}

PreferenceCommands::~PreferenceCommands() = default;

CommandTable PreferenceCommands::commands() {
    CommandTable t;
    t.menu = {
        {"KS1", "K1", "環境設定(&S)", [this] { KS1Click(); }},
        {"Menu26", "Menu20", "メールアドレスの登録(&M)", [this] { Menu26Click(); }},
    };
    // SpeedButton10 shares Menu26's action.
    t.buttons = {
        {"SpeedButton10", ToolbarPage::Basic, 372, 27, "メールアドレスの登録", "メールアドレスを登録する",
         ":/icons/mailaddress.png", "Menu26"},
    };
    return t;
}

void PreferenceCommands::KS1Click() {
    m_services.showModal(*m_form10);
    // Written whichever way the dialog closed, so a value such as 2 read from
    // the file goes back unchanged after Cancel.
    writeSwitches(m_state);
}

void PreferenceCommands::Menu26Click() {
    std::string address = m_state.MailAddress;
    // The prompt leaves the preset in `address` after Cancel, and that is written too.
    m_services.inputQuery("メールアドレスを入力して下さい", "メールアドレス登録", address);
    m_state.MailAddress = address;
    writeMailAddress(m_state);
}

} // namespace vela
