// The frame dialogs driven as a user drives them: ticking the split boxes,
// stepping the up-down and the scroll bar, typing into the frame boxes while
// the URL poll runs, OK, キャンセル, Esc and the window manager's close.

#include "Cp932.h"
#include "TForm12.h"
#include "TForm13.h"
#include "ScriptedServices.h"
#include "TestSupport.h"
#include "UserActions.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>


#include "ScriptedDialogRun.h"

using namespace vela;

namespace {

using test::control;
using test::runModal;

// Plays a split script: 1 and 2 click the check boxes, u and d the up-down's
// arrows, l and r the scroll bar's arrows.
void playSplit(QDialog& dialog, const QString& script) {
    auto* scrollBar = control<QScrollBar>(dialog, "ScrollBar1");
    auto* upDown = control<QWidget>(dialog, "UpDown1");
    for (QChar step : script) {
        switch (step.unicode()) {
        case '1': user::click(dialog, "CheckBox1"); break;
        case '2': user::click(dialog, "CheckBox2"); break;
        case 'u': QTest::mouseClick(control<QToolButton>(*upDown, "up"), Qt::LeftButton); break;
        case 'd': QTest::mouseClick(control<QToolButton>(*upDown, "down"), Qt::LeftButton); break;
        case 'l': QTest::mouseClick(scrollBar, Qt::LeftButton, {}, QPoint(2, scrollBar->height() / 2)); break;
        case 'r':
            QTest::mouseClick(scrollBar, Qt::LeftButton, {}, QPoint(scrollBar->width() - 3, scrollBar->height() / 2));
            break;
        }
    }
}

// Results compared as byte arrays, so a failure prints both values.
QByteArray bytes(const std::string& text) { return QByteArray::fromStdString(text); }
QByteArray inCp932(const QString& utf8Literal) { return bytes(cp932::fromUtf8(utf8Literal.toStdString())); }

const QString kTenNinety = QStringLiteral("10%,90%");

} // namespace

class TestFrameDialogs : public QObject {
    Q_OBJECT
private slots:
    void splitOkComposesFromTheLabels_data();
    void splitOkComposesFromTheLabels();
    void splitCheckBoxesEnableTheirGroups();
    void splitCancelMarksAndTheNextOkReplacesTheMarker();
    void frameOkComposesTheTag_data();
    void frameOkComposesTheTag();
    void frameReopensWithEmptyBoxesAndTheLastChoices();
    void frameOkFollowsTheUrlBoxWithinASecond();
};

void TestFrameDialogs::splitOkComposesFromTheLabels_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("cols");
    QTest::addColumn<QString>("rows");

    QTest::newRow("neither ticked") << "" << "" << "";
    QTest::newRow("upper/lower ticked, nothing moved") << "1" << "COLS=\"" + kTenNinety + "\"" << "";
    QTest::newRow("both ticked, nothing moved") << "12" << "COLS=\"" + kTenNinety + "\"" << "ROWS=\"" + kTenNinety + "\"";
    QTest::newRow("ticked twice") << "1d1" << "" << "";
    QTest::newRow("first up-down step down") << "1d" << R"(COLS="85%,15%")" << "";
    QTest::newRow("up-down up at its top") << "1u" << R"(COLS="90%,10%")" << "";
    QTest::newRow("up-down past its bottom") << "1" + QString(17, 'd') << "COLS=\"" + kTenNinety + "\"" << "";
    QTest::newRow("up-down down and up") << "1ddu" << R"(COLS="85%,15%")" << "";
    QTest::newRow("first scroll step right") << "2r" << "" << R"(ROWS="85%,15%")";
    QTest::newRow("scroll left at its left end") << "2l" << "" << "ROWS=\"" + kTenNinety + "\"";
    QTest::newRow("scroll right and back") << "2rl" << "" << R"(ROWS="90%,10%")";
    QTest::newRow("scroll past its right end") << "2" + QString(17, 'r') << "" << "ROWS=\"" + kTenNinety + "\"";
    QTest::newRow("both moved") << "12dr" << R"(COLS="85%,15%")" << R"(ROWS="85%,15%")";
}

void TestFrameDialogs::splitOkComposesFromTheLabels() {
    QFETCH(QString, script);
    QFETCH(QString, cols);
    QFETCH(QString, rows);
    std::string colsText = "old", rowsText = "old";
    TForm12 dialog(colsText, rowsText);
    runModal(dialog, [&](QDialog&) {
        playSplit(dialog, script);
        user::click(dialog, "Button1");
    });
    QCOMPARE(bytes(colsText), inCp932(cols));
    QCOMPARE(bytes(rowsText), inCp932(rows));
}

void TestFrameDialogs::splitCheckBoxesEnableTheirGroups() {
    std::string colsText, rowsText;
    TForm12 dialog(colsText, rowsText);
    const QStringList upperLower{"UpDown1", "Label2", "Label5"};
    const QStringList leftRight{"ScrollBar1", "Label8", "Label11"};
    auto enabled = [&](const QStringList& names) {
        QList<bool> states;
        for (const QString& name : names) states << control<QWidget>(dialog, name)->isEnabled();
        return states;
    };
    const QList<bool> on{true, true, true}, off{false, false, false};
    runModal(dialog, [&](QDialog&) {
        QCOMPARE(enabled(upperLower), off);
        QCOMPARE(enabled(leftRight), off);
        playSplit(dialog, "1");
        QCOMPARE(enabled(upperLower), on);
        QCOMPARE(enabled(leftRight), off);
        playSplit(dialog, "21");
        QCOMPARE(enabled(upperLower), off);
        QCOMPARE(enabled(leftRight), on);
        user::click(dialog, "Button2");
    });
}

void TestFrameDialogs::splitCancelMarksAndTheNextOkReplacesTheMarker() {
    std::string colsText, rowsText;
    TForm12 dialog(colsText, rowsText);
    runModal(dialog, [&](QDialog&) {
        playSplit(dialog, "12dr");
        user::click(dialog, "Button2");
    });
    QCOMPARE(bytes(colsText), QByteArray("C"));
    QVERIFY(rowsText.empty());

    // Ticks, positions and labels all survive the Cancel.
    runModal(dialog, [&](QDialog&) {
        playSplit(dialog, "dr");
        user::pressEscape(dialog);
    });
    QCOMPARE(bytes(colsText), QByteArray("C"));

    runModal(dialog, [&](QDialog&) {
        user::closeByCloseBox(dialog);
        QVERIFY(dialog.isVisible());
        user::click(dialog, "Button1");
    });
    QCOMPARE(bytes(colsText), QByteArray(R"(COLS="80%,20%")"));
    QCOMPARE(bytes(rowsText), QByteArray(R"(ROWS="80%,20%")"));
}

void TestFrameDialogs::frameOkComposesTheTag_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("scrolling"); // radio button to click, or none
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("url only, defaults") << "" << "a.htm" << "" << false << R"(<FRAME SRC="a.htm" SCROLLING="AUTO" RESIZE>)";
    QTest::newRow("named, no scroll bars, fixed")
        << "main" << "a.htm" << "RadioButton3" << true << R"(<FRAME SRC="a.htm" NAME="main" SCROLLING="NO" NORESIZE>)";
    QTest::newRow("scroll bars always") << "" << "b.htm" << "RadioButton1" << false << R"(<FRAME SRC="b.htm" SCROLLING="YES" RESIZE>)";
    QTest::newRow("Japanese names")
        << "目次" << "目次.htm" << "RadioButton2" << false << R"(<FRAME SRC="目次.htm" NAME="目次" SCROLLING="AUTO" RESIZE>)";
}

void TestFrameDialogs::frameOkComposesTheTag() {
    QFETCH(QString, name);
    QFETCH(QString, url);
    QFETCH(QString, scrolling);
    QFETCH(bool, fixed);
    QFETCH(QString, expected);
    std::string frameTag;
    TForm13 dialog(frameTag);
    runModal(dialog, [&](QDialog&) {
        // The name box has the focus at opening.
        QCOMPARE(dialog.focusWidget(), control<QWidget>(dialog, "Edit1"));
        user::typeInto(dialog, "Edit1", name);
        user::typeInto(dialog, "Edit2", url);
        if (!scrolling.isEmpty()) user::click(dialog, scrolling);
        if (fixed) user::click(dialog, "CheckBox1");
        QTRY_VERIFY_WITH_TIMEOUT(control<QPushButton>(dialog, "Button1")->isEnabled(), 2500);
        user::click(dialog, "Button1");
    });
    QCOMPARE(bytes(frameTag), inCp932(expected));
}

void TestFrameDialogs::frameReopensWithEmptyBoxesAndTheLastChoices() {
    std::string frameTag;
    TForm13 dialog(frameTag);
    auto* ok = control<QPushButton>(dialog, "Button1");
    runModal(dialog, [&](QDialog&) {
        user::typeInto(dialog, "Edit1", "main");
        user::typeInto(dialog, "Edit2", "a.htm");
        user::click(dialog, "RadioButton3");
        user::click(dialog, "CheckBox1");
        user::click(dialog, "Button1");
    });
    runModal(dialog, [&](QDialog&) {
        QCOMPARE(control<QLineEdit>(dialog, "Edit1")->text(), QString());
        QCOMPARE(control<QLineEdit>(dialog, "Edit2")->text(), QString());
        user::closeByCloseBox(dialog);
        QVERIFY(dialog.isVisible());
        user::typeInto(dialog, "Edit2", "b.htm");
        QTRY_VERIFY_WITH_TIMEOUT(ok->isEnabled(), 2500);
        user::click(dialog, "Button1");
    });
    QCOMPARE(bytes(frameTag), QByteArray(R"(<FRAME SRC="b.htm" SCROLLING="NO" NORESIZE>)"));
}

void TestFrameDialogs::frameOkFollowsTheUrlBoxWithinASecond() {
    std::string frameTag = "old";
    TForm13 dialog(frameTag);
    auto* ok = control<QPushButton>(dialog, "Button1");
    runModal(dialog, [&](QDialog&) {
        QTRY_VERIFY_WITH_TIMEOUT(!ok->isEnabled(), 1500);
        user::typeInto(dialog, "Edit2", "a");
        QTRY_VERIFY_WITH_TIMEOUT(ok->isEnabled(), 1500);
        QTest::keyClick(control<QLineEdit>(dialog, "Edit2"), Qt::Key_Backspace);
        QTRY_VERIFY_WITH_TIMEOUT(!ok->isEnabled(), 1500);
        user::typeInto(dialog, "Edit2", "a.htm");
        // Just after a poll that saw the URL: the next one is a second away.
        QTRY_VERIFY_WITH_TIMEOUT(ok->isEnabled(), 1500);
        user::pressEscape(dialog);
    });
    QVERIFY(frameTag.empty());

    // Reopened at once: the URL box is empty, but OK stays enabled until the next poll.
    runModal(dialog, [&](QDialog&) {
        QCOMPARE(control<QLineEdit>(dialog, "Edit2")->text(), QString());
        QVERIFY(ok->isEnabled());
        user::click(dialog, "Button1");
    });
    QCOMPARE(bytes(frameTag), QByteArray(R"(<FRAME SRC="" SCROLLING="AUTO" RESIZE>)"));
}

QTEST_MAIN(TestFrameDialogs)
#include "tst_frame_dialogs.moc"
