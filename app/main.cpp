// Program start: the application title, the windows in their order, the message loop.
#include "JapaneseUi.h"
#include "ModalWindowsStayShown.h"
#include "QtServices.h"
#include "TForm1.h"

#include <QApplication>
#include <QIcon>
#include <QWidget>

#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vela::setUpJapaneseUi(app);
    // The desktop entry names the program; a display name would be appended to every window title.
    QGuiApplication::setDesktopFileName(QStringLiteral("vela"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/programicon.png")));
    const vela::ModalWindowsStayShown modalWindowsStayShown;

    vela::QtServices services;
    std::unique_ptr<vela::TForm1> form1;
    vela::runGuarded(services, [&] { form1 = std::make_unique<vela::TForm1>(services); });
    if (!form1) return 1;
    services.setOwner(form1.get());
    // The dialogs, the splash and the About box were created hidden with TForm1's subsystems.

    // The splash shows at the first activation until its timer, running since start-up, next ticks.
    // Afterwards the pane has the keyboard, so typing goes straight into the page.
    form1->setFirstActivationHook([form = form1.get()] {
        form->shell().showSplash();
        form->activateWindow();
        form->pane().widget()->setFocus();
    });

    form1->show();
    return app.exec();
}
