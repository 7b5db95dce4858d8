// Refresh and reset tag, chosen from the Edit menu, checked byte by byte
// against the step-by-step selection walk that defines the refresh.
#include "MainWindowFixture.h"

#include "Cp932.h"
#include "TagInsertionEngine.h"
#include "TagRecolouring.h"

using namespace vela;
using vela::test::MainWindowFixture;

namespace {

std::string sj(const QString& text) { return cp932::fromUtf8(text.toStdString()); }

/// One byte's look: its own colour (0 = none of its own) and its style and size.
struct ByteLook {
    Color color;
    bool bold, italic, underline;
    int halfPoints;
    bool operator==(const ByteLook&) const = default;
};

std::vector<ByteLook> looks(const rtf::RunList& runs) {
    std::vector<ByteLook> out;
    for (const auto& run : runs) {
        const ByteLook look{run.format.color.value_or(0), run.format.bold, run.format.italic, run.format.underline,
                            run.format.halfPoints.value_or(0)};
        out.insert(out.end(), run.text.size(), look);
    }
    return out;
}

/// Colours as a run-length string: Y yellow, C cyan, W white, . none of its own, ? other.
QString colourCode(const rtf::RunList& runs) {
    QString code;
    QChar last;
    int count = 0;
    auto flush = [&] {
        if (count) code += last + QString::number(count);
    };
    for (const ByteLook& look : looks(runs)) {
        const QChar c = look.color == StructureYellow ? 'Y'
                        : look.color == TagCyan       ? 'C'
                        : look.color == TextWhite     ? 'W'
                        : look.color == 0             ? '.'
                                                      : '?';
        if (c != last) {
            flush();
            last = c;
            count = 0;
        }
        ++count;
    }
    flush();
    return code;
}

/// The refresh as its definition walks it: select, read the rest afresh from
/// the pane, colour, move on. Where the walk would never end (no "<", or a "<"
/// without ">") the rest is white text.
void walkRefresh(Pane& p) {
    p.setSelStart(0);
    p.setSelLength(p.textLength());
    std::string t = p.selText();
    int length = int(t.size());
    int start = 0;
    p.setSelStart(0);
    while (t.size() > 2) {
        const auto open = t.find('<');
        if (open == std::string::npos) {
            p.setSelStart(start);
            p.setSelLength(length);
            p.setSelColor(TextWhite);
            break;
        }
        p.setSelStart(start);
        p.setSelLength(int(open));
        if (open > 0) p.setSelColor(TextWhite);
        length -= int(open);
        start += int(open);
        p.setSelStart(start);
        p.setSelLength(length);
        t = p.selText();
        const auto close = t.find('>');
        if (close == std::string::npos) {
            p.setSelColor(TextWhite);
            break;
        }
        p.setSelStart(start);
        p.setSelLength(int(close) + 1);
        const std::string tag = p.selText();
        const bool structure = tag.find("HTML") != std::string::npos || tag.find("HEAD") != std::string::npos ||
                               tag.find("BODY") != std::string::npos;
        p.setSelColor(structure ? StructureYellow : TagCyan);
        length -= int(close) + 1;
        start += int(close) + 1;
        p.setSelStart(start);
        p.setSelLength(length);
        t = p.selText();
    }
    p.setSelStart(0);
}

/// First byte where the two looks differ, or -1.
int firstDifference(const std::vector<ByteLook>& a, const std::vector<ByteLook>& b) {
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (!(a[i] == b[i])) return int(i);
    return a.size() == b.size() ? -1 : int(std::min(a.size(), b.size()));
}

/// A page of `tags` tag pairs with Japanese words between them.
QString manyTags(int tags) {
    QString page = "<HTML>\r\n<BODY BGCOLOR=\"#000000\">\r\n";
    for (int i = 0; i < tags; ++i) page += QString::fromUtf8("<P>日本語%1の<B>文章</B>ｶﾅ\r\n").arg(i);
    return page + "</BODY>\r\n</HTML>\r\n";
}

} // namespace

class RecolouringTest : public QObject {
    Q_OBJECT

private slots:
    void testRefreshMatchesTheWalk_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("styledFrom"); // bytes given bold, 14 points and red before the refresh
        QTest::addColumn<int>("styledTo");
        QTest::addColumn<QString>("colours"); // expected, run-length; empty: only compared with the walk
        const QString tmpl = "<HTML>\r\n<HEAD>\r\n\r\n</HEAD>\r\n\r\n</HTML>";
        QTest::newRow("template") << tmpl << 0 << 0 << "Y6W2Y6W4Y7W4Y7";
        QTest::newRow("bold word") << "<B>word</B>" << 3 << 7 << "C3W4C4";
        QTest::newRow("body with attributes")
            << "<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\">x</BODY>" << 0 << 0 << "Y39W1Y7";
        QTest::newRow("head inside a link") << "<A HREF=\"HEAD.htm\">top</A>" << 0 << 0 << "Y19W3C4";
        QTest::newRow("small letters are ordinary") << "<html>x</html>" << 0 << 0 << "C6W1C7";
        QTest::newRow("two characters") << "<B" << 0 << 0 << ".2";
        QTest::newRow("two bytes of Japanese") << QString::fromUtf8("日") << 0 << 0 << ".2";
        QTest::newRow("text before the first tag") << "Hello <P>" << 0 << 2 << "W6C3";
        QTest::newRow("final line break keeps its colour") << "<P>\r\n" << 0 << 0 << "C3.2";
        QTest::newRow("japanese between tags")
            << QString::fromUtf8("<P>日本語ｶﾅ</P>\r\n<H1>見出し</H1>") << 5 << 9 << "C3W8C4W2C4W6C5";
        QTest::newRow("styles survive") << "<I>abc</I>def<U>g</U>" << 1 << 12 << "C3W3C4W3C3W1C4";
        QTest::newRow("blank lines after the end") << "<HTML></HTML>\r\n\r\n" << 0 << 0 << "Y13W4";
        QTest::newRow("unfinished last tag") << "<B>x</B> and <I then" << 0 << 0 << "C3W1C4W12";
        QTest::newRow("no tag at all") << "plain text" << 2 << 5 << "W10";
        QTest::newRow("many tags, rebuilt") << manyTags(100) << 40 << 400 << "";
    }
    void testRefreshMatchesTheWalk() {
        QFETCH(QString, text);
        QFETCH(int, styledFrom);
        QFETCH(int, styledTo);
        QFETCH(QString, colours);

        MainWindowFixture w;
        Pane& pane = w.form->pane();
        Pane reference;
        for (Pane* p : {&pane, &reference}) {
            p->clear();
            p->setSelText(sj(text));
            p->setSelStart(styledFrom);
            p->setSelLength(styledTo - styledFrom);
            if (styledTo > styledFrom) {
                p->setSelStyle(FontStyle::Bold);
                p->setSelSize(14);
                p->setSelColor(0x0000FF);
            }
            p->setModified(false);
        }
        w.select(5, 0);
        w.chooseMenuEntry("R1");
        walkRefresh(reference);

        const int diff = firstDifference(looks(pane.runs()), looks(reference.runs()));
        QVERIFY2(diff < 0, qPrintable(QString("byte %1 differs from the walk").arg(diff)));
        QCOMPARE(pane.text(), sj(text));
        if (!colours.isEmpty()) QCOMPARE(colourCode(pane.runs()), colours);
        QCOMPARE(pane.selStart(), 0);
        QCOMPARE(pane.selLength(), 0);
        QCOMPARE(pane.modified(), pane.textLength() > 2);
    }

    void testRefreshTouchesOnlyWrongColoursAfterHandTyping() {
        // Refreshed once, then a tag typed by hand in white: both paths of the refresh agree with the walk.
        MainWindowFixture w;
        Pane& pane = w.form->pane();
        Pane reference;
        for (Pane* p : {&pane, &reference}) {
            p->clear();
            p->setSelText(sj(manyTags(80)));
            walkRefresh(*p);
            p->setSelStart(37);
            p->setSelColor(TextWhite);
            p->setSelText(sj(QString::fromUtf8("<FONT SIZE=3>字</FONT>")));
        }
        w.chooseMenuEntry("R1");
        walkRefresh(reference);
        QCOMPARE(firstDifference(looks(pane.runs()), looks(reference.runs())), -1);
    }

    void testResetTag_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<QString>("colours"); // of the whole text afterwards
        QTest::addColumn<int>("tagStart");    // the selection afterwards
        QTest::addColumn<int>("tagLength");
        // Before the command every byte is bold, 20 points and red.
        QTest::newRow("text then tag") << "ab<B>cd" << 0 << 5 << "W2C3?2" << 2 << 3;
        QTest::newRow("two tags, the first one reset") << "<B>x</B>" << 0 << 8 << "C3W5" << 0 << 3;
        QTest::newRow("structure tag") << "x<BODY TEXT=\"#FFFFFF\">" << 0 << 22 << "W1Y21" << 1 << 21;
        QTest::newRow("closing bracket first") << "a>b<c" << 0 << 5 << "W5" << 0 << 5;
        QTest::newRow("japanese before the tag")
            << QString::fromUtf8("日本<I>") << 0 << 7 << "W4C3" << 4 << 3;
    }
    void testResetTag() {
        QFETCH(QString, text);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(QString, colours);
        QFETCH(int, tagStart);
        QFETCH(int, tagLength);

        MainWindowFixture w;
        Pane& pane = w.form->pane();
        pane.clear();
        pane.setSelText(sj(text));
        w.select(0, pane.textLength());
        pane.setSelStyle(FontStyle::Bold);
        pane.setSelSize(20);
        pane.setSelColor(0x0000FF);
        pane.setModified(false);
        w.select(selStart, selLength);
        QTRY_VERIFY(w.form->commandAction("KD1")->isEnabled());
        w.form->commandAction("KD1")->trigger();

        QCOMPARE(colourCode(pane.runs()), colours);
        QCOMPARE(pane.selStart(), tagStart);
        QCOMPARE(pane.selLength(), tagLength);
        QVERIFY(pane.modified());
        const std::vector<ByteLook> after = looks(pane.runs());
        const bool tagFound = colours.contains('C') || colours.contains('Y');
        for (int i = 0; i < int(after.size()); ++i) {
            const bool inTag = tagFound && i >= tagStart && i < tagStart + tagLength;
            QCOMPARE(after[i].bold, !inTag);
            QCOMPARE(after[i].halfPoints, inTag ? 2 * NormalPointSize : 40);
        }
    }
};

QTEST_MAIN(RecolouringTest)
#include "tst_recolouring.moc"
