// The splash window and the About box, shown as the program shows them.
#include "TestSupport.h"

#include "ScriptedServices.h"
#include "ShellCommands.h"
#include "TAboutBox.h"
#include "TForm1.h"
#include "TForm7.h"
#include "UserActions.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace vela;

namespace {
QTimer* splashTimer(TForm7& splash) { return splash.findChild<QTimer*>("Timer1"); }

/// Everything the About box shows: every label's text and picture.
QStringList aboutContent(QDialog& box) {
    QStringList content{box.windowTitle()};
    for (QLabel* label : box.findChildren<QLabel*>()) {
        const QPixmap picture = label->pixmap();
        content << label->objectName() + "=" + label->text() + "/" + QString::number(picture.toImage().cacheKey() != 0) +
                       QString::number(picture.width()) + "x" + QString::number(picture.height()) + "@" +
                       QString::number(label->geometry().x()) + "," + QString::number(label->geometry().y());
    }
    return content;
}
} // namespace

class ShellTest : public QObject {
    Q_OBJECT

private slots:
    void testSplashLooksAsLaidOut() {
        TForm7 splash;
        QCOMPARE(splash.size(), QSize(318, 285));
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(splash.windowTitle(), QStringLiteral("VELA-VOVUZEZU DOZA RODORA"));
        QCOMPARE(splash.palette().color(QPalette::Window), QColor(255, 255, 0));
        auto* image = splash.findChild<QLabel*>("Image1");
        QCOMPARE(image->geometry(), QRect(2, 2, 313, 281));
        QCOMPARE(image->pixmap().size(), QSize(316, 280));
        QVERIFY(!image->hasScaledContents());
        // The timer runs from creation, shown or not.
        QCOMPARE(splashTimer(splash)->interval(), 5000);
        QVERIFY(splashTimer(splash)->isActive());
    }

    void testSplashClosesAtNextTickAfterSlowStart() {
        TForm7 splash;
        splashTimer(splash)->setInterval(300);
        splashTimer(splash)->start();
        // Start-up took longer than a period: the hidden window's tick had no effect.
        QTest::qWait(450);
        QVERIFY(!splash.isVisible());
        ScriptedServices services;
        bool shownAtFirst = false;
        qint64 shownFor = 0;
        services.expectModal([&](QDialog& dialog) {
            shownAtFirst = dialog.isVisible();
            QElapsedTimer clock;
            clock.start();
            user::waitUntilClosed(dialog, 2000);
            shownFor = clock.elapsed();
        });
        services.showModal(splash);
        QVERIFY(services.verifyAllConsumed());
        QVERIFY(shownAtFirst);
        QVERIFY(!splash.isVisible());
        QVERIFY2(shownFor <= 400, qPrintable(QString::number(shownFor)));
        // Esc does not close it before its time; only the tick does.
    }

    void testSplashIgnoresEscAndCloseBox() {
        TForm7 splash;
        splashTimer(splash)->setInterval(400);
        splashTimer(splash)->start();
        ScriptedServices services;
        bool stillShown = false;
        services.expectModal([&](QDialog& dialog) {
            user::pressEscape(dialog);
            user::closeByCloseBox(dialog);
            stillShown = dialog.isVisible();
            user::waitUntilClosed(dialog, 2000);
        });
        services.showModal(splash);
        QVERIFY(services.verifyAllConsumed());
        QVERIFY(stillShown);
    }

    void testSplashOnlyAtFirstActivation() {
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        {
            ScriptedServices services;
            TForm1 form(services);
            splashTimer(form.shell().splash())->setInterval(200);
            splashTimer(form.shell().splash())->start();
            form.setFirstActivationHook([&form] { form.shell().showSplash(); });
            int splashes = 0;
            services.expectModal([&](QDialog& dialog) {
                QCOMPARE(dialog.objectName(), QStringLiteral("TForm7"));
                ++splashes;
                user::waitUntilClosed(dialog, 2000);
            });
            form.show();
            form.activateWindow();
            QTRY_COMPARE(splashes, 1);
            // Another window in front, then the main window again: no second splash.
            QWidget other;
            other.show();
            other.activateWindow();
            QTRY_VERIFY(other.isActiveWindow());
            form.activateWindow();
            QTRY_VERIFY(form.isActiveWindow());
            QTest::qWait(300);
            QCOMPARE(splashes, 1);
            QVERIFY(services.verifyAllConsumed());
        }
        QDir::setCurrent(previous);
    }

    void testAboutBoxShowsSameContentEachTime() {
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        {
            ScriptedServices services;
            TForm1 form(services);
            std::vector<QStringList> seen;
            bool okHadFocus = false;
            // Closed once with OK, once with the close box, once with Esc.
            services.expectModal([&](QDialog& box) {
                seen.push_back(aboutContent(box));
                okHadFocus = box.findChild<QPushButton*>("OKButton")->hasFocus();
                user::click(box, "OKButton");
            });
            services.expectModal([&](QDialog& box) {
                seen.push_back(aboutContent(box));
                user::closeByCloseBox(box);
            });
            services.expectModal([&](QDialog& box) {
                seen.push_back(aboutContent(box));
                user::pressEscape(box);
            });
            for (int i = 0; i < 3; ++i) form.commandAction("Menu52")->trigger();
            QVERIFY(services.verifyAllConsumed());
            QCOMPARE(seen.size(), std::size_t(3));
            QCOMPARE(seen[1], seen[0]);
            QCOMPARE(seen[2], seen[0]);
            QVERIFY(okHadFocus);
            const QString all = seen[0].join('\n');
            QVERIFY(all.startsWith(QString::fromUtf8("バージョン情報")));
            QVERIFY(all.contains("ProductName=VELA-VOVUZEZU DOZA RODORA/"));
            QVERIFY(all.contains("Version=Version2.0a/"));
            QVERIFY(all.contains("Comments=VELA-VOVUZEZU/"));
            QVERIFY(all.contains("ProgramIcon=/132x32@11,11"));
            QVERIFY(all.contains("Image1=/1104x64@208,56"));
        }
        QDir::setCurrent(previous);
    }
};

QTEST_MAIN(ShellTest)
#include "tst_shell.moc"
