// Pictures of the main window for looking at by eye: a word wrapped in bold,
// underline and a heading-size preview, and the tag menu opened.
// Usage: vela_screenshot <output folder>  (under xvfb-run)
#include "Cp932.h"
#include "JapaneseUi.h"
#include "QtServices.h"
#include "TForm1.h"

#include <QApplication>
#include <QLineEdit>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

using namespace vela;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setUpJapaneseUi(app);
    if (argc < 2) return 2;
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir work;
    QDir::setCurrent(work.path());

    QtServices services;
    TForm1 form(services);
    form.show();
    Pane& pane = form.pane();
    pane.setSelColor(0xFFFFFF); // as the key handler makes typed text white
    pane.setSelText(cp932::fromUtf8("日本語の見出し abc"));
    pane.setSelStart(16 + int(cp932::fromUtf8("日本語の見出し ").size()));
    pane.setSelLength(3);

    QTimer::singleShot(300, [&] {
        auto* tabs = form.findChild<QTabBar*>("TabSet1");
        tabs->setCurrentIndex(1);
        form.findChild<QToolButton*>("SpeedButton11")->click();
        form.findChild<QToolButton*>("SpeedButton23")->click();
        form.state().PendingTag.OpenText = "<H1>";
        form.state().PendingTag.CloseText = "</H1>";
        form.state().PendingTag.HeadingLevel = 1;
        form.SetSelText();
        pane.setSelStart(0); // the caret away, so the word shows its own colours
        form.resize(800, 360);
    });
    QTimer::singleShot(900, [&] {
        form.grab().save(out.filePath("tform1.png"));
        auto* menu = form.menuBar()->findChild<QMenu*>("Menu30");
        menu->popup(form.mapToGlobal(QPoint(120, 20)));
        QTimer::singleShot(400, [&, menu] {
            auto* sub = menu->findChild<QMenu*>("Menu_a");
            menu->setActiveAction(sub->menuAction());
            sub->popup(menu->mapToGlobal(QPoint(menu->width(), 150)));
            QTimer::singleShot(400, [&, menu, sub] {
                menu->grab().save(out.filePath("menu30.png"));
                sub->grab().save(out.filePath("menu_a.png"));
                menu->hide();
                // The page refreshed, and the find dialog over it with a Japanese search text.
                form.recolouring().R1Click();
                form.commandAction("Memo41")->trigger();
                auto* find = form.findChild<QDialog*>("FindDialog1");
                find->findChild<QLineEdit*>("FindWhat")->setText(QString::fromUtf8("日本語"));
                QTimer::singleShot(400, [&, find] {
                    form.grab().save(out.filePath("refreshed.png"));
                    find->grab().save(out.filePath("find.png"));
                    app.quit();
                });
            });
        });
    });
    return app.exec();
}
