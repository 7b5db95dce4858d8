// The marquee, image wrap and ordered-list dialogs, driven as a user drives them.

#include "DialogScript.h"
#include "TForm14.h"
#include "TForm15.h"
#include "TForm9.h"

#include <QLabel>
#include <QLineEdit>

using vela::test::act;
using vela::test::runModal;
using vela::test::runSession;
using Session = QList<QStringList>;

class LayoutDialogTests : public QObject {
    Q_OBJECT
private slots:
    void marqueeFromSession_data();
    void marqueeFromSession();
    void imageAlignFromSession_data();
    void imageAlignFromSession();
    void imageWrapShowsPortrait();
    void orderedListFromSession_data();
    void orderedListFromSession();
    void numberBoxEnabledState_data();
    void numberBoxEnabledState();
};

void LayoutDialogTests::marqueeFromSession_data() {
    QTest::addColumn<Session>("session");
    QTest::addColumn<QString>("behavior");
    QTest::addColumn<QString>("direction");
    QTest::newRow("first opening OK") << Session{{"Button1"}} << "SCROLL" << "LEFT";
    QTest::newRow("turn, left to right") << Session{{"RadioButton2", "RadioButton5", "Button1"}} << "ALTERNATE"
                                         << "RIGHT";
    QTest::newRow("stop") << Session{{"RadioButton3", "Button1"}} << "SLIDE" << "LEFT";
    QTest::newRow("back to scroll, right to left")
        << Session{{"RadioButton3", "RadioButton5", "RadioButton1", "RadioButton4", "Button1"}} << "SCROLL" << "LEFT";
    QTest::newRow("first opening Cancel") << Session{{"Button2"}} << "" << "";
    QTest::newRow("Cancel after OK") << Session{{"RadioButton5", "Button1"}, {"Button2"}} << "" << "RIGHT";
    QTest::newRow("Esc presses Cancel") << Session{{"Button1"}, {"Esc"}} << "" << "LEFT";
    QTest::newRow("close box presses Cancel") << Session{{"Button1"}, {"RadioButton3", "RadioButton5", "close"}}
                                              << "" << "LEFT";
    QTest::newRow("reopen after Cancel keeps choices")
        << Session{{"RadioButton2", "RadioButton5", "Button2"}, {"Button1"}} << "ALTERNATE" << "RIGHT";
}

void LayoutDialogTests::marqueeFromSession() {
    QFETCH(Session, session);
    QFETCH(QString, behavior);
    QFETCH(QString, direction);
    std::string MarqueeBehaviorText, MarqueeDirectionText;
    vela::TForm9 dialog(MarqueeBehaviorText, MarqueeDirectionText);
    QVERIFY(runSession(dialog, session));
    QCOMPARE(QString::fromStdString(MarqueeBehaviorText), behavior);
    QCOMPARE(QString::fromStdString(MarqueeDirectionText), direction);
}

void LayoutDialogTests::imageAlignFromSession_data() {
    QTest::addColumn<Session>("session");
    QTest::addColumn<QString>("expected");
    QTest::newRow("text left of the image") << Session{{"Button2"}} << " ALIGN=\"RIGHT\"";
    QTest::newRow("text right of the image") << Session{{"Button1"}} << " ALIGN=\"LEFT\"";
    QTest::newRow("no text beside it") << Session{{"Button1"}, {"Button3"}} << "";
    QTest::newRow("Esc drops the alignment") << Session{{"Button1"}, {"Esc"}} << "";
    QTest::newRow("close request ignored") << Session{{"closeIgnored", "Button2"}} << " ALIGN=\"RIGHT\"";
}

void LayoutDialogTests::imageAlignFromSession() {
    QFETCH(Session, session);
    QFETCH(QString, expected);
    std::string ImageAlignText;
    vela::TForm15 dialog(ImageAlignText);
    QVERIFY(runSession(dialog, session));
    QCOMPARE(QString::fromStdString(ImageAlignText), expected);
}

void LayoutDialogTests::imageWrapShowsPortrait() {
    std::string ImageAlignText;
    vela::TForm15 dialog(ImageAlignText);
    auto* image = dialog.findChild<QLabel*>(QStringLiteral("Image1"));
    QVERIFY(image);
    QCOMPARE(image->pixmap().size(), QSize(20, 20));
    // The whole form is bold, its buttons included.
    for (const char* button : {"Button1", "Button2", "Button3"})
        QVERIFY2(dialog.findChild<QWidget*>(QString::fromLatin1(button))->font().bold(), button);
}

void LayoutDialogTests::orderedListFromSession_data() {
    QTest::addColumn<Session>("session");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("first opening OK") << Session{{"Button2"}} << QByteArray("START=1 TYPE=1");
    QTest::newRow("5, roman") << Session{{"RadioButton2", "Edit1=5", "RadioButton6", "Button2"}}
                              << QByteArray("START=5 TYPE=i");
    QTest::newRow("empty number") << Session{{"RadioButton2", "Button2"}} << QByteArray("START= TYPE=1");
    QTest::newRow("not a number") << Session{{"RadioButton2", "Edit1=ab", "Button2"}} << QByteArray("START=ab TYPE=1");
    QTest::newRow("continue, lower case") << Session{{"RadioButton3", "RadioButton5", "Button2"}}
                                          << QByteArray("CONTINUE TYPE=a");
    QTest::newRow("upper case") << Session{{"RadioButton4", "Button2"}} << QByteArray("START=1 TYPE=A");
    QTest::newRow("standard again") << Session{{"RadioButton6", "RadioButton7", "Button2"}}
                                    << QByteArray("START=1 TYPE=1");
    QTest::newRow("at most 5 characters") << Session{{"RadioButton2", "Edit1=1234567", "Button2"}}
                                          << QByteArray("START=12345 TYPE=1");
    QTest::newRow("number typed but 1から checked") << Session{{"Edit1=9", "Button2"}} << QByteArray("START=1 TYPE=1");
    QTest::newRow("full-width digit in CP932") << Session{{"RadioButton2", "Edit1=５", "Button2"}}
                                               << QByteArray("START=\x82\x54 TYPE=1");
    QTest::newRow("reference past the 5-character limit refused")
        << Session{{"RadioButton2", "Edit1=5한", "Button2"}} << QByteArray("START=5 TYPE=1");
    QTest::newRow("Cancel after OK") << Session{{"Button2"}, {"Button1"}} << QByteArray();
    QTest::newRow("Esc presses Cancel") << Session{{"Button2"}, {"Esc"}} << QByteArray();
    QTest::newRow("close request ignored") << Session{{"RadioButton3", "closeIgnored", "Button2"}}
                                           << QByteArray("CONTINUE TYPE=1");
    QTest::newRow("reopen after OK keeps choices")
        << Session{{"RadioButton2", "Edit1=7", "RadioButton4", "Button2"}, {"Button2"}} << QByteArray("START=7 TYPE=A");
    QTest::newRow("reopen after Cancel keeps choices")
        << Session{{"RadioButton3", "RadioButton6", "Button1"}, {"Button2"}} << QByteArray("CONTINUE TYPE=i");
}

void LayoutDialogTests::orderedListFromSession() {
    QFETCH(Session, session);
    QFETCH(QByteArray, expected);
    std::string OrderedListText;
    vela::TForm14 dialog(OrderedListText);
    QVERIFY(runSession(dialog, session));
    QCOMPARE(QByteArray::fromStdString(OrderedListText), expected);
}

void LayoutDialogTests::numberBoxEnabledState_data() {
    QTest::addColumn<Session>("session");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("first opening") << Session{QStringList()} << true;
    QTest::newRow("1から") << Session{{"RadioButton1"}} << false;
    QTest::newRow("continue") << Session{{"RadioButton3"}} << false;
    QTest::newRow("number again") << Session{{"RadioButton3", "RadioButton2"}} << true;
    QTest::newRow("list mark leaves it") << Session{{"RadioButton1", "RadioButton5"}} << false;
    QTest::newRow("kept after reopening") << Session{{"RadioButton1", "Button2"}, {}} << false;
}

// The last opening's steps run, then the number box is looked at.
void LayoutDialogTests::numberBoxEnabledState() {
    QFETCH(Session, session);
    QFETCH(bool, enabled);
    std::string OrderedListText;
    vela::TForm14 dialog(OrderedListText);
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"));
    QVERIFY(edit);
    QStringList last = session.takeLast();
    QVERIFY(runSession(dialog, session));
    QVERIFY(runModal(dialog, [&] {
        for (const QString& step : last) QVERIFY(act(dialog, step));
        QCOMPARE(edit->isEnabled(), enabled);
        if (last.endsWith(QStringLiteral("RadioButton2"))) QCOMPARE(dialog.focusWidget(), edit);
        act(dialog, "Button1");
    }));
}

QTEST_MAIN(LayoutDialogTests)
#include "tst_layout_dialogs.moc"
