// Byte positions of the pane against a brute-force model built from text().

#include "Pane.h"
#include "PaneTestUtil.h"
#include "TestSupport.h"

#include <QRandomGenerator>

using namespace vela;
using vela::test::sj;

class TestPanePositions : public QObject {
    Q_OBJECT

    // Every caret position and every selection between boundaries of a sample
    // agrees with the model; positions inside characters snap.
    static void checkAgainstModel(Pane& pane, const std::string& model, int stride = 1) {
        QCOMPARE(pane.text(), model);
        const int total = int(model.size());
        QCOMPARE(pane.textLength(), total);
        const auto ok = vela::test::boundaries(model);
        for (int pos = 0; pos <= total; pos += stride) {
            pane.setSelStart(pos);
            QCOMPARE(pane.selStart(), vela::test::boundaryBefore(ok, pos));
            QCOMPARE(pane.selLength(), 0);
        }
        for (int start = 0; start <= total; start += stride) {
            if (!ok[std::size_t(start)]) continue;
            const int end = std::min(total, start + 7);
            pane.setSelStart(start);
            pane.setSelLength(end - start);
            const int snapped = vela::test::boundaryAfter(ok, end);
            QCOMPARE(pane.selStart(), start);
            QCOMPARE(pane.selLength(), snapped - start);
            QCOMPARE(pane.selText(), model.substr(std::size_t(start), std::size_t(snapped - start)));
        }
    }

private slots:
    void positionsMatchModel_data() {
        QTest::addColumn<QString>("utf8");
        QTest::newRow("empty") << "";
        QTest::newRow("ascii") << "abc";
        QTest::newRow("double-byte") << "日本語";
        QTest::newRow("half-width kana") << "ｱｲｳｴｵ";
        QTest::newRow("trail byte 0x5C") << "ソ表示\\本{}";
        QTest::newRow("mixed line") << "a日ｱb本ｲ";
        QTest::newRow("line breaks") << "ab\r\n日本\r\n\r\nｱｲ";
        QTest::newRow("leading and trailing breaks") << "\r\n\r\n漢字\r\n";
        QTest::newRow("only breaks") << "\r\n\r\n\r\n";
        QTest::newRow("tags") << "<HTML>\r\n<HEAD>\r\n<TITLE>表題</TITLE>\r\n</HEAD>\r\n";
    }
    void positionsMatchModel() {
        QFETCH(QString, utf8);
        Pane pane;
        const std::string model = sj(utf8.toUtf8().constData());
        pane.setSelText(model);
        checkAgainstModel(pane, model);
    }

    void clampsPastBothEnds() {
        Pane pane;
        const std::string model = sj("日本\r\nabc");
        pane.setSelText(model);
        pane.setSelStart(-5);
        QCOMPARE(pane.selStart(), 0);
        pane.setSelStart(1000);
        QCOMPARE(pane.selStart(), int(model.size()));
        pane.setSelStart(6);
        pane.setSelLength(1000);
        QCOMPARE(pane.selLength(), 3);
        QCOMPARE(pane.selText(), std::string("abc"));
        pane.setSelLength(-4);
        QCOMPARE(pane.selLength(), 0);
        QCOMPARE(pane.selStart(), 6);
    }

    void selectionAcrossLines() {
        Pane pane;
        const std::string model = sj("一行目\r\n二行目ｶﾅ\r\n\r\nthird");
        pane.setSelText(model);
        pane.setSelStart(2);
        pane.setSelLength(int(model.size()) - 4);
        QCOMPARE(pane.selText(), model.substr(2, model.size() - 4));
        pane.setSelText(sj("Ｘ"));
        const std::string expected = model.substr(0, 2) + sj("Ｘ") + model.substr(model.size() - 2);
        QCOMPARE(pane.text(), expected);
        QCOMPARE(pane.selStart(), 4);
    }

    // Random replacements at the start, the middle and the end of a long page,
    // checked against a std::string model after every edit.
    void editsAnywhereInLongDocument() {
        Pane pane;
        std::string model;
        for (int i = 0; i < 400; ++i) model += sj(i % 3 ? "<P>日本語のﾃｷｽﾄ line</P>\r\n" : "\r\n");
        pane.setSelText(model);
        QRandomGenerator rng(42);
        const char* pieces[] = {"x", "漢", "ｶ", "\r\n", "a\r\nb", "表\r\n\r\n", ""};
        for (int round = 0; round < 300; ++round) {
            const auto ok = vela::test::boundaries(model);
            const int total = int(model.size());
            int start = round % 3 == 0 ? int(rng.bounded(8)) : round % 3 == 1 ? total / 2 : total - int(rng.bounded(8));
            start = vela::test::boundaryBefore(ok, std::clamp(start, 0, total));
            int end = vela::test::boundaryAfter(ok, std::min(total, start + int(rng.bounded(12))));
            const std::string insert = sj(pieces[rng.bounded(int(std::size(pieces)))]);
            pane.setSelStart(start);
            pane.setSelLength(end - start);
            QCOMPARE(pane.selText(), model.substr(std::size_t(start), std::size_t(end - start)));
            pane.setSelText(insert);
            model.replace(std::size_t(start), std::size_t(end - start), insert);
            QCOMPARE(pane.selStart(), start + int(insert.size()));
            QCOMPARE(pane.textLength(), int(model.size()));
        }
        checkAgainstModel(pane, model, 13);
    }

    void formatOnlyChangesKeepPositions() {
        Pane pane;
        const std::string model = sj("<B>太字</B>\r\nｶﾅ\r\n終わり");
        pane.setSelText(model);
        pane.setSelStart(3);
        pane.setSelLength(12);
        pane.setSelColor(0xFFFF00);
        pane.setSelSize(24);
        pane.setSelStyle(FontStyle::Bold | FontStyle::Underline);
        checkAgainstModel(pane, model);
    }

    void typedTextIsIndexed() {
        Pane pane;
        pane.setSelText(sj("ab\r\ncd"));
        pane.setSelStart(2);
        QKeyEvent kanji(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("日"));
        QCoreApplication::sendEvent(pane.widget(), &kanji);
        QTest::keyClick(pane.widget(), Qt::Key_X);
        QTest::keyClick(pane.widget(), Qt::Key_Return);
        QTest::keyClick(pane.widget(), Qt::Key_Backspace);
        QTest::keyClick(pane.widget(), Qt::Key_Return);
        const std::string model = sj("ab日x\r\n\r\ncd");
        QCOMPARE(pane.selStart(), 7);
        checkAgainstModel(pane, model);
    }
};

QTEST_MAIN(TestPanePositions)
#include "tst_pane_positions.moc"
