// The body colour and font colour dialogs, driven as a user drives them.

#include "ColourPalette.h"
#include "DialogScript.h"
#include "TForm11.h"
#include "TTabbedNotebookDlg.h"

#include <QFrame>

using vela::test::act;
using vela::test::runModal;
using vela::test::runSession;
using Session = QList<QStringList>;

class ColourDialogTests : public QObject {
    Q_OBJECT
private slots:
    void bodyColoursFromSession_data();
    void bodyColoursFromSession();
    void backgroundClickLeavesTextSwatch();
    void fontColourOfEachPanel_data();
    void fontColourOfEachPanel();
    void fontColourFromSession_data();
    void fontColourFromSession();
    void panelsShowTheirColours_data();
    void panelsShowTheirColours();
};

void ColourDialogTests::bodyColoursFromSession_data() {
    QTest::addColumn<Session>("session");
    QTest::addColumn<QString>("expected");
    const QString both = QStringLiteral(" TEXT=\"#000000\" BGCOLOR=\"#FFFFFF\"");
    QTest::newRow("first opening OK") << Session{{"OKBtn"}} << both;
    QTest::newRow("Enter presses OK") << Session{{"Panel12", "Enter"}}
                                      << QStringLiteral(" TEXT=\"#FF0000\" BGCOLOR=\"#FFFFFF\"");
    QTest::newRow("no text colour") << Session{{"Panel19", "OKBtn"}} << QStringLiteral(" BGCOLOR=\"#FFFFFF\"");
    QTest::newRow("no text colour after both") << Session{{"OKBtn"}, {"Panel19", "OKBtn"}}
                                               << QStringLiteral(" BGCOLOR=\"#FFFFFF\"");
    QTest::newRow("no background") << Session{{"tab:1", "Panel19", "OKBtn"}} << QStringLiteral(" TEXT=\"#000000\"");
    QTest::newRow("neither") << Session{{"Panel19", "tab:1", "Panel19", "OKBtn"}} << QString();
    QTest::newRow("red on navy") << Session{{"Panel12", "tab:1", "Panel7", "OKBtn"}}
                                 << QStringLiteral(" TEXT=\"#FF0000\" BGCOLOR=\"#000080\"");
    QTest::newRow("TEXT first when chosen last") << Session{{"tab:1", "Panel7", "tab:0", "Panel12", "OKBtn"}}
                                                 << QStringLiteral(" TEXT=\"#FF0000\" BGCOLOR=\"#000080\"");
    QTest::newRow("palette click shows swatch again") << Session{{"Panel19", "Panel5", "OKBtn"}}
                                                      << QStringLiteral(" TEXT=\"#008000\" BGCOLOR=\"#FFFFFF\"");
    QTest::newRow("reopen after Cancel keeps swatches")
        << Session{{"Panel12", "tab:1", "Panel19", "CancelBtn"}, {"OKBtn"}} << QStringLiteral(" TEXT=\"#FF0000\"");
    QTest::newRow("reopen keeps the page") << Session{{"tab:1", "CancelBtn"}, {"Panel7", "OKBtn"}}
                                           << QStringLiteral(" TEXT=\"#000000\" BGCOLOR=\"#000080\"");
    QTest::newRow("Cancel after OK") << Session{{"OKBtn"}, {"CancelBtn"}} << QString();
    QTest::newRow("Esc presses Cancel") << Session{{"OKBtn"}, {"Esc"}} << QString();
    QTest::newRow("close box presses Cancel") << Session{{"OKBtn"}, {"Panel12", "close"}} << QString();
    QTest::newRow("close box keeps the choices") << Session{{"Panel12", "close"}, {"OKBtn"}}
                                                 << QStringLiteral(" TEXT=\"#FF0000\" BGCOLOR=\"#FFFFFF\"");
}

void ColourDialogTests::bodyColoursFromSession() {
    QFETCH(Session, session);
    QFETCH(QString, expected);
    std::string BodyColorText;
    vela::TTabbedNotebookDlg dialog(BodyColorText);
    QVERIFY(runSession(dialog, session));
    QCOMPARE(QString::fromStdString(BodyColorText), expected);
}

void ColourDialogTests::backgroundClickLeavesTextSwatch() {
    std::string BodyColorText;
    vela::TTabbedNotebookDlg dialog(BodyColorText);
    auto* textSwatch = dialog.findChild<QFrame*>(QStringLiteral("Panel2"));
    auto* backgroundSwatch = dialog.findChild<QFrame*>(QStringLiteral("Panel1"));
    QVERIFY(textSwatch && backgroundSwatch);
    bool ok = false;
    QVERIFY(runModal(dialog, [&] {
        ok = act(dialog, "Panel12") && act(dialog, "tab:1") && act(dialog, "Panel13");
        ok = ok && act(dialog, "tab:0");
        QVERIFY(textSwatch->isVisible());
        QCOMPARE(vela::palette::panelColour(*textSwatch), 0x0000FFu);
        QVERIFY(!backgroundSwatch->isVisible());
        ok = ok && act(dialog, "tab:1");
        QCOMPARE(vela::palette::panelColour(*backgroundSwatch), 0x00FF00u);
        ok = ok && act(dialog, "CancelBtn");
    }));
    QVERIFY(ok);
}

void ColourDialogTests::fontColourOfEachPanel_data() {
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("expected");
    const char* html[] = {"#000000", "#800000", "#008000", "#808000", "#000080", "#800080", "#008080", "#808080",
                          "#C0C0C0", "#FF0000", "#00FF00", "#FFFF00", "#0000FF", "#FF00FF", "#00FFFF", "#FFFFFF"};
    for (int i = 0; i < 16; ++i) {
        QString panel = QStringLiteral("Panel%1").arg(i + 3);
        QTest::newRow(qPrintable(panel)) << panel << QStringLiteral(" COLOR=\"%1\"").arg(html[i]);
    }
}

void ColourDialogTests::fontColourOfEachPanel() {
    QFETCH(QString, panel);
    QFETCH(QString, expected);
    std::string FontColorText;
    vela::TForm11 dialog(FontColorText);
    // Start from another colour so that black is really clicked.
    QVERIFY(runSession(dialog, {{"Panel18", panel, "OKBtn"}}));
    QCOMPARE(QString::fromStdString(FontColorText), expected);
}

void ColourDialogTests::fontColourFromSession_data() {
    QTest::addColumn<Session>("session");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first opening OK") << Session{{"OKBtn"}} << QStringLiteral(" COLOR=\"#000000\"");
    QTest::newRow("first opening Cancel") << Session{{"CancelBtn"}} << QString();
    QTest::newRow("Cancel after OK") << Session{{"Panel12", "OKBtn"}, {"CancelBtn"}} << QString();
    QTest::newRow("Esc presses Cancel") << Session{{"OKBtn"}, {"Esc"}} << QString();
    QTest::newRow("Enter presses OK") << Session{{"Panel15", "Enter"}} << QStringLiteral(" COLOR=\"#0000FF\"");
    QTest::newRow("last click counts") << Session{{"Panel12", "Panel15", "OKBtn"}}
                                       << QStringLiteral(" COLOR=\"#0000FF\"");
    QTest::newRow("reopen after Cancel keeps colour") << Session{{"Panel12", "CancelBtn"}, {"OKBtn"}}
                                                      << QStringLiteral(" COLOR=\"#FF0000\"");
    QTest::newRow("close request ignored") << Session{{"Panel12", "closeIgnored", "OKBtn"}}
                                           << QStringLiteral(" COLOR=\"#FF0000\"");
}

void ColourDialogTests::fontColourFromSession() {
    QFETCH(Session, session);
    QFETCH(QString, expected);
    std::string FontColorText;
    vela::TForm11 dialog(FontColorText);
    QVERIFY(runSession(dialog, session));
    QCOMPARE(QString::fromStdString(FontColorText), expected);
}

void ColourDialogTests::panelsShowTheirColours_data() {
    QTest::addColumn<bool>("body");
    QTest::newRow("TTabbedNotebookDlg") << true;
    QTest::newRow("TForm11") << false;
}

// What is drawn, not what is set: each palette panel's middle shows its colour.
void ColourDialogTests::panelsShowTheirColours() {
    QFETCH(bool, body);
    std::string result;
    std::unique_ptr<QDialog> dialog;
    if (body)
        dialog = std::make_unique<vela::TTabbedNotebookDlg>(result);
    else
        dialog = std::make_unique<vela::TForm11>(result);
    QImage picture;
    QVERIFY(runModal(*dialog, [&] {
        picture = dialog->grab().toImage();
        act(*dialog, "CancelBtn");
    }));
    for (std::size_t i = 0; i < vela::palette::colours.size(); ++i) {
        QWidget* panel = vela::test::widgetNamed(*dialog, QStringLiteral("Panel%1").arg(i + 3));
        QVERIFY(panel);
        QPoint middle = panel->mapTo(dialog.get(), panel->rect().center()) * picture.devicePixelRatio();
        std::uint32_t bgr = vela::palette::colours[i];
        QCOMPARE(picture.pixelColor(middle), QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, bgr >> 16));
    }
}

QTEST_MAIN(ColourDialogTests)
#include "tst_colour_dialogs.moc"
