// Program start: the arguments, the application title, the windows in their order, the message loop.
#include "CommandLine.h"
#include "JapaneseUi.h"
#include "ModalWindowsStayShown.h"
#include "QtServices.h"
#include "TForm1.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QWidget>

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    // --help and --version answer before a display is needed: a packaged program's tools ask them anywhere.
    for (int i = 1; i < argc && std::string(argv[i]) != "--"; ++i) {
        const vela::CommandLine info = vela::CommandLine::parse({argv[i]});
        if (info.answer) {
            std::fputs(info.answer->c_str(), stdout);
            return 0;
        }
    }
    QApplication app(argc, argv);
    // Qt has taken its own options out; what is left is ours.
    std::vector<std::string> arguments;
    for (const QString& argument : QCoreApplication::arguments().mid(1)) arguments.push_back(argument.toStdString());
    const vela::CommandLine line = vela::CommandLine::parse(arguments);
    if (line.error) {
        std::fprintf(stderr, "%s\n", line.error->c_str());
        return 2;
    }
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
    // Absolute now, as a file dialog gives them: the title shows the full path, and a dialog may change the folder.
    std::vector<std::string> files;
    for (const std::string& file : line.files)
        files.push_back(QFileInfo(QString::fromStdString(file)).absoluteFilePath().toStdString());
    form1->setFilesGivenAtStart(std::move(files));
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
