#include "ShellCommands.h"

#include "Services.h"
#include "TAboutBox.h"
#include "TForm7.h"

namespace vela {

ShellCommands::ShellCommands(Services& services)
    : m_services(services), m_aboutBox(std::make_unique<TAboutBox>()), m_splash(std::make_unique<TForm7>()) {}

ShellCommands::~ShellCommands() = default;

void ShellCommands::Menu52Click() { m_services.showModal(*m_aboutBox); }

void ShellCommands::showSplash() { m_services.showModal(*m_splash); }

CommandTable ShellCommands::commands() {
    CommandTable t;
    t.menu = {
        {"Menu52", "Menu50", "バージョン情報(&A)", [this] { Menu52Click(); }},
    };
    return t;
}

} // namespace vela
