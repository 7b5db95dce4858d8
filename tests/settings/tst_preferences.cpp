// The settings file as the preferences dialog and the mail address prompt
// write it, and as the document set-up reads it back.
#include "../app/MainWindowFixture.h"

#include "AppError.h"
#include "Cp932.h"
#include "IniProfile.h"
#include "UserActions.h"

#include <QCheckBox>
#include <QPushButton>

using namespace vela;
using vela::test::MainWindowFixture;

namespace {

std::string iniValue(const char* section, const char* key) {
    return ini::readString(QDir::current().absoluteFilePath("MARVOK.INI").toStdString(), section, key, "<none>");
}

/// Opens the preferences from the options menu; `script` acts on the dialog.
void runPreferences(MainWindowFixture& w, const ScriptedServices::Script& script) {
    w.services.expectModal(script);
    w.chooseMenuEntry("KS1");
}

bool ticked(QDialog& dialog, const char* name) { return dialog.findChild<QCheckBox*>(name)->isChecked(); }

/// What the boxes showed when the dialog opened, as "1" / "0" for CheckBox1, 3, 2.
QString boxesShown(MainWindowFixture& w) {
    QString shown;
    runPreferences(w, [&](QDialog& d) {
        for (const char* box : {"CheckBox1", "CheckBox3", "CheckBox2"}) shown += ticked(d, box) ? "1" : "0";
        user::click(d, "Button2");
    });
    return shown;
}

} // namespace

class PreferencesTest : public QObject {
    Q_OBJECT

private slots:
    void testDialogLayout() {
        MainWindowFixture w;
        runPreferences(w, [](QDialog& d) {
            QCOMPARE(d.windowTitle(), QString::fromUtf8("環境設定"));
            QCOMPARE(d.size(), QSize(427, 159));
            QCOMPARE(d.font().pixelSize(), 12);
            const struct {
                const char* name;
                QRect geometry;
                const char* caption;
            } controls[] = {
                {"CheckBox1", {8, 16, 393, 17}, "改行・段落タグ貼り付け後、改行する"},
                {"CheckBox3", {8, 40, 401, 17}, "画像ファイル選択時、パスを取り除いてファイル名のみを貼り付ける"},
                {"CheckBox2", {8, 64, 401, 17}, "HTMLファイル読み込み時、自動的にリフレッシュを実行"},
                {"Button1", {328, 96, 89, 25}, "OK"},
                {"Button2", {328, 128, 89, 25}, "キャンセル"},
            };
            for (const auto& c : controls) {
                auto* button = d.findChild<QAbstractButton*>(c.name);
                QVERIFY2(button, c.name);
                QCOMPARE(button->geometry(), c.geometry);
                QCOMPARE(button->text(), QString::fromUtf8(c.caption));
            }
            QStringList order;
            QWidget* widget = d.findChild<QWidget*>("CheckBox1");
            for (int i = 0; i < 5; ++i, widget = widget->nextInFocusChain()) {
                while (widget->focusPolicy() == Qt::NoFocus || widget->objectName().isEmpty())
                    widget = widget->nextInFocusChain();
                order << widget->objectName();
            }
            QCOMPARE(order, QStringList({"CheckBox1", "CheckBox3", "Button1", "Button2", "CheckBox2"}));
            user::click(d, "Button2");
        });
        QVERIFY(w.services.verifyAllConsumed());
    }

    void testBoxesShowSwitchesThatAreOne_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("shown"); // CheckBox1, CheckBox3, CheckBox2
        QTest::newRow("no file") << QByteArray() << "000";
        QTest::newRow("line break on") << QByteArray("[SW]\r\nSTI1=1\r\n") << "100";
        QTest::newRow("file name only on") << QByteArray("[sw]\r\nsti3=0x1\r\n") << "010";
        QTest::newRow("2 counts as off") << QByteArray("[SW]\r\nSTI1=2\r\nSTI3=-1\r\n") << "000";
        QTest::newRow("not a number") << QByteArray("[SW]\r\nSTI1=yes\r\n") << "000";
    }
    void testBoxesShowSwitchesThatAreOne() {
        QFETCH(QByteArray, file);
        QFETCH(QString, shown);
        MainWindowFixture w(file);
        QCOMPARE(boxesShown(w), shown);
        QVERIFY(w.services.verifyAllConsumed());
    }

    void testSwitchesWrittenAfterEveryClose_data() {
        QTest::addColumn<QString>("closeBy"); // OK, Cancel, Esc or the close box
        QTest::addColumn<QByteArray>("sti1");
        QTest::addColumn<QByteArray>("sti2");
        QTest::addColumn<QByteArray>("sti3");
        QTest::addColumn<int>("autoRefresh");
        // The file holds STI1=2 and STI2=0; the user ticks CheckBox3 and CheckBox2 each time.
        QTest::newRow("OK") << "Button1" << QByteArray("0") << QByteArray("1") << QByteArray("1") << 1;
        QTest::newRow("Cancel") << "Button2" << QByteArray("2") << QByteArray("0") << QByteArray("0") << 0;
        QTest::newRow("Esc") << "Esc" << QByteArray("2") << QByteArray("0") << QByteArray("0") << 0;
        QTest::newRow("close box") << "close" << QByteArray("2") << QByteArray("0") << QByteArray("0") << 0;
    }
    void testSwitchesWrittenAfterEveryClose() {
        QFETCH(QString, closeBy);
        QFETCH(QByteArray, sti1);
        QFETCH(QByteArray, sti2);
        QFETCH(QByteArray, sti3);
        QFETCH(int, autoRefresh);
        MainWindowFixture w("; mine\r\n[SW]\r\nSTI1=2\r\nSTI2=0\r\n[MAIL]\r\nADD=a@b.jp\r\n");
        runPreferences(w, [&](QDialog& d) {
            user::setChecked(d, "CheckBox3", true);
            user::setChecked(d, "CheckBox2", true);
            if (closeBy == "Esc")
                user::pressEscape(d);
            else if (closeBy == "close")
                user::closeByCloseBox(d);
            else
                user::click(d, closeBy);
        });
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(QByteArray::fromStdString(iniValue("SW", "STI1")), sti1);
        QCOMPARE(QByteArray::fromStdString(iniValue("SW", "STI2")), sti2);
        QCOMPARE(QByteArray::fromStdString(iniValue("SW", "STI3")), sti3);
        QCOMPARE(w.form->state().AutoRefreshOnImport, autoRefresh);
        // Everything else of the file stays.
        QCOMPARE(iniValue("MAIL", "ADD"), std::string("a@b.jp"));
        QFile file("MARVOK.INI");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("; mine\r\n[SW]\r\n"));
    }

    void testAutoRefreshLivesForTheRunOnly() {
        {
            MainWindowFixture w;
            runPreferences(w, [](QDialog& d) {
                user::setChecked(d, "CheckBox2", true);
                user::click(d, "Button1");
            });
            w.chooseMenuEntry("Menu11"); // New rereads the file, which does not hold it
            QCOMPARE(w.form->state().AutoRefreshOnImport, 1);
            QCOMPARE(boxesShown(w), QString("001"));
            QCOMPARE(iniValue("SW", "STI1"), std::string("0"));
            QVERIFY(w.services.verifyAllConsumed());
        }
        MainWindowFixture restarted;
        QCOMPARE(restarted.form->state().AutoRefreshOnImport, 0);
    }

    void testMailAddress_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("answer"); // "<cancel>" presses Esc
        QTest::addColumn<QByteArray>("preset");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("afterNew");
        const QByteArray old = "[MAIL]\r\nADD=old@example.jp\r\n";
        QTest::newRow("new address") << old << "me@example.jp" << QByteArray("old@example.jp")
                                     << QByteArray("me@example.jp") << QByteArray("me@example.jp");
        QTest::newRow("no file yet") << QByteArray() << "me@example.jp" << QByteArray() << QByteArray("me@example.jp")
                                     << QByteArray("me@example.jp");
        QTest::newRow("empty address") << old << "" << QByteArray("old@example.jp") << QByteArray() << QByteArray();
        QTest::newRow("ERROR reads as none") << old << "ERROR" << QByteArray("old@example.jp")
                                             << QByteArray("ERROR") << QByteArray();
        QTest::newRow("cancel writes the preset") << old << "<cancel>" << QByteArray("old@example.jp")
                                                  << QByteArray("old@example.jp") << QByteArray("old@example.jp");
        QTest::newRow("cancel without file") << QByteArray() << "<cancel>" << QByteArray() << QByteArray()
                                             << QByteArray();
        QTest::newRow("Japanese") << old << "山田@example.jp" << QByteArray("old@example.jp")
                                  << QByteArray::fromStdString(cp932::fromUtf8("山田@example.jp"))
                                  << QByteArray::fromStdString(cp932::fromUtf8("山田@example.jp"));
    }
    void testMailAddress() {
        QFETCH(QByteArray, file);
        QFETCH(QString, answer);
        QFETCH(QByteArray, preset);
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, afterNew);
        for (const bool viaButton : {false, true}) {
            MainWindowFixture w(file);
            if (answer == "<cancel>")
                w.services.expectPromptCancelled();
            else
                w.services.expectPrompt(cp932::fromUtf8(answer.toStdString()));
            if (viaButton)
                w.clickButton("SpeedButton10", 0);
            else
                w.chooseMenuEntry("Menu26");
            QVERIFY(w.services.verifyAllConsumed());
            const auto& prompt = w.services.prompts().at(0);
            QCOMPARE(prompt.caption, std::string("メールアドレスを入力して下さい"));
            QCOMPARE(prompt.prompt, std::string("メールアドレス登録"));
            QCOMPARE(QByteArray::fromStdString(prompt.preset), preset);
            QCOMPARE(QByteArray::fromStdString(iniValue("MAIL", "ADD")), stored);
            w.chooseMenuEntry("Menu11");
            QCOMPARE(QByteArray::fromStdString(w.form->state().MailAddress), afterNew);
        }
    }

    void testNewReadsTheFolderAFileDialogMovedTo() {
        MainWindowFixture w("[SW]\r\nSTI1=1\r\nSTI3=1\r\n[MAIL]\r\nADD=me@example.jp\r\n");
        QVERIFY(QDir().mkdir("sub"));
        w.services.expectFileDialog("sub/doc");
        w.chooseMenuEntry("Menu14");
        QCOMPARE(QDir::currentPath(), QDir(w.dir.path()).filePath("sub"));

        w.chooseMenuEntry("Menu11");
        const EditorState& s = w.form->state();
        QCOMPARE(s.LineBreakAfterTag, 0);
        QCOMPARE(s.ImageFileNameOnly, 0);
        QCOMPARE(s.MailAddress, std::string());
        QCOMPARE(boxesShown(w), QString("000"));
        QVERIFY(QFile::exists("MARVOK.INI")); // the cancelled dialog wrote the folder's own file
        w.services.expectPrompt("sub@example.jp");
        w.chooseMenuEntry("Menu26");
        QCOMPARE(iniValue("MAIL", "ADD"), std::string("sub@example.jp"));
        QVERIFY(w.services.verifyAllConsumed());
        // The first folder's file is as it was.
        QCOMPARE(ini::readString(QDir(w.dir.path()).filePath("MARVOK.INI").toStdString(), "MAIL", "ADD", ""),
                 std::string("me@example.jp"));
    }

    void testWriteFailureIsReported_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("preferences") << "KS1";
        QTest::newRow("mail address") << "Menu26";
    }
    void testWriteFailureIsReported() {
        QFETCH(QString, command);
        MainWindowFixture w;
        // A folder where the file should be: no one can write it, not even root.
        QVERIFY(QDir().mkdir("MARVOK.INI"));
        const std::string path = QDir::current().absoluteFilePath("MARVOK.INI").toStdString();
        if (command == "KS1") {
            w.services.expectModal([](QDialog& d) {
                user::setChecked(d, "CheckBox1", true);
                user::click(d, "Button1");
            });
        } else {
            w.services.expectPrompt("me@example.jp");
        }
        w.services.expectMessageBox(MessageAnswer::Ok, std::string("VELA-VOVUZEZU DOZA RODORA"),
                                    errorReportText(path + " に書き込めません"));
        w.chooseMenuEntry(command.toStdString());
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.services.messageBoxes().at(0).icon, MessageIcon::Error);
        // What the user chose stays in memory.
        if (command == "KS1")
            QCOMPARE(w.form->state().LineBreakAfterTag, 1);
        else
            QCOMPARE(w.form->state().MailAddress, std::string("me@example.jp"));
    }
};

QTEST_MAIN(PreferencesTest)
#include "tst_preferences.moc"
