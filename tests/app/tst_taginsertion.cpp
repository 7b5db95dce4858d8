// The tag insertion engine on a pane without a window.
#include "TestSupport.h"

#include "AppError.h"
#include "Cp932.h"
#include "EditorState.h"
#include "Pane.h"
#include "TagInsertionEngine.h"

#include <QDir>
#include <QTemporaryDir>

using namespace vela;

class TagInsertionTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    EditorState m_state;
    std::unique_ptr<Pane> m_pane;

    void startWith(const std::string& text, int selStart, int selLength) {
        m_pane->clear();
        m_pane->setSelText(text);
        m_pane->setSelStart(selStart);
        m_pane->setSelLength(selLength);
    }
    void setTag(const char* open, const char* close) {
        m_state.PendingTag.OpenText = cp932::fromUtf8(open);
        m_state.PendingTag.CloseText = cp932::fromUtf8(close);
    }
    Color colorAt(int pos) {
        m_pane->setSelStart(pos);
        m_pane->setSelLength(1);
        return m_pane->selColor();
    }

private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        m_state = EditorState{};
        m_state.UndoFilePath = QDir(m_dir.path()).filePath("QOV.tmp").toStdString();
        m_pane = std::make_unique<Pane>();
    }

    void testPairAroundSelection_data() {
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("close");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<QString>("document");
        QTest::addColumn<int>("expectedStart");
        QTest::addColumn<int>("expectedLength");
        QTest::addColumn<int>("closeAt");
        QTest::newRow("pair around a word") << "<B>" << "</B>" << 2 << 3 << "x abc y" << 5 << 3 << 8;
        QTest::newRow("caret only: tags meet, caret between") << "<B>" << "</B>" << 2 << 0 << "x abc y" << 5 << 0 << 5;
        QTest::newRow("empty opening text: tag after the selection")
            << "" << "<P>" << 2 << 3 << "x abc y" << 2 << 3 << 5;
        QTest::newRow("empty closing text: tag before the selection")
            << "<LI>" << "" << 2 << 3 << "x abc y" << 6 << 3 << 9;
        QTest::newRow("double-byte text counts its bytes")
            << "<I>" << "</I>" << 2 << 4 << QString::fromUtf8("x 日本 y") << 5 << 4 << 9;
        QTest::newRow("selection across a line break")
            << "<PRE>" << "</PRE>" << 0 << 5 << QString::fromUtf8("ab\r\ncd") << 5 << 5 << 10;
    }
    void testPairAroundSelection() {
        QFETCH(QString, open);
        QFETCH(QString, close);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(QString, document);
        QFETCH(int, expectedStart);
        QFETCH(int, expectedLength);
        QFETCH(int, closeAt);
        const std::string before = cp932::fromUtf8(document.toStdString());
        const std::string openText = cp932::fromUtf8(open.toStdString());
        const std::string closeText = cp932::fromUtf8(close.toStdString());
        std::string after = before;
        after.insert(std::size_t(selStart + selLength), closeText);
        after.insert(std::size_t(selStart), openText);

        startWith(before, selStart, selLength);
        m_state.PendingTag.OpenText = openText;
        m_state.PendingTag.CloseText = closeText;
        TagInsertionEngine(m_state, *m_pane).SetSelText();

        QCOMPARE(m_pane->text(), after);
        QCOMPARE(m_pane->selStart(), expectedStart);
        QCOMPARE(m_pane->selLength(), expectedLength);
        QCOMPARE(m_state.UndoAvailable, 1);
        QCOMPARE(m_state.UndoSelStart, selStart);
        QCOMPARE(m_state.UndoSelLength, selLength);
        QCOMPARE(m_state.ReselectAfterTag, 1);
        if (!openText.empty()) QCOMPARE(colorAt(selStart), TagCyan);
        if (!closeText.empty()) QCOMPARE(colorAt(closeAt), TagCyan);
    }

    void testYellowTagsResetEveryCall() {
        startWith("abc", 0, 3);
        setTag("<BODY>", "</BODY>");
        m_state.PendingTag.UseYellow = 5; // any nonzero value
        TagInsertionEngine(m_state, *m_pane).SetSelText();
        QCOMPARE(colorAt(0), StructureYellow);
        QCOMPARE(colorAt(9), StructureYellow);
        QCOMPARE(m_state.PendingTag.UseYellow, 0);
    }

    void testPreview_data() {
        QTest::addColumn<int>("bold");
        QTest::addColumn<int>("italic");
        QTest::addColumn<int>("underline");
        QTest::addColumn<int>("fontSizeLevel");
        QTest::addColumn<int>("headingLevel");
        QTest::addColumn<int>("expectedStyle");
        QTest::addColumn<int>("expectedSize");
        const int B = int(FontStyle::Bold), I = int(FontStyle::Italic), U = int(FontStyle::Underline);
        QTest::newRow("bold") << 1 << 0 << 0 << 0 << 0 << B << 10;
        QTest::newRow("bold and underline") << 1 << 0 << 1 << 0 << 0 << (B | U) << 10;
        QTest::newRow("italic") << 0 << 1 << 0 << 0 << 0 << I << 10;
        QTest::newRow("switch value 2 is off") << 2 << 0 << 0 << 0 << 0 << 0 << 10;
        QTest::newRow("font size level 1 changes nothing") << 0 << 0 << 0 << 1 << 0 << 0 << 10;
        QTest::newRow("font size level 2") << 0 << 0 << 0 << 2 << 0 << 0 << 12;
        QTest::newRow("font size level 7") << 0 << 0 << 0 << 7 << 0 << 0 << 40;
        QTest::newRow("font size level 8 changes nothing") << 0 << 0 << 0 << 8 << 0 << 0 << 10;
        QTest::newRow("heading 1") << 0 << 0 << 0 << 0 << 1 << 0 << 30;
        QTest::newRow("heading 6") << 0 << 0 << 0 << 0 << 6 << 0 << 11;
        QTest::newRow("heading 7 changes nothing") << 0 << 0 << 0 << 0 << 7 << 0 << 10;
        QTest::newRow("level 7 and heading 1: heading wins") << 0 << 0 << 0 << 7 << 1 << 0 << 30;
        QTest::newRow("level 3 and heading 2") << 0 << 0 << 0 << 3 << 2 << 0 << 22;
    }
    void testPreview() {
        QFETCH(int, bold);
        QFETCH(int, italic);
        QFETCH(int, underline);
        QFETCH(int, fontSizeLevel);
        QFETCH(int, headingLevel);
        QFETCH(int, expectedStyle);
        QFETCH(int, expectedSize);
        startWith("x abc y", 2, 3);
        m_pane->setSelSize(10);
        m_pane->setSelStart(2);
        m_pane->setSelLength(3);
        setTag("<X>", "</X>");
        PendingTagState& tag = m_state.PendingTag;
        tag.Bold = bold, tag.Italic = italic, tag.Underline = underline;
        tag.FontSizeLevel = fontSizeLevel, tag.HeadingLevel = headingLevel;
        TagInsertionEngine(m_state, *m_pane).SetSelText();
        QCOMPARE(int(m_pane->selStyle()), expectedStyle);
        QCOMPARE(m_pane->selSize(), expectedSize);
        QCOMPARE(int(m_pane->defaultStyle()), 0);
        QCOMPARE(m_pane->defaultSize(), 10);
        QCOMPARE(tag.Bold + tag.Italic + tag.Underline + tag.FontSizeLevel + tag.HeadingLevel, 0);
    }

    void testNoReselectLeavesCaretAndKeepsSwitches() {
        startWith("x abc y", 2, 3);
        setTag("", "<P>\r\n");
        PendingTagState& tag = m_state.PendingTag;
        tag.NoReselect = 1;
        tag.Bold = 1;
        tag.HeadingLevel = 1;
        tag.UseYellow = 1;
        m_state.ReselectAfterTag = 7;
        TagInsertionEngine(m_state, *m_pane).SetSelText();
        QCOMPARE(m_pane->text(), std::string("x abc<P>\r\n y"));
        QCOMPARE(m_pane->selStart(), 10);
        QCOMPARE(m_pane->selLength(), 0);
        QCOMPARE(tag.NoReselect, 0);
        QCOMPARE(tag.UseYellow, 0);
        QCOMPARE(tag.Bold, 1);
        QCOMPARE(tag.HeadingLevel, 1);
        QCOMPARE(m_state.ReselectAfterTag, 7);
        QCOMPARE(colorAt(5), StructureYellow);

        // The surviving switches are applied by the next full run.
        m_pane->setSelStart(0);
        m_pane->setSelLength(1);
        setTag("<B>", "</B>");
        TagInsertionEngine(m_state, *m_pane).SetSelText();
        QVERIFY(has(m_pane->selStyle(), FontStyle::Bold));
        QCOMPARE(m_pane->selSize(), 30);
        QCOMPARE(tag.Bold, 0);
        QCOMPARE(tag.HeadingLevel, 0);
    }

    void testSnapshotHoldsDocumentBeforeInsertion() {
        startWith("x abc y", 2, 3);
        setTag("<B>", "</B>");
        TagInsertionEngine(m_state, *m_pane).SetSelText();
        Pane restored;
        restored.loadFromFile(m_state.UndoFilePath, StreamFormat::Rtf);
        QCOMPARE(restored.text(), std::string("x abc y"));
        QCOMPARE(m_state.UndoSelStart, 2);
        QCOMPARE(m_state.UndoSelLength, 3);
    }

    void testFailedSnapshotInsertsNothing() {
        startWith("x abc y", 2, 3);
        m_state.UndoFilePath = QDir(m_dir.path()).filePath("missing/QOV.tmp").toStdString();
        setTag("<B>", "</B>");
        m_state.PendingTag.Bold = 1;
        QVERIFY_THROWS_EXCEPTION(AppError, TagInsertionEngine(m_state, *m_pane).SetSelText());
        QCOMPARE(m_pane->text(), std::string("x abc y"));
        QCOMPARE(m_pane->selStart(), 2);
        QCOMPARE(m_pane->selLength(), 3);
        QCOMPARE(m_state.UndoAvailable, 0);
        QCOMPARE(m_state.PendingTag.Bold, 1);
    }
};

QTEST_MAIN(TagInsertionTest)
#include "tst_taginsertion.moc"
