#include "FindCommands.h"

#include "Services.h"

#include <QWidget>

namespace vela {

FindCommands::FindCommands(EditorHost& host, Pane& pane, Services& services, QWidget* window)
    : m_host(host), m_pane(pane), m_services(services), FindDialog1(new FindDialog(window)) {
    // The button is pressed inside Qt's event loop: errors go to the report, never further.
    FindDialog1->setFindHandler([this] { runGuarded(m_services, [this] { FindDialog1Find(); }); });
}

CommandTable FindCommands::commands() {
    CommandTable t;
    t.menu = {
        {"Memo41", "Menu40", "検索(&F)", [this] { Memo41Click(); }},
        {"Menu42", "Menu40", "次を検索(&S)", [this] { Menu42Click(); }},
    };
    t.openings = {{"Menu40", [this] { Menu40Click(); }}};
    return t;
}

void FindCommands::Menu40Click() { m_host.setCommandEnabled("Menu42", !FindDialog1->findText().empty()); }

void FindCommands::Memo41Click() {
    FindDialog1->show();
    FindDialog1->raise();
    FindDialog1->activateWindow();
    m_host.setCommandEnabled("Menu42", true);
}

void FindCommands::Menu42Click() { FindDialog1Find(); }

void FindCommands::FindDialog1Find() {
    if (m_finder.find(m_pane, FindDialog1->findText(), FindDialog1->options())) {
        QWidget* edit = m_pane.widget();
        edit->activateWindow();
        edit->setFocus();
        return;
    }
    m_services.messageBox("確認", "検索文字列が見つかりません", MessageButtons::Ok, MessageIcon::None);
}

} // namespace vela
