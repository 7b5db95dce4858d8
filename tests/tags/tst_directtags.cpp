// The direct tag commands, chosen from the menu and clicked on the toolbar.
#include "../app/MainWindowFixture.h"

#include "Cp932.h"
#include "TagInsertionEngine.h"

using namespace vela;
using vela::test::MainWindowFixture;

namespace {
// The template with "abc" typed on its empty line, "abc" selected.
const std::string Head = "<HTML>\r\n<HEAD>\r\n";
const std::string Tail = "\r\n</HEAD>\r\n\r\n</HTML>";

void typeAndSelectAbc(MainWindowFixture& w) {
    w.select(16, 0);
    w.form->pane().setSelText("abc");
    w.select(16, 3);
}

Color colorAt(Pane& pane, int pos) {
    pane.setSelStart(pos);
    pane.setSelLength(1);
    return pane.selColor();
}
} // namespace

class DirectTagsTest : public QObject {
    Q_OBJECT

    void addRows() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("button"); // empty: menu only
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("close");
        QTest::addColumn<int>("style");
        const int B = int(FontStyle::Bold), I = int(FontStyle::Italic), U = int(FontStyle::Underline);
        QTest::newRow("title") << "Menu31" << "" << 1 << "<TITLE>" << "</TITLE>" << 0;
        QTest::newRow("comment") << "KC1" << "" << 1 << "<!--" << "-->" << 0;
        QTest::newRow("line break") << "Menu3c" << "SpeedButton15" << 1 << "" << "<BR>" << 0;
        QTest::newRow("paragraph") << "Menu34" << "SpeedButton24" << 1 << "" << "<P>" << 0;
        QTest::newRow("no break") << "MenuNOBR" << "" << 1 << "<NOBR>" << "</NOBR>" << 0;
        QTest::newRow("bold") << "Menu32" << "SpeedButton11" << 1 << "<B>" << "</B>" << B;
        QTest::newRow("italic") << "Menu33" << "SpeedButton12" << 1 << "<I>" << "</I>" << I;
        QTest::newRow("underline") << "MenuU" << "SpeedButton23" << 1 << "<U>" << "</U>" << U;
        QTest::newRow("centre") << "Menu35" << "SpeedButton13" << 1 << "<CENTER>" << "</CENTER>" << 0;
        QTest::newRow("right") << "MenuRight" << "SpeedButton27" << 1 << "<DIV ALIGN=\"RIGHT\">" << "</DIV>" << 0;
        QTest::newRow("preformatted") << "MenuPRE" << "" << 1 << "<PRE>" << "</PRE>" << 0;
        QTest::newRow("clear wrap") << "B1" << "SpeedButton39" << 1 << "" << "<BR CLEAR>" << 0;
        QTest::newRow("form") << "F1" << "" << 1 << "<FORM>" << "</FORM>" << 0;
        QTest::newRow("select") << "S3" << "" << 1 << "<SELECT>" << "</SELECT>" << 0;
        QTest::newRow("bulleted list") << "KU1" << "SpeedButton33" << 2 << "<UL>" << "</UL>" << 0;
        QTest::newRow("list item") << "KL3" << "SpeedButton35" << 2 << "<LI>" << "" << 0;
        QTest::newRow("rule") << "Menu3d" << "SpeedButton18" << 1 << "" << "<HR>" << 0;
    }

    /// Runs the command by its menu entry, or by its button when `viaButton`.
    void run(MainWindowFixture& w, const QString& entry, const QString& button, int page, bool viaButton) {
        if (viaButton)
            w.clickButton(button, page);
        else
            w.chooseMenuEntry(entry.toStdString());
    }

private slots:
    void testCommand_data() {
        addRows();
    }
    void testCommand() {
        QFETCH(QString, entry);
        QFETCH(QString, button);
        QFETCH(int, page);
        QFETCH(QString, open);
        QFETCH(QString, close);
        QFETCH(int, style);
        const std::string openText = open.toStdString(), closeText = close.toStdString();
        const std::string expected = Head + openText + "abc" + closeText + Tail;

        for (const bool viaButton : {false, true}) {
            if (viaButton && button.isEmpty()) continue;
            MainWindowFixture w;
            typeAndSelectAbc(w);
            run(w, entry, button, page, viaButton);
            Pane& pane = w.form->pane();
            QCOMPARE(pane.text(), expected);
            const int enclosed = 16 + int(openText.size());
            QCOMPARE(pane.selStart(), enclosed);
            QCOMPARE(pane.selLength(), 3);
            QCOMPARE(int(pane.selStyle()), style);
            const PendingTagState& tag = w.form->state().PendingTag;
            QCOMPARE(tag.Bold + tag.Italic + tag.Underline + tag.NoReselect + tag.UseYellow, 0);
            if (!openText.empty()) QCOMPARE(colorAt(pane, 16), TagCyan);
            if (!closeText.empty()) QCOMPARE(colorAt(pane, enclosed + 3), TagCyan);
        }
    }

    void testLineBreakPreference_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("tag");
        QTest::newRow("line break") << "Menu3c" << "SpeedButton15" << "<BR>";
        QTest::newRow("paragraph") << "Menu34" << "SpeedButton24" << "<P>";
        QTest::newRow("clear wrap") << "B1" << "SpeedButton39" << "<BR CLEAR>";
    }
    void testLineBreakPreference() {
        QFETCH(QString, entry);
        QFETCH(QString, button);
        QFETCH(QString, tag);
        for (const bool viaButton : {false, true}) {
            MainWindowFixture w("[SW]\r\nSTI1=1\r\n");
            typeAndSelectAbc(w);
            run(w, entry, button, 1, viaButton);
            const std::string closeText = tag.toStdString() + "\r\n";
            Pane& pane = w.form->pane();
            QCOMPARE(pane.text(), Head + "abc" + closeText + Tail);
            QCOMPARE(pane.selStart(), 19 + int(closeText.size()));
            QCOMPARE(pane.selLength(), 0);
            QCOMPARE(w.form->state().PendingTag.NoReselect, 0);
            // No preview ran: the default attributes were left alone.
            QCOMPARE(pane.defaultColor(), StructureYellow);
        }
    }

    void testPreferenceValueTwoIsOff() {
        MainWindowFixture w("[SW]\r\nSTI1=2\r\n");
        typeAndSelectAbc(w);
        w.chooseMenuEntry("Menu34");
        QCOMPARE(w.form->pane().text(), Head + "abc<P>" + Tail);
        QCOMPARE(w.form->pane().selLength(), 3);
    }

    void testListItemAtCaret() {
        MainWindowFixture w;
        w.clickButton("SpeedButton35", 2);
        QCOMPARE(w.form->pane().text(), Head + "<LI>" + Tail);
        QCOMPARE(w.form->pane().selStart(), 20);
        QCOMPARE(w.form->pane().selLength(), 0);
    }
};

QTEST_MAIN(DirectTagsTest)
#include "tst_directtags.moc"
