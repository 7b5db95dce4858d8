// New, Open, Save, Save As, Exit and the close handling, driven as a user does.
#include "DocumentTestSupport.h"

#include <QAbstractScrollArea>
#include <QMimeData>
#include <QUrl>

using namespace vela;
using namespace vela::test;

namespace {

enum class Caller { New, Open, Import, Exit, CloseBox, Drop };

/// Drags `data` over the editing pane and drops it there, as a file manager or another program does.
void dropOnPane(MainWindowFixture& w, QMimeData* data) {
    QWidget* viewport = qobject_cast<QAbstractScrollArea*>(w.form->pane().widget())->viewport();
    const QPoint at(20, 20);
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
    QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &drop);
    delete data;
    // The files open once the drop has finished.
    QCoreApplication::processEvents();
}

/// Local files as a file manager offers them: URLs, with the paths as text beside them.
QMimeData* filesData(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    data->setText(paths.join('\n'));
    return data;
}

/// Gives the document the source file "first.kvd", then changes it.
void saveAsFirstAndChange(MainWindowFixture& w) {
    w.services.expectFileDialog("first");
    w.chooseMenuEntry("Menu14");
    typeText(w, "x");
}

void run(MainWindowFixture& w, Caller caller) {
    switch (caller) {
    case Caller::New: w.chooseMenuEntry("Menu11"); break;
    case Caller::Open: w.chooseMenuEntry("Menu12"); break;
    case Caller::Import: w.chooseMenuEntry("HTM1"); break;
    case Caller::Exit: w.chooseMenuEntry("Menu15"); break;
    case Caller::CloseBox: w.form->close(); break;
    case Caller::Drop: dropOnPane(w, filesData({inDir(w, "dropped.kvd")})); break;
    }
}

std::string title(MainWindowFixture& w) { return w.form->windowTitle().toStdString(); }

std::string textOfFile(const QString& path) {
    Pane reader;
    reader.loadFromFile(path.toStdString(), StreamFormat::Rtf);
    return reader.text();
}

} // namespace

Q_DECLARE_METATYPE(Caller)
Q_DECLARE_METATYPE(MessageAnswer)

class SourceDocumentsTest : public QObject {
    Q_OBJECT

private slots:
    void testUnsavedChangesCheck_data() {
        QTest::addColumn<Caller>("caller");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::addColumn<QString>("saveAs"); // with Yes: the name typed, empty for a cancelled dialog
        QTest::addColumn<bool>("proceeds");
        const std::pair<const char*, Caller> callers[] = {{"new", Caller::New},
                                                          {"open", Caller::Open},
                                                          {"import", Caller::Import},
                                                          {"exit", Caller::Exit},
                                                          {"close box", Caller::CloseBox},
                                                          {"drop", Caller::Drop}};
        for (const auto& [name, caller] : callers) {
            QTest::addRow("%s, yes and saved", name) << caller << MessageAnswer::Yes << "answer" << true;
            QTest::addRow("%s, yes and cancelled", name) << caller << MessageAnswer::Yes << "" << false;
            QTest::addRow("%s, no", name) << caller << MessageAnswer::No << "" << true;
            QTest::addRow("%s, cancel", name) << caller << MessageAnswer::Cancel << "" << false;
        }
    }
    void testUnsavedChangesCheck() {
        QFETCH(Caller, caller);
        QFETCH(MessageAnswer, answer);
        QFETCH(QString, saveAs);
        QFETCH(bool, proceeds);
        MainWindowFixture w;
        w.writeFile("other.kvd", "other text");
        w.writeFile("page.htm", "<P>page</P>");
        w.writeFile("dropped.kvd", "{\\rtf1 dropped text}");
        saveAsFirstAndChange(w);
        Pane& pane = w.form->pane();
        const std::string changed = pane.text();
        const std::string first = inDir(w, "first.kvd").toStdString();
        const std::string undoFile = w.form->state().UndoFilePath;

        expectSaveQuestion(w, answer);
        if (answer == MessageAnswer::Yes) {
            if (saveAs.isEmpty())
                w.services.expectFileDialogCancelled();
            else
                w.services.expectFileDialog(saveAs.toStdString());
        }
        if (proceeds && caller == Caller::Open) w.services.expectFileDialog("other.kvd");
        if (proceeds && caller == Caller::Import) w.services.expectFileDialog("page.htm");
        run(w, caller);
        QVERIFY(w.services.verifyAllConsumed());

        const auto& question = w.services.messageBoxes().at(0);
        QCOMPARE(question.buttons, MessageButtons::YesNoCancel);
        QCOMPARE(question.icon, MessageIcon::None);
        if (answer == MessageAnswer::Yes) {
            // Save As with an empty name, although the document has a source file.
            const FileDialog& shown = w.services.fileDialogs().at(1).shown;
            QCOMPARE(shown.kind, FileDialog::Kind::Save);
            QCOMPARE(shown.fileName, std::string());
            QCOMPARE(shown.defaultExt, std::string("kvd"));
            QCOMPARE(shown.filter, std::string("Ver.2.xソースファイル(*.kvd)|*.kvd"));
            QVERIFY(shown.overwritePrompt);
        }
        if (!saveAs.isEmpty()) QCOMPARE(textOfFile(inDir(w, "answer.kvd")), changed);

        if (!proceeds) {
            QVERIFY(w.form->isVisible());
            QCOMPARE(pane.text(), changed);
            QVERIFY(pane.modified());
            QCOMPARE(title(w), AppCaption + " - " + first);
            QCOMPARE(w.form->state().SourcePath, first);
            // A refused close, New, Open or import leaves the undo snapshot in place.
            QVERIFY(QFile::exists(QString::fromStdString(undoFile)));
            return;
        }
        switch (caller) {
        case Caller::New:
            QCOMPARE(pane.text(), Template);
            QCOMPARE(title(w), AppCaption);
            QCOMPARE(w.form->state().SourcePath, std::string());
            break;
        case Caller::Drop:
            QCOMPARE(pane.text(), std::string("dropped text"));
            QCOMPARE(title(w), AppCaption + " - " + inDir(w, "dropped.kvd").toStdString());
            break;
        case Caller::Open:
            QCOMPARE(pane.text(), std::string("other text"));
            QCOMPARE(title(w), AppCaption + " - " + inDir(w, "other.kvd").toStdString());
            break;
        case Caller::Import:
            QCOMPARE(pane.text(), std::string("<P>page</P>"));
            QCOMPARE(title(w), AppCaption);
            QCOMPARE(w.form->state().SourcePath, std::string());
            break;
        case Caller::Exit:
        case Caller::CloseBox:
            QVERIFY(!w.form->isVisible());
            QVERIFY(!QFile::exists(QString::fromStdString(undoFile)));
            return;
        }
        QVERIFY(!pane.modified());
    }

    void testTitleAndFlagsAfterEachOperation() {
        MainWindowFixture w;
        w.writeFile("page.htm", "<P>page</P>");
        const EditorState& s = w.form->state();
        Pane& pane = w.form->pane();
        const std::string doc = inDir(w, "doc.kvd").toStdString();
        auto expectState = [&](const std::string& wantTitle, const std::string& source, bool modified) {
            QCOMPARE(title(w), wantTitle);
            QCOMPARE(s.SourcePath, source);
            QCOMPARE(pane.modified(), modified);
            QCOMPARE(s.UndoAvailable, 0);
        };
        expectState(AppCaption, "", false); // start-up

        typeText(w, "a");
        QCOMPARE(s.UndoAvailable, 1);
        w.services.expectFileDialog("doc");
        w.chooseMenuEntry("Menu14");
        expectState(AppCaption + " - " + doc, doc, false); // Save As
        // Save As proposes the name last saved under.
        w.services.expectFileDialog("doc");
        w.services.expectMessageBox(MessageAnswer::Yes); // replace the existing file
        w.chooseMenuEntry("Menu14");
        QCOMPARE(w.services.fileDialogs().back().shown.fileName, doc);

        typeText(w, "b");
        w.clickButton("SpeedButton3", 0); // Save: a source file exists
        expectState(AppCaption + " - " + doc, doc, false);
        const std::string saved = pane.text();
        QCOMPARE(textOfFile(QString::fromStdString(doc)), saved);

        typeText(w, "c");
        expectSaveQuestion(w, MessageAnswer::No);
        w.clickButton("SpeedButton1", 0); // New
        expectState(AppCaption, "", false);
        QCOMPARE(pane.text(), Template);

        typeText(w, "d");
        expectSaveQuestion(w, MessageAnswer::No);
        w.services.expectFileDialog("doc");
        w.clickButton("SpeedButton2", 0); // Open, typed without extension
        expectState(AppCaption + " - " + doc, doc, false);
        QCOMPARE(pane.text(), saved);
        settleUndoSnapshot(w.form->state()); // written meanwhile
        QCOMPARE(textOfFile(QString::fromStdString(s.UndoFilePath)), saved); // the snapshot is the loaded text
        const FileDialog& open = w.services.fileDialogs().back().shown;
        QCOMPARE(open.title, std::string("ソースファイル(*.kvd)を開く"));
        QCOMPARE(open.filter, std::string("Ver.2.xソースファイル(*.kvd)|*.kvd"));
        QCOMPARE(open.defaultExt, std::string("kvd"));
        QCOMPARE(open.fileName, std::string()); // SourcePath was empty after New

        typeText(w, "e");
        expectSaveQuestion(w, MessageAnswer::No);
        w.services.expectFileDialog("page.htm");
        w.chooseMenuEntry("HTM1");
        expectState(AppCaption, "", false);

        // The questions emptied the name Save As proposes.
        w.services.expectFileDialogCancelled();
        w.chooseMenuEntry("Menu14");
        QCOMPARE(w.services.fileDialogs().back().shown.fileName, std::string());
        QVERIFY(w.services.verifyAllConsumed());
    }

    void testOpenProposesSourcePath() {
        MainWindowFixture w;
        w.services.expectFileDialog("doc.kvd");
        w.chooseMenuEntry("Menu14");
        w.services.expectFileDialogCancelled();
        w.chooseMenuEntry("Menu12");
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.services.fileDialogs().back().shown.fileName, inDir(w, "doc.kvd").toStdString());
        QCOMPARE(title(w), AppCaption + " - " + inDir(w, "doc.kvd").toStdString());
    }

    void testSaveMenuEnabledOnOpening_data() {
        QTest::addColumn<bool>("sourceFile");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("new document") << false << false << false;
        QTest::newRow("changed, no source file") << false << true << false;
        QTest::newRow("source file, unchanged") << true << false << false;
        QTest::newRow("source file, changed") << true << true << true;
    }
    void testSaveMenuEnabledOnOpening() {
        QFETCH(bool, sourceFile);
        QFETCH(bool, changed);
        QFETCH(bool, enabled);
        MainWindowFixture w;
        if (sourceFile) {
            w.services.expectFileDialog("doc");
            w.chooseMenuEntry("Menu14");
        }
        if (changed) typeText(w, "x");
        w.form->setStatusText("hint");
        w.openAndCloseMenu("Menu10");
        QCOMPARE(w.form->commandAction("Menu13")->isEnabled(), enabled);
        QCOMPARE(w.form->statusText(), std::string());
        if (enabled) {
            w.chooseMenuEntry("Menu13");
            QVERIFY(!w.form->pane().modified());
        }
        QVERIFY(w.services.verifyAllConsumed());
    }

    void testToolbarSave_data() {
        QTest::addColumn<bool>("sourceFile");
        QTest::newRow("source file: written again") << true;
        QTest::newRow("no source file: Save As") << false;
    }
    void testToolbarSave() {
        QFETCH(bool, sourceFile);
        MainWindowFixture w;
        if (sourceFile) {
            w.services.expectFileDialog("doc");
            w.chooseMenuEntry("Menu14");
            QVERIFY(QFile::remove("doc.kvd"));
            QVERIFY(!w.form->pane().modified());
        } else {
            w.services.expectFileDialog("doc");
        }
        w.clickButton("SpeedButton3", 0);
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.services.fileDialogs().size(), std::size_t(1));
        QCOMPARE(textOfFile(inDir(w, "doc.kvd")), Template);
    }

    void testTypedNames_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("file");
        QTest::newRow("no extension") << "page" << "page.kvd";
        QTest::newRow("own extension kept") << "page.rtf" << "page.rtf";
        QTest::newRow("Japanese name") << "文書" << "文書.kvd";
    }
    void testTypedNames() {
        QFETCH(QString, typed);
        QFETCH(QString, file);
        MainWindowFixture w;
        w.services.expectFileDialog(typed.toStdString());
        w.chooseMenuEntry("Menu14");
        QVERIFY(QFile::exists(file));
        QCOMPARE(title(w), AppCaption + " - " + inDir(w, file).toStdString());
        // Open finds the same file by the same typed name.
        w.services.expectFileDialog(typed.toStdString());
        w.chooseMenuEntry("Menu12");
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.form->state().SourcePath, inDir(w, file).toStdString());
    }

    void testPlainTextFileOpenedThenSavedAsRtf() {
        MainWindowFixture w;
        const std::string plain = cp932::fromUtf8("<B>太字</B>\r\n表示");
        w.writeFile("notes.txt", QByteArray::fromStdString(plain));
        w.services.expectFileDialog("notes.txt");
        w.chooseMenuEntry("Menu12");
        Pane& pane = w.form->pane();
        QCOMPARE(pane.text(), plain);
        QCOMPARE(title(w), AppCaption + " - " + inDir(w, "notes.txt").toStdString());

        w.select(pane.textLength(), 0);
        typeText(w, "!");
        w.openAndCloseMenu("Menu10");
        w.chooseMenuEntry("Menu13");
        QVERIFY(w.services.verifyAllConsumed());
        QVERIFY(readAll("notes.txt").startsWith("{\\rtf"));
        QCOMPARE(textOfFile("notes.txt"), plain + "!");
    }

    void testSourceDocumentKeepsTextColoursAndStyles() {
        MainWindowFixture w;
        Pane& pane = w.form->pane();
        w.select(16, 0);
        commitText(w, QString::fromUtf8("日本語のソース abc"));
        w.select(16 + int(cp932::fromUtf8("日本語のソース ").size()), 3);
        w.clickButton("SpeedButton11", 1); // bold: cyan tags around bold text
        const rtf::RunList before = pane.runs();
        const std::string text = pane.text();
        QVERIFY(before.size() >= 4);

        w.services.expectFileDialog("styled");
        w.chooseMenuEntry("Menu14");
        w.chooseMenuEntry("Menu11"); // unchanged since the save: no question
        QCOMPARE(pane.text(), Template);
        w.services.expectFileDialog("styled");
        w.chooseMenuEntry("Menu12");
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(pane.text(), text);
        QVERIFY(pane.runs() == before);
    }

    void testReplacedCharactersAreReported() {
        MainWindowFixture w;
        w.writeFile("odd.txt", QByteArray("a\x80" "b\xFD" "c", 5));
        w.services.expectFileDialog("odd.txt");
        w.services.expectMessageBox(MessageAnswer::Ok, AppCaption);
        w.chooseMenuEntry("Menu12");
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.form->pane().text(), std::string("a?b?c"));
        QVERIFY(w.services.messageBoxes().at(0).text.find(" 2 ") != std::string::npos);
        QVERIFY(!w.form->pane().modified());
    }

    // Files given at start or dropped open as Open (a file that begins as RTF) or import (any other) would.
    void testGivenFiles_data() {
        QTest::addColumn<QString>("how"); // "start", "drop", or "text" for a drag of plain text
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("text");       // the pane's text afterwards (UTF-8)
        QTest::addColumn<QString>("titleFile");  // the file in the title, empty for none
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("reported");      // the first file's "cannot open" report
        const QString templ = QString::fromStdString(Template);
        const QString notOpened = "ほかの 2 個のファイルは開いていません（1 つのウィンドウで開ける文書は 1 つです）";
        for (const QString how : {"start", "drop"}) {
            QTest::addRow("%s, source document", qPrintable(how))
                << how << QStringList{"doc.kvd"} << "doc text" << "doc.kvd" << "" << false;
            QTest::addRow("%s, page in UTF-8", qPrintable(how))
                << how << QStringList{"page.htm"} << "<P>ページ</P>" << "" << "UTF-8 として読み込みました" << false;
            QTest::addRow("%s, plain text named .kvd", qPrintable(how))
                << how << QStringList{"plain.kvd"} << "plain" << "" << "" << false;
            QTest::addRow("%s, several", qPrintable(how)) << how << QStringList{"page.htm", "doc.kvd", "x.htm"}
                << "<P>ページ</P>" << "" << "UTF-8 として読み込みました。" + notOpened << false;
        }
        QTest::addRow("start, missing") << "start" << QStringList{"missing.kvd"} << templ << "" << "" << true;
        QTest::addRow("start, missing among several")
            << "start" << QStringList{"missing.kvd", "doc.kvd", "page.htm"} << templ << "" << notOpened << true;
        QTest::addRow("text dropped stays text") << "text" << QStringList{} << "" << "" << "" << false;
    }
    void testGivenFiles() {
        QFETCH(QString, how);
        QFETCH(QStringList, names);
        QFETCH(QString, text);
        QFETCH(QString, titleFile);
        QFETCH(QString, status);
        QFETCH(bool, reported);
        MainWindowFixture w;
        w.writeFile("doc.kvd", "{\\rtf1 doc text}");
        w.writeFile("page.htm", QString("<P>ページ</P>").toUtf8());
        w.writeFile("plain.kvd", "plain");
        QStringList paths;
        for (const QString& name : names) paths << inDir(w, name);
        if (reported) expectErrorReport(w, "ﾌｧｲﾙ " + paths.first().toStdString() + " は開けません");

        if (how == "start") {
            std::vector<std::string> files;
            for (const QString& path : paths) files.push_back(path.toStdString());
            w.form->openGivenFiles(files);
        } else if (how == "drop") {
            dropOnPane(w, filesData(paths));
        } else {
            auto* words = new QMimeData;
            words->setText("dropped words");
            dropOnPane(w, words);
            QVERIFY(w.form->pane().text().find("dropped words") != std::string::npos);
            QCOMPARE(title(w), AppCaption);
            return;
        }
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(QString::fromStdString(cp932::toUtf8(w.form->pane().text())), text);
        QCOMPARE(title(w), titleFile.isEmpty() ? AppCaption : AppCaption + " - " + inDir(w, titleFile).toStdString());
        QCOMPARE(w.form->state().SourcePath, titleFile.isEmpty() ? std::string() : inDir(w, titleFile).toStdString());
        QCOMPARE(QString::fromStdString(w.form->statusText()), status);
        QVERIFY(!w.form->pane().modified());
        // An imported page has its tags recoloured, whatever the preference: it is off at every start.
        if (text.startsWith("<P>")) QCOMPARE(w.form->pane().runs().front().format.color, std::optional<std::uint32_t>(0xFFFF00));
    }

    void testFailedOpenChangesNothing() {
        MainWindowFixture w;
        w.services.expectFileDialog("doc");
        w.chooseMenuEntry("Menu14");
        typeText(w, "x");
        const std::string changed = w.form->pane().text();
        const std::string missing = inDir(w, "missing.kvd").toStdString();
        expectSaveQuestion(w, MessageAnswer::No);
        w.services.expectFileDialog("missing");
        expectErrorReport(w, "ﾌｧｲﾙ " + missing + " は開けません");
        w.chooseMenuEntry("Menu12");
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.services.messageBoxes().back().icon, MessageIcon::Error);
        QCOMPARE(w.form->pane().text(), changed);
        QVERIFY(w.form->pane().modified());
        QCOMPARE(w.form->state().SourcePath, inDir(w, "doc.kvd").toStdString());
        QCOMPARE(title(w), AppCaption + " - " + inDir(w, "doc.kvd").toStdString());
        // The open dialog still proposes the document's own file.
        expectSaveQuestion(w, MessageAnswer::No);
        w.services.expectFileDialogCancelled();
        w.chooseMenuEntry("Menu12");
        QCOMPARE(w.services.fileDialogs().back().shown.fileName, inDir(w, "doc.kvd").toStdString());
    }

    void testSaveAsThatCannotCreateEndsTheCaller_data() {
        QTest::addColumn<bool>("viaQuestion");
        QTest::newRow("Save As") << false;
        QTest::newRow("Yes before New") << true;
    }
    void testSaveAsThatCannotCreateEndsTheCaller() {
        QFETCH(bool, viaQuestion);
        MainWindowFixture w;
        typeText(w, "x");
        const std::string changed = w.form->pane().text();
        // A regular file where the folder should be.
        w.writeFile("nofolder", "file");
        const std::string target = inDir(w, "nofolder/doc.kvd").toStdString();
        if (viaQuestion) expectSaveQuestion(w, MessageAnswer::Yes);
        w.services.expectFileDialog("nofolder/doc");
        expectErrorReport(w, "ﾌｧｲﾙ " + target + " を作成できません");
        w.chooseMenuEntry(viaQuestion ? "Menu11" : "Menu14");
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.form->pane().text(), changed);
        QVERIFY(w.form->pane().modified());
        QCOMPARE(w.form->state().SourcePath, std::string());
        QCOMPARE(title(w), AppCaption);
    }

    void testFailedWriteKeepsTheOldFile_data() {
        QTest::addColumn<bool>("saveAs");
        QTest::addColumn<int>("repeat"); // copies of a 4-character text in the document
        // Below 16 KB the bytes wait in the file's buffer until the file is committed.
        QTest::newRow("Save, buffered") << false << 400;
        QTest::newRow("Save, large") << false << 8000;
        QTest::newRow("Save As over it, buffered") << true << 400;
        QTest::newRow("Save As over it, large") << true << 8000;
    }
    void testFailedWriteKeepsTheOldFile() {
        QFETCH(bool, saveAs);
        QFETCH(int, repeat);
        MainWindowFixture w;
        w.services.expectFileDialog("doc");
        w.chooseMenuEntry("Menu14");
        const QByteArray old = readAll("doc.kvd");
        QVERIFY(old.size() < 2048);
        w.select(16, 0);
        commitText(w, QString::fromUtf8("長い本文").repeated(repeat));
        const std::string doc = inDir(w, "doc.kvd").toStdString();
        if (saveAs) {
            w.services.expectFileDialog("doc");
            w.services.expectMessageBox(MessageAnswer::Yes); // replace the existing file
        }
        expectErrorReport(w, "ｽﾄﾘｰﾑへの書き込みに失敗しました");
        {
            FileSizeLimit limit(2048);
            if (saveAs)
                w.chooseMenuEntry("Menu14");
            else
                w.clickButton("SpeedButton3", 0);
        }
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(readAll("doc.kvd"), old);
        QCOMPARE(strayFiles(w, {"doc.kvd", "QOV.tmp", "QOV.tmp.lock"}).join(","), QString());
        QVERIFY(w.form->pane().modified());
        QCOMPARE(w.form->state().SourcePath, doc);
    }

    void testSessionEnd_data() {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("mayAsk");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("unchanged, nobody to ask") << false << false << MessageAnswer::Ok << true;
        QTest::newRow("changed, nobody to ask") << true << false << MessageAnswer::Ok << false;
        QTest::newRow("changed, no") << true << true << MessageAnswer::No << true;
        QTest::newRow("changed, cancel") << true << true << MessageAnswer::Cancel << false;
    }
    void testSessionEnd() {
        QFETCH(bool, changed);
        QFETCH(bool, mayAsk);
        QFETCH(MessageAnswer, answer);
        QFETCH(bool, allowed);
        MainWindowFixture w;
        if (changed) typeText(w, "x");
        const bool asks = changed && mayAsk;
        if (asks) expectSaveQuestion(w, answer);
        QCOMPARE(w.form->documents().sessionEnding([&] { return mayAsk; }), allowed);
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.services.messageBoxes().size(), std::size_t(asks ? 1 : 0));
        // The quit that follows an allowed session end does not ask again; a
        // close after a refused one still asks.
        if (!allowed) expectSaveQuestion(w, MessageAnswer::Cancel);
        w.form->close();
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.form->isVisible(), !allowed);
    }

    void testSessionApprovalEndsWithTheNextChange() {
        MainWindowFixture w;
        typeText(w, "x");
        expectSaveQuestion(w, MessageAnswer::No);
        QVERIFY(w.form->documents().sessionEnding([] { return true; }));
        typeText(w, "y"); // the session end was cancelled elsewhere and the user went on
        expectSaveQuestion(w, MessageAnswer::Cancel);
        w.form->close();
        QVERIFY(w.services.verifyAllConsumed());
        QVERIFY(w.form->isVisible());
    }
};

QTEST_MAIN(SourceDocumentsTest)
#include "tst_sourcedocuments.moc"
