#include "OutputCommands.h"

#include "Pane.h"

namespace vela {

namespace {
const char* const PrintJobName = "VELA-VOVUZEZU DOZA RODORA";
}

OutputCommands::OutputCommands(Pane& pane, Services& services)
    : m_pane(pane), m_services(services) {
    OpenDialog3.kind = FileDialog::Kind::Open;
}

void OutputCommands::wwwClick() {
    OpenDialog3.defaultExt = "htm";
    OpenDialog3.filter = "HTML files (*.htm)|*.htm";
    OpenDialog3.title = "HTMLの表示";
    if (!m_services.executeFileDialog(OpenDialog3)) return;
    // The whole path goes to the desktop, however long: cutting it would open another file.
    m_services.openWithDesktop(OpenDialog3.fileName);
}

void OutputCommands::MenuPrintClick() { m_services.printText(m_pane.text(), PrintJobName); }

void OutputCommands::Menu51Click() { m_services.showHelp(HelpFile); }

CommandTable OutputCommands::commands() {
    auto h = [this](void (OutputCommands::*handler)()) { return [this, handler] { (this->*handler)(); }; };
    CommandTable t;
    t.menu = {
        {"MenuPrint", "Menu10", "印刷(&P)", h(&OutputCommands::MenuPrintClick)},
        {"www", "Menu10", "ブラウザの起動(&R)", h(&OutputCommands::wwwClick)},
        {"Menu51", "Menu50", "目次(&I)", h(&OutputCommands::Menu51Click)},
    };
    using P = ToolbarPage;
    // Each button runs its menu entry's command (SpeedButton17Click calls MenuPrintClick).
    t.buttons = {
        {"SpeedButton17", P::Basic, 157, 27, "印刷", "編集中の内容を印刷する", ":/icons/print.png", "MenuPrint"},
        {"SpeedButton9", P::Basic, 190, 27, "ブラウザ起動", "ブラウザを起動する", ":/icons/browser.png", "www"},
        {"SpeedButton26", P::Basic, 404, 27, "ヘルプ", "ヘルプを開く", ":/icons/help.png", "Menu51"},
    };
    return t;
}

} // namespace vela
