// Selection and default attributes, the modified flag and the run list.

#include "Pane.h"
#include "PaneTestUtil.h"
#include "TestSupport.h"

#include <QInputMethodEvent>
#include <QPlainTextEdit>

using namespace vela;
using vela::test::sj;

namespace {
constexpr Color kCyan = 0xFFFF00;
constexpr Color kYellow = 0x00FFFF;
constexpr Color kWhite = 0xFFFFFF;

void select(Pane& pane, int start, int length) {
    pane.setSelStart(start);
    pane.setSelLength(length);
}

// What an input method sends: uncommitted text shown (empty: cleared), and a commit.
void composition(Pane& pane, const QString& shown, const QList<QInputMethodEvent::Attribute>& attributes = {},
                 const QString& commit = {}) {
    QInputMethodEvent event(shown, attributes);
    if (!commit.isEmpty()) event.setCommitString(commit);
    QCoreApplication::sendEvent(pane.widget(), &event);
}
} // namespace

class TestPaneAttributes : public QObject {
    Q_OBJECT
private slots:
    void freshPaneShowsDefaults() {
        Pane pane;
        QCOMPARE(pane.defaultColor(), kWhite);
        QCOMPARE(pane.defaultSize(), 10);
        QCOMPARE(pane.defaultFontName(), std::string("ＭＳ ゴシック"));
        QCOMPARE(pane.defaultStyle(), FontStyle::None);
        QCOMPARE(pane.selColor(), kWhite);
        QCOMPARE(pane.selSize(), 10);
        QVERIFY(!pane.modified());
    }

    // The SetSelText sequence of the tag engine: set the caret's colour,
    // insert, set it again, insert again.
    void emptySelectionSetsNextInsertion() {
        Pane pane;
        pane.setSelText("abc");
        select(pane, 1, 0);
        pane.setSelColor(kCyan);
        QCOMPARE(pane.selColor(), kCyan);
        pane.setSelText("<B>");
        pane.setSelColor(kWhite);
        pane.setSelText("x");
        QCOMPARE(pane.text(), std::string("a<B>xbc"));
        select(pane, 1, 3);
        QCOMPARE(pane.selColor(), kCyan);
        select(pane, 4, 1);
        QCOMPARE(pane.selColor(), kWhite);
        select(pane, 5, 2);
        QCOMPARE(pane.selColor(), kWhite); // "bc" has no colour of its own
    }

    void mixedSelectionReportsItsStart_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<Color>("color");
        QTest::addColumn<int>("size");
        QTest::newRow("starts in cyan") << 0 << kCyan << 20;
        QTest::newRow("starts in plain") << 2 << kWhite << 10;
        QTest::newRow("starts in yellow on next line") << 6 << kYellow << 10;
    }
    void mixedSelectionReportsItsStart() {
        QFETCH(int, start);
        QFETCH(Color, color);
        QFETCH(int, size);
        Pane pane;
        pane.setSelText("abcd\r\nef");
        select(pane, 0, 2);
        pane.setSelColor(kCyan);
        pane.setSelSize(20);
        select(pane, 6, 2);
        pane.setSelColor(kYellow);
        select(pane, start, 8 - start);
        QCOMPARE(pane.selColor(), color);
        QCOMPARE(pane.selSize(), size);
    }

    void stylesAddUp() {
        Pane pane;
        pane.setSelText(sj("太字下線"));
        select(pane, 0, 8);
        pane.setSelStyle(FontStyle::Bold);
        pane.setSelStyle(pane.selStyle() | FontStyle::Underline);
        QCOMPARE(pane.selStyle(), FontStyle::Bold | FontStyle::Underline);
        pane.setSelFontName("IPAGothic");
        QCOMPARE(pane.selFontName(), std::string("IPAGothic"));
        select(pane, 2, 0);
        pane.setSelStyle(FontStyle::None);
        pane.setSelText("z");
        select(pane, 2, 1);
        QCOMPARE(pane.selStyle(), FontStyle::None);
        QCOMPARE(pane.selFontName(), std::string("IPAGothic")); // font untouched by a style change
    }

    void defaultAttributesShowThroughUnformattedText() {
        Pane pane;
        pane.setSelText("plain");
        pane.setModified(false);
        pane.setDefaultColor(kYellow);
        pane.setDefaultSize(14);
        pane.setDefaultStyle(FontStyle::Italic);
        select(pane, 0, 3);
        QCOMPARE(pane.selColor(), kYellow);
        QCOMPARE(pane.selSize(), 14);
        QCOMPARE(pane.selStyle(), FontStyle::Italic);
        const rtf::RunList runs = pane.runs();
        QCOMPARE(runs.size(), std::size_t(1));
        QVERIFY(!runs[0].format.color && !runs[0].format.halfPoints && !runs[0].format.font);
    }

    void unchangedDefaultsTouchNothing() {
        Pane pane;
        auto* doc = qobject_cast<QPlainTextEdit*>(pane.widget())->document();
        const QFont before = doc->defaultFont();
        int layoutChanges = 0;
        connect(doc->documentLayout(), &QAbstractTextDocumentLayout::update, this, [&] { ++layoutChanges; });
        pane.setDefaultSize(pane.defaultSize());
        pane.setDefaultFontName(pane.defaultFontName());
        pane.setDefaultStyle(pane.defaultStyle());
        pane.setDefaultColor(pane.defaultColor());
        QCOMPARE(layoutChanges, 0);
        QCOMPARE(doc->defaultFont(), before);
        QVERIFY(!pane.modified());
    }

    void modifiedFlag_data() {
        QTest::addColumn<int>("action");
        QTest::addColumn<bool>("expected");
        QTest::newRow("selection move") << 0 << false;
        QTest::newRow("caret colour") << 1 << false;
        QTest::newRow("replace text") << 2 << true;
        QTest::newRow("colour a range") << 3 << true;
        QTest::newRow("typed key") << 4 << true;
        QTest::newRow("clear") << 5 << true;
        QTest::newRow("set runs") << 6 << true;
        // An input method shows and clears uncommitted text without changing the document.
        QTest::newRow("composition shown") << 7 << false;
        QTest::newRow("composition cleared") << 8 << false;
        QTest::newRow("input method at focus") << 9 << false;
        QTest::newRow("composition committed") << 10 << true;
        QTest::newRow("composition replaces a selection") << 11 << true;
    }
    void modifiedFlag() {
        QFETCH(int, action);
        QFETCH(bool, expected);
        Pane pane;
        pane.setSelText("hello");
        pane.setModified(false);
        switch (action) {
        case 0: select(pane, 1, 2); break;
        case 1: pane.setSelColor(kCyan); break;
        case 2: select(pane, 1, 2); pane.setSelText("y"); break;
        case 3: select(pane, 1, 2); pane.setSelColor(kCyan); break;
        case 4: QTest::keyClick(pane.widget(), Qt::Key_A); break;
        case 5: pane.clear(); break;
        case 6: pane.setRuns({{"new", {}}}); break;
        case 7: composition(pane, QStringLiteral("にほ")); break;
        case 8: composition(pane, QStringLiteral("にほ")); composition(pane, QString()); break;
        case 9: composition(pane, QString(), {{QInputMethodEvent::Cursor, 0, 1}}); break;
        case 10: composition(pane, QStringLiteral("にほ")); composition(pane, QString(), {}, QStringLiteral("日本")); break;
        case 11: select(pane, 1, 2); composition(pane, QStringLiteral("に")); break;
        }
        QCOMPARE(pane.modified(), expected);
        pane.setModified(false);
        QVERIFY(!pane.modified());
    }

    void runsRoundTrip() {
        rtf::RunList runs;
        runs.push_back({sj("<HTML>\r\n"), {std::nullopt, kYellow, false, false, false, std::nullopt}});
        runs.push_back({sj("本文"), {}});
        runs.push_back({sj("<B>"), {std::nullopt, kCyan, false, false, false, 20}});
        runs.push_back({sj("太字\r\n"), {std::string("IPAGothic"), kWhite, true, true, true, 48}});
        runs.push_back({sj("\r\nend"), {}});
        Pane pane;
        pane.setRuns(runs);
        QCOMPARE(pane.runs(), runs);
        QCOMPARE(pane.textLength(), 8 + 4 + 3 + 6 + 5);
        select(pane, 14, 1);
        QCOMPARE(pane.selColor(), kCyan);
        QCOMPARE(pane.selSize(), 10);
        auto* edit = qobject_cast<QPlainTextEdit*>(pane.widget());
        QVERIFY(!edit->document()->isUndoRedoEnabled());
        QCOMPARE(edit->document()->defaultFont().family(), QStringLiteral("ＭＳ ゴシック"));
        QCOMPARE(edit->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        // The swapped-in document is bound: edits still reach the index and the flag.
        pane.setModified(false);
        select(pane, 0, 0);
        pane.setSelText(sj("前"));
        QVERIFY(pane.modified());
        QCOMPARE(pane.textLength(), 8 + 4 + 3 + 6 + 5 + 2);
    }
};

QTEST_MAIN(TestPaneAttributes)
#include "tst_pane_attributes.moc"
