// HTML export and import: the bytes written, the state after an import, the
// export target memory and the refresh on import.
#include "DocumentTestSupport.h"

#include "Charsets.h"
#include "TagInsertionEngine.h"
#include "UserActions.h"

using namespace vela;
using namespace vela::test;

namespace {

std::string title(MainWindowFixture& w) { return w.form->windowTitle().toStdString(); }

Color colorAt(Pane& pane, int pos) {
    pane.setSelStart(pos);
    pane.setSelLength(1);
    return pane.selColor();
}

/// Ticks or clears "HTMLファイル読み込み時、自動的にリフレッシュを実行" in the preferences.
void setAutoRefresh(MainWindowFixture& w, bool on) {
    w.services.expectModal([on](QDialog& d) {
        user::setChecked(d, "CheckBox2", on);
        user::click(d, "Button1");
    });
    w.chooseMenuEntry("KS1");
}

} // namespace

class HtmlExportImportTest : public QObject {
    Q_OBJECT

private slots:
    void testExportWritesThePlainText_data() {
        QTest::addColumn<QString>("typed"); // committed on the template's empty line; "\n" is Enter
        QTest::newRow("template only") << "";
        QTest::newRow("Japanese over lines") << "日本語の表示\nソース";
        QTest::newRow("trail bytes like brackets") << "表{}\\";
    }
    void testExportWritesThePlainText() {
        QFETCH(QString, typed);
        MainWindowFixture w;
        w.select(16, 0);
        for (const QString& piece : typed.split('\n')) {
            if (piece != typed.split('\n').first()) QTest::keyClick(w.form->pane().widget(), Qt::Key_Return);
            commitText(w, piece);
        }
        const bool modified = w.form->pane().modified();
        w.services.expectFileDialog("page");
        w.clickButton("SpeedButton31", 0);
        QVERIFY(w.services.verifyAllConsumed());

        const FileDialog& shown = w.services.fileDialogs().at(0).shown;
        QCOMPARE(shown.kind, FileDialog::Kind::Save);
        QCOMPARE(shown.defaultExt, std::string("htm"));
        QCOMPARE(shown.filter, std::string("HTMLファイル(*.htm)|*.htm"));
        QCOMPARE(shown.title, std::string("HTMLファイル(*.htm)の作成"));
        QVERIFY(shown.overwritePrompt);

        QString expectedText = QString::fromStdString(Template);
        expectedText.insert(16, QString(typed).replace("\n", "\r\n"));
        const QByteArray expected = QByteArray::fromStdString(cp932::fromUtf8(expectedText.toStdString()));
        QCOMPARE(readAll("page.htm"), expected);
        QCOMPARE(w.form->state().UndoAvailable, 0);
        // Export is no save of the source document.
        QCOMPARE(w.form->pane().modified(), modified);
        QCOMPARE(title(w), AppCaption);
    }

    void testCloseAfterExportStillAsks() {
        MainWindowFixture w;
        typeText(w, "abc");
        w.services.expectFileDialog("page.htm");
        w.chooseMenuEntry("HTML1");
        expectSaveQuestion(w, MessageAnswer::Cancel);
        w.form->close();
        QVERIFY(w.services.verifyAllConsumed());
        QVERIFY(w.form->isVisible());
        // A later Save still writes RTF.
        w.services.expectFileDialog("doc");
        w.clickButton("SpeedButton3", 0);
        QVERIFY(readAll("doc.kvd").startsWith("{\\rtf"));
    }

    void testImport_data() {
        QTest::addColumn<bool>("autoRefresh");
        QTest::newRow("without refresh") << false;
        QTest::newRow("with refresh") << true;
    }
    void testImport() {
        QFETCH(bool, autoRefresh);
        MainWindowFixture w;
        const std::string page = cp932::fromUtf8("<HTML>\r\n<B>太字</B>\r\n</HTML>");
        w.writeFile("in.htm", QByteArray::fromStdString(page));
        w.services.expectFileDialog("doc");
        w.chooseMenuEntry("Menu14");
        if (autoRefresh) setAutoRefresh(w, true);
        w.services.expectFileDialog("in");
        w.clickButton("SpeedButton32", 0);
        QVERIFY(w.services.verifyAllConsumed());

        const FileDialog& shown = w.services.fileDialogs().back().shown;
        QCOMPARE(shown.kind, FileDialog::Kind::Open);
        QCOMPARE(shown.defaultExt, std::string("htm"));
        QCOMPARE(shown.filter, std::string("HTMLファイル(*.htm)|*.htm"));
        QCOMPARE(shown.title, std::string("HTMLファイル(*.htm)の読み込み"));
        QCOMPARE(shown.fileName, std::string()); // opens empty, although a source file exists

        Pane& pane = w.form->pane();
        QCOMPARE(pane.text(), page);
        QCOMPARE(title(w), AppCaption);
        QCOMPARE(w.form->state().SourcePath, std::string());
        QVERIFY(!pane.modified());
        QCOMPARE(w.form->state().UndoAvailable, 0);
        Pane snapshot;
        settleUndoSnapshot(w.form->state()); // written meanwhile
        snapshot.loadFromFile(w.form->state().UndoFilePath, StreamFormat::Rtf);
        QVERIFY(snapshot.runs() == pane.runs());
        const int bold = 8; // "<B>"
        if (autoRefresh) {
            QCOMPARE(colorAt(pane, 0), StructureYellow);
            QCOMPARE(colorAt(pane, bold), TagCyan);
        } else {
            QCOMPARE(pane.runs().size(), std::size_t(1)); // all in the default format
            QVERIFY(!pane.runs().front().format.color);
        }
    }

    // A page goes out in the charset it came in (and declares), and the user
    // is told what was read, written and turned into references.
    void testPageKeepsItsCharsetThroughImportAndExport_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("importTold");
        QTest::addColumn<QByteArray>("exported");
        QTest::addColumn<QString>("exportTold");
        const QString page = QStringLiteral("<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                                            "charset=%1\"></HEAD>\r\n<BODY>日本語ｶﾅ①～%2</BODY></HTML>\r\n");
        const QString references = QStringLiteral("Shift-JIS で表せない 2 文字を文字参照 (&#x...;) にしました");
        const QByteArray shiftJis = QByteArray::fromStdString(cp932::fromUtf8(page.arg("Shift_JIS", "").toStdString()));
        QTest::newRow("Shift_JIS byte for byte") << shiftJis << "" << shiftJis << "";
        QTest::newRow("UTF-8") << page.arg("UTF-8", "é😀").toUtf8() << "UTF-8 として読み込みました。" + references
                               << page.arg("UTF-8", "&#xE9;&#x1F600;").toUtf8() << "UTF-8 で書き出しました";
        // EUC-JP of Windows holds ①, the standard one does not.
        QTest::newRow("EUC-JP") << inCharset("EUC-JP-MS", page.arg("EUC-JP", "")) << "EUC-JP として読み込みました"
                                << inCharset("EUC-JP-MS", page.arg("EUC-JP", "")).replace("\xAD\xA1", "&#x2460;")
                                << "EUC-JP で書き出しました。EUC-JP で表せない 1 文字を文字参照 (&#x...;) にしました";
        const QByteArray unknown = QByteArray::fromStdString(cp932::fromUtf8(page.arg("x-unknown", "").toStdString()));
        QTest::newRow("unknown charset") << unknown << "" << unknown
                                         << "文字コード「x-unknown」では書き出せないため、Shift-JIS で書き出しました";
    }
    void testPageKeepsItsCharsetThroughImportAndExport() {
        QFETCH(QByteArray, file);
        QFETCH(QString, importTold);
        QFETCH(QByteArray, exported);
        QFETCH(QString, exportTold);
        MainWindowFixture w;
        w.writeFile("page.htm", file);
        w.services.expectFileDialog("page.htm");
        w.chooseMenuEntry("HTM1");
        QCOMPARE(QString::fromStdString(w.form->statusText()), importTold);
        QVERIFY(!w.form->pane().modified());
        w.services.expectMessageBox(MessageAnswer::Yes); // replace the imported file
        w.services.expectFileDialog("page.htm");
        w.chooseMenuEntry("HTML1");
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(readAll("page.htm"), exported);
        QCOMPARE(QString::fromStdString(w.form->statusText()), exportTold);
    }

    void testImportedFileIsTheExportTarget() {
        MainWindowFixture w;
        w.writeFile("in.htm", "<P>old</P>");
        w.services.expectFileDialog("in.htm");
        w.chooseMenuEntry("HTM1");
        w.select(0, 0);
        typeText(w, "new");
        w.services.expectMessageBox(MessageAnswer::Yes); // replace the existing file
        w.services.expectFileDialog("in.htm");
        w.chooseMenuEntry("HTML1");
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.services.fileDialogs().back().shown.fileName, inDir(w, "in.htm").toStdString());
        QCOMPARE(readAll("in.htm"), QByteArray("new<P>old</P>"));
        // The toolbar save asks for a source file name: the import left none.
        w.services.expectFileDialogCancelled();
        w.clickButton("SpeedButton3", 0);
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.services.fileDialogs().back().shown.kind, FileDialog::Kind::Save);
        QCOMPARE(w.services.fileDialogs().back().shown.defaultExt, std::string("kvd"));
    }

    void testExportProposesTheLastExport() {
        MainWindowFixture w;
        w.services.expectFileDialog("first");
        w.chooseMenuEntry("HTML1");
        w.services.expectFileDialogCancelled();
        w.chooseMenuEntry("HTML1");
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.services.fileDialogs().back().shown.fileName, inDir(w, "first.htm").toStdString());
    }

    void testCancelledImportKeepsSourcePath() {
        MainWindowFixture w;
        w.services.expectFileDialog("doc");
        w.chooseMenuEntry("Menu14");
        const std::string doc = inDir(w, "doc.kvd").toStdString();
        w.services.expectFileDialogCancelled();
        w.chooseMenuEntry("HTM1");
        QCOMPARE(w.form->state().SourcePath, doc);
        QCOMPARE(title(w), AppCaption + " - " + doc);
        w.services.expectFileDialogCancelled();
        w.chooseMenuEntry("Menu12");
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.services.fileDialogs().back().shown.fileName, doc);
    }

    void testImportRtfKeepsItsFormat() {
        MainWindowFixture w;
        w.writeFile("styled.rtf", "{\\rtf1\\ansi {\\b bold} plain}");
        w.services.expectFileDialog("styled.rtf");
        w.chooseMenuEntry("HTM1");
        QVERIFY(w.services.verifyAllConsumed());
        const rtf::RunList runs = w.form->pane().runs();
        QCOMPARE(w.form->pane().text(), std::string("bold plain"));
        QVERIFY(runs.front().format.bold);
        QCOMPARE(title(w), AppCaption);
    }

    void testImportQuestionRefusedShowsNoDialog() {
        MainWindowFixture w;
        typeText(w, "x");
        expectSaveQuestion(w, MessageAnswer::Yes);
        w.services.expectFileDialogCancelled(); // the Save As of the question
        w.chooseMenuEntry("HTM1");
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.services.fileDialogs().size(), std::size_t(1));
        QVERIFY(w.form->pane().modified());
    }

    void testFailedImportChangesNothing() {
        MainWindowFixture w;
        w.services.expectFileDialog("doc");
        w.chooseMenuEntry("Menu14");
        const std::string doc = inDir(w, "doc.kvd").toStdString();
        w.services.expectFileDialog("missing");
        expectErrorReport(w, "ﾌｧｲﾙ " + inDir(w, "missing.htm").toStdString() + " は開けません");
        w.chooseMenuEntry("HTM1");
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.form->pane().text(), Template);
        QCOMPARE(w.form->state().SourcePath, doc);
        QCOMPARE(title(w), AppCaption + " - " + doc);
    }

    void testFailedExportKeepsTheOldFile_data() {
        QTest::addColumn<int>("repeat"); // copies of a 4-character text in the document
        // Below 16 KB the bytes wait in the file's buffer until the file is committed.
        QTest::newRow("buffered") << 400;
        QTest::newRow("large") << 8000;
    }
    void testFailedExportKeepsTheOldFile() {
        QFETCH(int, repeat);
        MainWindowFixture w;
        w.writeFile("page.htm", "old page");
        w.select(16, 0);
        commitText(w, QString::fromUtf8("長い本文").repeated(repeat));
        w.services.expectFileDialog("page");
        w.services.expectMessageBox(MessageAnswer::Yes); // replace the existing file
        expectErrorReport(w, "ｽﾄﾘｰﾑへの書き込みに失敗しました");
        {
            FileSizeLimit limit(2048);
            w.chooseMenuEntry("HTML1");
        }
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(readAll("page.htm"), QByteArray("old page"));
        QCOMPARE(strayFiles(w, {"page.htm", "QOV.tmp", "QOV.tmp.lock"}).join(","), QString());
        // Only a written file becomes the next proposal.
        w.services.expectFileDialogCancelled();
        w.chooseMenuEntry("HTML1");
        QCOMPARE(w.services.fileDialogs().back().shown.fileName, std::string());
    }

    void testExportIntoMissingFolder() {
        MainWindowFixture w;
        w.services.expectFileDialog("gone/page");
        expectErrorReport(w, "ﾌｧｲﾙ " + inDir(w, "gone/page.htm").toStdString() + " を作成できません");
        w.chooseMenuEntry("HTML1");
        QVERIFY(w.services.verifyAllConsumed());
    }
};

QTEST_MAIN(HtmlExportImportTest)
#include "tst_htmlexportimport.moc"
