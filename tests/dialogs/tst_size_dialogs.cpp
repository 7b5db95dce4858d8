// The font size and heading dialogs, driven as a user drives them.

#include "DialogScript.h"
#include "TForm4.h"
#include "TForm5.h"

#include <QLabel>
#include <QSlider>

using vela::test::act;
using vela::test::runModal;
using vela::test::runSession;
using Session = QList<QStringList>;

class SizeDialogTests : public QObject {
    Q_OBJECT
private slots:
    void fontSizeFromSession_data();
    void fontSizeFromSession();
    void fontSizeReopensWhereLeft();
    void headingFromSession_data();
    void headingFromSession();
};

void SizeDialogTests::fontSizeFromSession_data() {
    QTest::addColumn<Session>("session");
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("close");
    QTest::newRow("first opening OK") << Session{{"Button1"}} << "<FONT SIZE=7>" << "</FONT>";
    QTest::newRow("right end") << Session{{"TrackBar1:End", "Button1"}} << "<FONT SIZE=1>" << "</FONT>";
    QTest::newRow("one step right") << Session{{"TrackBar1:Right", "Button1"}} << "<FONT SIZE=6>" << "</FONT>";
    QTest::newRow("left stops at left end") << Session{{"TrackBar1:Left", "Button1"}} << "<FONT SIZE=7>"
                                            << "</FONT>";
    QTest::newRow("right stops at right end")
        << Session{{"TrackBar1:End", "TrackBar1:Right", "Button1"}} << "<FONT SIZE=1>" << "</FONT>";
    QTest::newRow("back to left end") << Session{{"TrackBar1:End", "TrackBar1:Home", "Button1"}} << "<FONT SIZE=7>"
                                      << "</FONT>";
    QTest::newRow("first opening Cancel") << Session{{"Button2"}} << "" << "";
    QTest::newRow("Cancel after OK") << Session{{"Button1"}, {"Button2"}} << "" << "</FONT>";
    QTest::newRow("Esc presses Cancel") << Session{{"Button1"}, {"Esc"}} << "" << "</FONT>";
    QTest::newRow("close box presses Cancel")
        << Session{{"TrackBar1:End", "Button1"}, {"TrackBar1:Home", "close"}} << "" << "</FONT>";
    QTest::newRow("close box before any OK") << Session{{"close"}} << "" << "";
    QTest::newRow("reopen after OK") << Session{{"TrackBar1:Right", "TrackBar1:Right", "TrackBar1:Right", "Button1"},
                                                {"Button1"}}
                                     << "<FONT SIZE=4>" << "</FONT>";
    QTest::newRow("reopen after Cancel")
        << Session{{"TrackBar1:End", "Button2"}, {"TrackBar1:Left", "Button1"}} << "<FONT SIZE=2>" << "</FONT>";
}

void SizeDialogTests::fontSizeFromSession() {
    QFETCH(Session, session);
    QFETCH(QString, open);
    QFETCH(QString, close);
    std::string FontSizeOpenText, FontSizeCloseText;
    vela::TForm4 dialog(FontSizeOpenText, FontSizeCloseText);
    QVERIFY(runSession(dialog, session));
    QCOMPARE(QString::fromStdString(FontSizeOpenText), open);
    QCOMPARE(QString::fromStdString(FontSizeCloseText), close);
}

// The user sees the preview follow the slider, and finds both where they were left.
void SizeDialogTests::fontSizeReopensWhereLeft() {
    std::string FontSizeOpenText, FontSizeCloseText;
    vela::TForm4 dialog(FontSizeOpenText, FontSizeCloseText);
    auto* preview = dialog.findChild<QLabel*>(QStringLiteral("Label3"));
    auto* slider = dialog.findChild<QSlider*>(QStringLiteral("TrackBar1"));
    QVERIFY(preview && slider);
    QCOMPARE(preview->text(), QStringLiteral("SIZE=7"));
    QVERIFY(runSession(dialog, {{"TrackBar1:Right", "TrackBar1:Right", "TrackBar1:Right", "Button1"}}));
    QVERIFY(runModal(dialog, [&] {
        QCOMPARE(slider->value(), 4);
        QCOMPARE(preview->text(), QStringLiteral("SIZE=4"));
        act(dialog, "TrackBar1:End");
        QCOMPARE(preview->text(), QStringLiteral("SIZE=1"));
        act(dialog, "Button2");
    }));
}

void SizeDialogTests::headingFromSession_data() {
    QTest::addColumn<Session>("session");
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("close");
    // The pending tag starts as the previous tag command (bold) left it.
    QTest::newRow("first opening OK") << Session{{"Button1"}} << "<H1>" << "</H1>";
    QTest::newRow("level 2") << Session{{"TrackBar1:Right", "Button1"}} << "<H2>" << "</H2>";
    QTest::newRow("right end") << Session{{"TrackBar1:End", "Button1"}} << "<H6>" << "</H6>";
    QTest::newRow("right stops at right end")
        << Session{{"TrackBar1:End", "TrackBar1:Right", "Button1"}} << "<H6>" << "</H6>";
    QTest::newRow("Cancel leaves closing text") << Session{{"Button2"}} << "" << "</B>";
    QTest::newRow("Cancel after OK") << Session{{"Button1"}, {"Button2"}} << "" << "</H1>";
    QTest::newRow("Esc presses Cancel") << Session{{"Esc"}} << "" << "</B>";
    QTest::newRow("close box presses Cancel") << Session{{"TrackBar1:End", "close"}} << "" << "</B>";
    QTest::newRow("reopen keeps level") << Session{{"TrackBar1:End", "TrackBar1:Left", "Button2"}, {"Button1"}}
                                        << "<H5>" << "</H5>";
}

void SizeDialogTests::headingFromSession() {
    QFETCH(Session, session);
    QFETCH(QString, open);
    QFETCH(QString, close);
    std::string OpenText = "<B>", CloseText = "</B>";
    vela::TForm5 dialog(OpenText, CloseText);
    QVERIFY(runSession(dialog, session));
    QCOMPARE(QString::fromStdString(OpenText), open);
    QCOMPARE(QString::fromStdString(CloseText), close);
}

QTEST_MAIN(SizeDialogTests)
#include "tst_size_dialogs.moc"
