// The Search menu: the find dialog, find next, and the byte search under them.
#include "MainWindowFixture.h"

#include "Cp932.h"
#include "FindDialog.h"
#include "FindText.h"
#include "UserActions.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace vela;
using vela::test::MainWindowFixture;

namespace {
std::string sj(const QString& text) { return cp932::fromUtf8(text.toStdString()); }

const char* const NotFound = "検索文字列が見つかりません";

QDialog& findDialog(MainWindowFixture& w) { return *w.form->findChild<QDialog*>("FindDialog1"); }

/// A window whose pane holds `text`, the caret at `caret`.
void setText(MainWindowFixture& w, const QString& text, int caret = 0) {
    w.form->pane().clear();
    w.form->pane().setSelText(sj(text));
    w.select(caret, 0);
}

/// Opens the find dialog from the menu and types the search text and options into it.
void openFind(MainWindowFixture& w, const QString& text, bool down = true, bool matchCase = false) {
    w.chooseMenuEntry("Memo41");
    QDialog& dialog = findDialog(w);
    QVERIFY(dialog.isVisible());
    user::replaceText(dialog, "FindWhat", text);
    user::setChecked(dialog, "MatchCase", matchCase);
    user::click(dialog, down ? "DirectionDown" : "DirectionUp");
}

QPair<int, int> selection(MainWindowFixture& w) { return {w.form->pane().selStart(), w.form->pane().selLength()}; }
} // namespace

class FindTest : public QObject {
    Q_OBJECT

private slots:
    void testSearchBuffer_data() {
        QTest::addColumn<QString>("buffer");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("down");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<int>("found"); // -1: none
        QTest::newRow("forward from the caret") << "xxabxxab" << 0 << 0 << "ab" << true << false << 2;
        QTest::newRow("forward after the selection") << "xxabxxab" << 2 << 2 << "ab" << true << false << 6;
        QTest::newRow("run of four letters, first") << "aaaa" << 0 << 0 << "aa" << true << false << 0;
        QTest::newRow("run of four letters, second") << "aaaa" << 0 << 2 << "aa" << true << false << 2;
        QTest::newRow("run of four letters, none left") << "aaaa" << 2 << 2 << "aa" << true << false << -1;
        QTest::newRow("backward nearest") << "ab ab ab" << 6 << 2 << "ab" << false << false << 3;
        QTest::newRow("backward skips an overlap") << "abcab" << 4 << 1 << "ab" << false << false << 0;
        QTest::newRow("backward at the start") << "ab" << 1 << 0 << "ab" << false << false << -1;
        QTest::newRow("small finds capitals") << "The WORD" << 0 << 0 << "word" << true << false << 4;
        QTest::newRow("match case refuses capitals") << "The WORD" << 0 << 0 << "word" << true << true << -1;
        QTest::newRow("longer than what remains") << "abcdef" << 3 << 0 << "defg" << true << false << -1;
        QTest::newRow("longer than the text") << "ab" << 0 << 0 << "abc" << true << false << -1;
        // 頁 is 0x95 0xC5 and ・ 0x81 0x45 ('E' as trail byte); 表 is 0x95 0x5C ('\\').
        QTest::newRow("no match on a trail byte") << QString::fromUtf8("・e") << 0 << 0 << "E" << true << false << 2;
        QTest::newRow("trail byte not folded") << QString::fromUtf8("・") << 0 << 0 << "e" << true << false << -1;
        QTest::newRow("backslash inside a kanji") << QString::fromUtf8("表\\") << 0 << 0 << "\\" << true << false << 2;
        QTest::newRow("backward over kanji") << QString::fromUtf8("表\\表") << 5 << 0 << "\\" << false << false << 2;
        QTest::newRow("japanese word") << QString::fromUtf8("日本語と日本") << 1 << 0 << QString::fromUtf8("日本")
                                       << true << false << 8;
        QTest::newRow("full-width letters keep their case")
            << QString::fromUtf8("ａｂ") << 0 << 0 << QString::fromUtf8("Ａ") << true << false << -1;
        QTest::newRow("half-width katakana") << QString::fromUtf8("ｱｲｳ") << 0 << 0 << QString::fromUtf8("ｲ") << true
                                             << false << 1;
    }
    void testSearchBuffer() {
        QFETCH(QString, buffer);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(QString, text);
        QFETCH(bool, down);
        QFETCH(bool, matchCase);
        QFETCH(int, found);
        const auto result = SearchBuffer(sj(buffer), std::size_t(selStart), std::size_t(selLength), sj(text),
                                         FindOptions{down, matchCase});
        QCOMPARE(result ? int(*result) : -1, found);
    }

    void testFindNextWalksAllOccurrences() {
        MainWindowFixture w;
        setText(w, QString::fromUtf8("<B>日本</B>\r\n<b>x</b>\r\n<B>"));
        openFind(w, "<b>");
        for (const int expected : {0, 13, 23}) {
            user::click(findDialog(w), "FindNext");
            QCOMPARE(selection(w), qMakePair(expected, 3));
        }
        w.services.expectMessageBox(MessageAnswer::Ok, std::string("確認"), std::string(NotFound));
        user::click(findDialog(w), "FindNext");
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.services.messageBoxes().back().buttons, MessageButtons::Ok);
        QCOMPARE(selection(w), qMakePair(23, 3)); // unchanged by the miss

        // Backwards with match case, from the last match: the capitals at 0 no longer match.
        user::setChecked(findDialog(w), "MatchCase", true);
        user::click(findDialog(w), "DirectionUp");
        user::click(findDialog(w), "FindNext");
        QCOMPARE(selection(w), qMakePair(13, 3));
        w.services.expectMessageBox(MessageAnswer::Ok, std::string("確認"), std::string(NotFound));
        user::click(findDialog(w), "FindNext");
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(selection(w), qMakePair(13, 3));
    }

    void testFindSeesTextTypedSinceTheLastFind() {
        // The text (and its folded copy) are kept between finds; every kind of
        // change must drop them, or a find would select stale offsets.
        MainWindowFixture w;
        setText(w, "abc abc");
        openFind(w, "ABC");
        user::click(findDialog(w), "FindNext");
        QCOMPARE(selection(w), qMakePair(0, 3));
        w.select(0, 0);
        QTest::keyClicks(w.form->pane().widget(), "xy");      // typed
        w.form->pane().setSelStart(w.form->pane().textLength());
        w.form->pane().setSelText(sj(QString::fromUtf8("日本abc"))); // inserted by a command
        w.select(0, 0);
        for (const int expected : {2, 6, 13}) {
            user::click(findDialog(w), "FindNext");
            QCOMPARE(selection(w), qMakePair(expected, 3));
        }
        w.form->pane().setRuns({{sj("__abc"), {}}});              // a whole new document
        w.select(0, 0);
        user::click(findDialog(w), "FindNext");
        QCOMPARE(selection(w), qMakePair(2, 3));
    }

    void testMenu42RepeatsTheLastSearch() {
        MainWindowFixture w;
        setText(w, "one two one two");
        // Nothing typed yet: the menu offers no repeat.
        w.openAndCloseMenu("Menu40");
        QVERIFY(!w.form->commandAction("Menu42")->isEnabled());
        openFind(w, "TWO");
        findDialog(w).close();
        w.openAndCloseMenu("Menu40");
        w.chooseMenuEntry("Menu42");
        QCOMPARE(selection(w), qMakePair(4, 3));
        w.chooseMenuEntry("Menu42");
        QCOMPARE(selection(w), qMakePair(12, 3));
        QVERIFY(w.form->pane().widget()->hasFocus() || !w.form->isActiveWindow());
    }

    void testMatchPastSixtyFourKilobytes() {
        MainWindowFixture w;
        QString page;
        while (page.size() < 70000) page += QString::fromUtf8("<P>日本語の文章 text\r\n");
        page += "needle";
        setText(w, page, 0);
        openFind(w, "NEEDLE");
        user::click(findDialog(w), "FindNext");
        const int expected = w.form->pane().textLength() - 6;
        QVERIFY(expected > 65536);
        QCOMPARE(selection(w), qMakePair(expected, 6));
    }

    void testDialogPresetsAndRefusals() {
        MainWindowFixture w;
        w.chooseMenuEntry("Memo41");
        QDialog& dialog = findDialog(w);
        QVERIFY(!dialog.isModal());
        QVERIFY(dialog.findChild<QRadioButton*>("DirectionDown")->isChecked());
        QVERIFY(!dialog.findChild<QCheckBox*>("MatchCase")->isChecked());
        QVERIFY(!dialog.findChild<QPushButton*>("FindNext")->isEnabled());
        // A character code page 932 cannot hold is typed as the reference the page holds for it.
        user::typeInto(dialog, "FindWhat", QString::fromUtf8("日") + QChar(0x00E9) + "x");
        QCOMPARE(dialog.findChild<QLineEdit*>("FindWhat")->text(), QString::fromUtf8("日&#xE9;x"));
        QVERIFY(dialog.findChild<QPushButton*>("FindNext")->isEnabled());
        user::click(dialog, "Cancel");
        QVERIFY(!dialog.isVisible());
        // The dialog keeps its text for the next opening.
        w.chooseMenuEntry("Memo41");
        QCOMPARE(dialog.findChild<QLineEdit*>("FindWhat")->text(), QString::fromUtf8("日&#xE9;x"));
    }
};

QTEST_MAIN(FindTest)
#include "tst_find.moc"
