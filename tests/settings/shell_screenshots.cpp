// Renders the splash window, the About box and the help window to PNG files
// in the folder given as the first argument, for a person to look at.
#include "HelpViewer.h"
#include "JapaneseUi.h"
#include "TAboutBox.h"
#include "TForm7.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTest>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vela::setUpJapaneseUi(app);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());

    vela::TForm7 splash;
    splash.show();
    QTest::qWait(100);
    splash.grab().save(out.filePath("splash_window.png"));
    splash.hide();

    vela::TAboutBox about;
    about.show();
    QTest::qWait(100);
    about.grab().save(out.filePath("about_box.png"));
    about.hide();

    vela::HelpViewer help;
    help.open(QStringLiteral("ZAVIZADA.HLP"));
    help.show();
    help.showTopic(QStringLiteral("print"));
    QTest::qWait(100);
    help.grab().save(out.filePath("help_contents.png"));
    help.open(QStringLiteral("MISSING.HLP"));
    QTest::qWait(100);
    help.grab().save(out.filePath("help_missing.png"));
    return 0;
}
