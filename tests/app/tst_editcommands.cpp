// Undo, the clipboard commands and their buttons, the key handler and the
// Edit menu's enabling, driven as a user drives the window; and the claim on
// the snapshot file when several windows start in one folder.
#include "MainWindowFixture.h"

#include "Cp932.h"
#include "TagInsertionEngine.h"

#include <QAbstractScrollArea>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QImage>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QMimeData>
#include <QGuiApplication>
#include <QSysInfo>
#include <QProcess>

using namespace vela;
using vela::test::MainWindowFixture;

namespace {
const std::string Template = "<HTML>\r\n<HEAD>\r\n\r\n</HEAD>\r\n\r\n</HTML>";
const std::string Head = "<HTML>\r\n<HEAD>\r\n";
const std::string Tail = "\r\n</HEAD>\r\n\r\n</HTML>";

QWidget* editor(MainWindowFixture& w) { return w.form->pane().widget(); }

/// The Edit menu's entries as the user sees them when it opens.
bool enabledInEditMenu(MainWindowFixture& w, const char* entry) {
    w.openAndCloseMenu("Menu20");
    return w.form->commandAction(entry)->isEnabled();
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class EditCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void testUndoAfterOneKey() {
        MainWindowFixture w;
        QVERIFY(!enabledInEditMenu(w, "Menu27"));
        QTest::keyClicks(editor(w), "x");
        QCOMPARE(w.form->pane().text(), Head + "x" + Tail);
        QVERIFY(enabledInEditMenu(w, "Menu27"));
        w.clickButton("SpeedButton6", 0);
        QCOMPARE(w.form->pane().text(), Template);
        QCOMPARE(w.form->pane().selStart(), 16);
        QCOMPARE(w.form->state().UndoAvailable, 0);
        QVERIFY(!enabledInEditMenu(w, "Menu27"));
        QTRY_VERIFY(!w.button("SpeedButton6")->isEnabled());
    }

    void testUndoAfterTypingLinesReturnsToLastEnter_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    }
    void testUndoAfterTypingLinesReturnsToLastEnter() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        MainWindowFixture w;
        QTest::keyClicks(editor(w), "abc");
        QTest::keyClick(editor(w), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTest::keyClicks(editor(w), "def");
        QTest::keyClick(editor(w), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTest::keyClicks(editor(w), "ghi");
        QCOMPARE(w.form->pane().text(), Head + "abc\r\ndef\r\nghi" + Tail);
        w.chooseMenuEntry("Menu27");
        QCOMPARE(w.form->pane().text(), Head + "abc\r\ndef" + Tail);
        QCOMPARE(w.form->pane().selStart(), 16 + 3 + 2 + 3);
        // The snapshot stays: undoing again after more typing returns to the same state.
        QTest::keyClicks(editor(w), "zz");
        w.chooseMenuEntry("Menu27");
        QCOMPARE(w.form->pane().text(), Head + "abc\r\ndef" + Tail);
    }

    void testUndoAfterTagInsertionReselects() {
        MainWindowFixture w;
        QTest::keyClicks(editor(w), "abc");
        w.select(16, 3);
        w.clickButton("SpeedButton11", 1); // bold
        QCOMPARE(w.form->pane().text(), Head + "<B>abc</B>" + Tail);
        w.chooseMenuEntry("Menu27");
        QCOMPARE(w.form->pane().text(), Head + "abc" + Tail);
        QCOMPARE(w.form->pane().selStart(), 16);
        QCOMPARE(w.form->pane().selLength(), 3);
        // The restored text keeps its look: typed white, not bold.
        QCOMPARE(w.form->pane().selColor(), TextWhite);
        QCOMPARE(w.form->pane().selStyle(), FontStyle::None);
    }

    void testCommandsCommitTheCompositionFirst() {
        MainWindowFixture w;
        auto compose = [&w](const QString& shown) {
            QInputMethodEvent event(shown, {});
            QCoreApplication::sendEvent(editor(w), &event);
        };
        compose(QStringLiteral("にほ"));
        w.clickButton("SpeedButton11", 1); // bold
        QCOMPARE(w.form->pane().text(), Head + cp932::fromUtf8("にほ<B></B>") + Tail);
        QCOMPARE(w.form->pane().selStart(), 16 + 4 + 3);
        // Undo enters the composition, then goes back to before the tags; nothing is left composing.
        compose(QStringLiteral("ご"));
        w.chooseMenuEntry("Menu27");
        QCOMPARE(w.form->pane().text(), Head + cp932::fromUtf8("にほ") + Tail);
        auto* edit = qobject_cast<QPlainTextEdit*>(editor(w));
        QVERIFY(edit->textCursor().block().layout()->preeditAreaText().isEmpty());
    }

    void testClipboardChangesUndo_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("after"); // the line typed "abcdef" after the command on "cd"
        QTest::newRow("cut") << "Menu21" << "SpeedButton4" << "abef";
        QTest::newRow("paste") << "Menu23" << "SpeedButton8" << QString::fromUtf8("ab日本ef");
        QTest::newRow("delete") << "Menu24" << "SpeedButton7" << "abef";
    }
    void testClipboardChangesUndo() {
        QFETCH(QString, entry);
        QFETCH(QString, button);
        QFETCH(QString, after);
        for (const bool viaButton : {false, true}) {
            MainWindowFixture w;
            QGuiApplication::clipboard()->setText(QString::fromUtf8("日本"));
            QTest::keyClicks(editor(w), "abcdef");
            w.select(18, 2);
            QTRY_VERIFY(w.button(button)->isEnabled());
            if (viaButton)
                w.clickButton(button, 0);
            else
                w.chooseMenuEntry(entry.toStdString());
            QCOMPARE(w.form->pane().text(), Head + cp932::fromUtf8(after.toStdString()) + Tail);
            QCOMPARE(w.form->state().UndoAvailable, 1);
            if (entry == "Menu21") QCOMPARE(QGuiApplication::clipboard()->text(), QString("cd"));
            w.chooseMenuEntry("Menu27");
            QCOMPARE(w.form->pane().text(), Head + "abcdef" + Tail);
            QCOMPARE(w.form->pane().selStart(), 18);
            QCOMPARE(w.form->pane().selLength(), 2);
        }
    }

    void testCopyAndSelectAllTakeNoSnapshot() {
        MainWindowFixture w;
        QTest::keyClicks(editor(w), "abc");
        QTest::keyClick(editor(w), Qt::Key_Return);
        w.chooseMenuEntry("Menu27"); // undo off, so nothing but copy and select all could switch it on
        const QByteArray snapshot = fileBytes("QOV.tmp"); // written once undo has it
        w.chooseMenuEntry("Menu25");
        QCOMPARE(w.form->pane().selStart(), 0);
        QCOMPARE(w.form->pane().selLength(), w.form->pane().textLength());
        QTRY_VERIFY(w.button("SpeedButton5")->isEnabled());
        w.clickButton("SpeedButton5", 0);
        QString pageText = QString::fromStdString(cp932::toUtf8(w.form->pane().text()));
        QCOMPARE(QGuiApplication::clipboard()->text(), pageText.replace("\r\n", "\n"));
        QCOMPARE(fileBytes("QOV.tmp"), snapshot);
        QCOMPARE(w.form->state().UndoSelStart, 19);
        QCOMPARE(w.form->state().UndoAvailable, 0);
        QVERIFY(!enabledInEditMenu(w, "Menu27"));
    }

    void testUndoWithoutSnapshotChangesNothing() {
        MainWindowFixture w;
        QTest::keyClicks(editor(w), "abc");
        w.select(17, 1);
        QVERIFY(QFile::remove("QOV.tmp"));
        w.services.expectMessageBox(MessageAnswer::Ok, std::string("VELA-VOVUZEZU DOZA RODORA"));
        w.chooseMenuEntry("Menu27");
        QVERIFY(w.services.verifyAllConsumed());
        QVERIFY(QString::fromStdString(w.services.messageBoxes().back().text).contains("QOV.tmp"));
        QCOMPARE(w.form->pane().text(), Head + "abc" + Tail);
        QCOMPARE(w.form->pane().selStart(), 17);
        QCOMPARE(w.form->pane().selLength(), 1);
        QCOMPARE(w.form->state().UndoAvailable, 1);
    }

    void testKeysWhitenTheSelection_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("shift") << int(Qt::Key_Shift);
        QTest::newRow("control") << int(Qt::Key_Control);
        QTest::newRow("arrow") << int(Qt::Key_Left);
        QTest::newRow("end") << int(Qt::Key_End);
    }
    void testKeysWhitenTheSelection() {
        QFETCH(int, key);
        MainWindowFixture w;
        Pane& pane = w.form->pane();
        w.select(0, 6); // "<HTML>", yellow from the default colour
        QCOMPARE(pane.selColor(), StructureYellow);
        QTest::keyClick(editor(w), Qt::Key(key));
        QCOMPARE(w.form->state().UndoAvailable, 1);
        w.select(0, 6);
        QCOMPARE(pane.selColor(), TextWhite);
        w.select(8, 6); // "<HEAD>" untouched
        QCOMPARE(pane.selColor(), StructureYellow);
    }

    void testTypingAfterColouredTagIsWhite() {
        MainWindowFixture w;
        w.select(6, 0); // right after "<HTML>"
        QTest::keyClicks(editor(w), "ab");
        w.select(6, 2);
        QCOMPARE(w.form->pane().selColor(), TextWhite);
        w.select(0, 6);
        QCOMPARE(w.form->pane().selColor(), StructureYellow);
    }

    void testWhatBecameOfInputIsToldInTheStatusBar_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("entered");
        const QString referenced = QString::fromUtf8("Shift-JIS で表せない 1 文字を文字参照 (&#x...;) にしました");
        QTest::newRow("input method") << "input method" << referenced << QByteArray("a&#x1F600;");
        QTest::newRow("typed") << "typed" << referenced << QByteArray("&#xE9;");
        QTest::newRow("paste command") << "paste command" << referenced << QByteArray("a&#x1F600;");
        QTest::newRow("Ctrl+V") << "Ctrl+V" << referenced << QByteArray("a&#x1F600;");
        QTest::newRow("Ctrl+V of a picture") << "picture" << QString::fromUtf8("テキスト以外は貼り付けられません")
                                             << QByteArray();
    }
    void testWhatBecameOfInputIsToldInTheStatusBar() {
        QFETCH(QString, way);
        QFETCH(QString, message);
        QFETCH(QByteArray, entered);
        MainWindowFixture w;
        QTest::keyClicks(editor(w), "abc");
        const std::string before = w.form->pane().text();
        const int caret = w.form->pane().selStart();
        const QString emoji = QString::fromUtf8("a😀");
        if (way == "typed") {
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(0xE9)));
            QCoreApplication::sendEvent(editor(w), &key);
        } else if (way == "input method") {
            QInputMethodEvent event;
            event.setCommitString(emoji);
            QCoreApplication::sendEvent(editor(w), &event);
        } else if (way == "picture") {
            auto* picture = new QMimeData;
            picture->setImageData(QImage(4, 4, QImage::Format_RGB32));
            QGuiApplication::clipboard()->setMimeData(picture);
            QTest::keyClick(editor(w), Qt::Key_V, Qt::ControlModifier);
        } else {
            QGuiApplication::clipboard()->setText(emoji);
            if (way == "Ctrl+V") {
                QTest::keyClick(editor(w), Qt::Key_V, Qt::ControlModifier);
            } else {
                QTRY_VERIFY(w.form->commandAction("Menu23")->isEnabled());
                w.chooseMenuEntry("Menu23");
            }
        }
        QCOMPARE(w.form->pane().text(), std::string(before).insert(std::size_t(caret), entered.toStdString()));
        QCOMPARE(QString::fromStdString(w.form->statusText()), message);
    }

    void testEditMenuEnabling() {
        MainWindowFixture w;
        QGuiApplication::clipboard()->clear();
        w.select(16, 0);
        for (const char* entry : {"Menu21", "Menu22", "Menu24", "Menu23"}) QVERIFY2(!enabledInEditMenu(w, entry), entry);
        QGuiApplication::clipboard()->setText("x");
        w.select(0, 3);
        for (const char* entry : {"Menu21", "Menu22", "Menu24", "Menu23", "Menu25", "R1"})
            QVERIFY2(enabledInEditMenu(w, entry), entry);
    }

    void testContextMenuIsTheEditMenu() {
        MainWindowFixture w;
        // A right click reaches the editing widget's viewport.
        QWidget* viewport = qobject_cast<QAbstractScrollArea*>(editor(w))->viewport();
        auto* menu = w.form->menuBar()->findChild<QMenu*>("Menu20");
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), viewport->mapToGlobal(QPoint(10, 10)));
        QCoreApplication::sendEvent(viewport, &event);
        QTRY_VERIFY(menu->isVisible());
        QVERIFY(!w.form->commandAction("Menu21")->isEnabled()); // enabled as on opening: no selection
        QTest::keyClick(menu, Qt::Key_Escape);
        QTRY_VERIFY(!menu->isVisible());
    }

    void testTwoWindowsInOneFolderKeepTheirSnapshots() {
        MainWindowFixture w;
        const QString first = QDir(w.dir.path()).filePath("QOV.tmp");
        QCOMPARE(QString::fromStdString(w.form->state().UndoFilePath), first);
        {
            TForm1 second(w.services);
            const QString secondPath = QDir(w.dir.path()).filePath("QOV-2.tmp");
            QCOMPARE(QString::fromStdString(second.state().UndoFilePath), secondPath);
            QTest::keyClicks(second.pane().widget(), "second");
            QTest::keyClick(second.pane().widget(), Qt::Key_Return);
            QTest::keyClicks(editor(w), "first");
            w.chooseMenuEntry("Menu27");
            QCOMPARE(w.form->pane().text(), Template);
            second.pane().setModified(false); // as after saving: closing asks nothing
            second.close();
            QVERIFY(!QFile::exists(secondPath));
            QVERIFY(QFile::exists(first));
        }
        // The second name is free again once its window has gone.
        TForm1 third(w.services);
        QCOMPARE(QString::fromStdString(third.state().UndoFilePath), QDir(w.dir.path()).filePath("QOV-2.tmp"));
    }

    void testStaleLockIsTakenOver() {
        QTemporaryDir dir;
        QProcess finished;
        finished.start("true");
        QVERIFY(finished.waitForStarted());
        const qint64 deadPid = finished.processId();
        QVERIFY(finished.waitForFinished());
        QFile lock(QDir(dir.path()).filePath("QOV.tmp.lock"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(deadPid) + "\nvela\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        lock.close();
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        ScriptedServices services;
        {
            TForm1 form(services);
            QCOMPARE(QString::fromStdString(form.state().UndoFilePath), QDir(dir.path()).filePath("QOV.tmp"));
        }
        QDir::setCurrent(previous);
    }

    void testUnwritableFolderUsesTemporaryFolder() {
        // Nobody, not even the administrator, can create files in /proc.
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent("/proc"));
        ScriptedServices services;
        {
            TForm1 form(services);
            const QString path = QString::fromStdString(form.state().UndoFilePath);
            QVERIFY2(path.startsWith(QDir::tempPath() + "/QOV"), qPrintable(path));
            QTest::keyClicks(form.pane().widget(), "abc");
            QTest::keyClick(form.pane().widget(), Qt::Key_Return);
            QTest::keyClicks(form.pane().widget(), "def");
            form.commandAction("Menu27")->trigger();
            QCOMPARE(form.pane().text(), Head + "abc" + Tail);
            form.pane().setModified(false); // as after saving: closing asks nothing
            form.close();
            QVERIFY(!QFile::exists(path));
        }
        QVERIFY(services.verifyAllConsumed());
        QDir::setCurrent(previous);
    }

    void testLongSnapshotPath() {
        QTemporaryDir dir;
        const QString deep = QDir(dir.path()).filePath(QString(60, 'a') + "/" + QString(60, QChar(0x65E5)) + "/" + QString(40, 'c'));
        QVERIFY(QDir().mkpath(deep));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(deep);
        ScriptedServices services;
        {
            TForm1 form(services);
            QVERIFY(QString::fromStdString(form.state().UndoFilePath).size() > 144);
            QVERIFY(QString::fromStdString(form.state().UndoFilePath).startsWith(deep));
            QTest::keyClicks(form.pane().widget(), "x");
            form.commandAction("Menu27")->trigger();
            QCOMPARE(form.pane().text(), Template);
        }
        QVERIFY(services.verifyAllConsumed());
        QDir::setCurrent(previous);
    }
};

QTEST_MAIN(EditCommandsTest)
#include "tst_editcommands.moc"
