// Platform services: the scripted services' own checks, the input prompt
// driven as a user drives it, file dialog rules and the error report.
#include "AppError.h"
#include "Cp932.h"
#include "FileDialogRules.h"
#include "InputPrompt.h"
#include "JapaneseUi.h"
#include "ModalWindowsStayShown.h"
#include "ScriptedServices.h"
#include "TestSupport.h"
#include "UserActions.h"

#include <QCheckBox>
#include <QDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace vela;

namespace {
std::string sjis(const char* utf8) { return cp932::fromUtf8(utf8); }

void touch(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

/// A dialog whose activation handler starts a timer that closes it, as the splash does.
class SelfClosingDialog : public QDialog {
public:
    int activations = 0;
    int ticks = 0;
    SelfClosingDialog() {
        timer.setInterval(30);
        connect(&timer, &QTimer::timeout, this, [this] {
            if (++ticks == 2) accept();
        });
    }

protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::WindowActivate && ++activations == 1) timer.start();
        return QDialog::event(e);
    }

private:
    QTimer timer;
};
} // namespace

Q_DECLARE_METATYPE(MessageAnswer)

class TestServices : public QObject {
    Q_OBJECT
    QString startDir;

private slots:
    void initTestCase() { startDir = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(startDir); }

    void testUnexpectedDialogsAreRecordedFailures() {
        ScriptedServices services;
        services.setReportToQTest(false);
        std::string value = "x";
        QCOMPARE(services.messageBox("確認", "本文", MessageButtons::YesNoCancel, MessageIcon::None),
                 MessageAnswer::Cancel);
        QVERIFY(!services.inputQuery("c", "p", value));
        QCOMPARE(value, std::string("x"));
        FileDialog dialog;
        QVERIFY(!services.executeFileDialog(dialog));
        QDialog modal;
        QCOMPARE(services.showModal(modal), int(QDialog::Rejected));
        QCOMPARE(services.failures().size(), 4);
        QVERIFY(services.failures()[0].contains(QStringLiteral("unexpected message box \"確認\"")));
        QVERIFY(services.failures()[1].contains(QStringLiteral("unexpected prompt")));
        QVERIFY(services.failures()[2].contains(QStringLiteral("unexpected file dialog")));
        QVERIFY(services.failures()[3].contains(QStringLiteral("unexpected modal window")));
    }

    void testExpectedDialogsNeverShownFailVerification() {
        ScriptedServices services;
        services.setReportToQTest(false);
        services.expectMessageBox(MessageAnswer::Ok);
        services.expectPrompt("a");
        services.expectFileDialogCancelled();
        services.expectModal([](QDialog&) {});
        QVERIFY(!services.verifyAllConsumed());
        QCOMPARE(services.failures().size(), 4);
        QVERIFY(services.failures()[0].contains(QStringLiteral("message box")));
        QVERIFY(services.failures()[3].contains(QStringLiteral("never shown")));
        // Leftovers are reported once, not again by the destructor.
        QVERIFY(!services.verifyAllConsumed());
        QCOMPARE(services.failures().size(), 4);
    }

    void testMessageBoxChecksCaptionTextAndButtons() {
        ScriptedServices services;
        services.setReportToQTest(false);
        services.expectMessageBox(MessageAnswer::Yes, "確認", "内容が変更されています。保存しますか？");
        QCOMPARE(services.messageBox("確認", "内容が変更されています。保存しますか？", MessageButtons::YesNoCancel,
                                     MessageIcon::None),
                 MessageAnswer::Yes);
        QVERIFY(services.verifyAllConsumed());
        services.expectMessageBox(MessageAnswer::Yes, "別");
        QCOMPARE(services.messageBox("確認", "t", MessageButtons::Ok, MessageIcon::None), MessageAnswer::Ok);
        QCOMPARE(services.failures().size(), 2); // caption differs, and an OK box has no Yes
        QCOMPARE(services.messageBoxes().size(), std::size_t(2));
    }

    void testScriptLeavingDialogOpenFailsAndCloses() {
        ScriptedServices services;
        services.setReportToQTest(false);
        QDialog dialog;
        services.expectModal([](QDialog&) {});
        QCOMPARE(services.showModal(dialog), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(services.failures().size(), 1);
        QVERIFY(services.failures()[0].contains(QStringLiteral("left modal window")));
    }

    void testModalRunsActivationHandlerAndTimers() {
        ScriptedServices services;
        SelfClosingDialog dialog;
        services.expectModal([](QDialog& shown) { user::waitUntilClosed(shown, 5000); });
        QCOMPARE(services.showModal(dialog), int(QDialog::Accepted));
        QVERIFY(dialog.activations >= 1);
        QCOMPARE(dialog.ticks, 2);
        QVERIFY(services.verifyAllConsumed());
    }

    void testModalScriptClicksAndChecks() {
        ScriptedServices services;
        QDialog dialog;
        auto* box = new QCheckBox(QStringLiteral("x"), &dialog);
        box->setObjectName(QStringLiteral("CheckBox1"));
        auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
        ok->setObjectName(QStringLiteral("Button1"));
        ok->move(0, 30);
        connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        services.expectModal([](QDialog& shown) {
            user::setChecked(shown, QStringLiteral("CheckBox1"), true);
            user::click(shown, QStringLiteral("Button1"));
        });
        QCOMPARE(services.showModal(dialog), int(QDialog::Accepted));
        QVERIFY(box->isChecked());
    }

    // The prompt: the real window, acted on through its widgets.
    void testPromptAnswers_data() {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("referenced"); // in the last notice: one per character typed
        QTest::newRow("OK with text") << "old" << "ok" << "新しい値" << true << "新しい値" << 0;
        QTest::newRow("OK empty") << "old" << "ok" << "" << true << "" << 0;
        QTest::newRow("OK keeps preset") << "ﾌﾟﾘｾｯﾄ" << "ok-untouched" << "" << true << "ﾌﾟﾘｾｯﾄ" << 0;
        QTest::newRow("Enter is OK") << "" << "enter" << "abc" << true << "abc" << 0;
        QTest::newRow("Esc") << "old" << "esc" << "typed" << false << "old" << 0;
        QTest::newRow("Cancel button") << "old" << "cancel" << "typed" << false << "old" << 0;
        QTest::newRow("close box") << "old" << "closebox" << "typed" << false << "old" << 0;
        QTest::newRow("typing replaces selected preset") << "old" << "type-ok" << "x" << true << "x" << 0;
        QTest::newRow("JIS wave dash and minus of other programs") << "" << "ok" << "10時〜12時 −5℃" << true
                                                                 << "10時～12時 －5℃" << 0;
        QTest::newRow("emoji and hangul as references") << "" << "ok" << "a😀b한c" << true << "a&#x1F600;b&#xD55C;c" << 1;
    }
    void testPromptAnswers() {
        QFETCH(QString, preset);
        QFETCH(QString, action);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(QString, value);
        QFETCH(int, referenced);
        std::string notice;
        Cp932Validator::setNoticeHandler([&notice](const std::string& message) { notice = message; });
        ScriptedServices services;
        services.expectModal([&](QDialog& dialog) {
            const QString edit = QStringLiteral("Edit");
            if (action == QLatin1String("type-ok")) user::typeInto(dialog, edit, typed);
            else if (action != QLatin1String("ok-untouched")) user::replaceText(dialog, edit, typed);
            if (action.contains(QLatin1String("ok"))) user::click(dialog, QStringLiteral("OkButton"));
            else if (action == QLatin1String("enter")) user::pressEnter(dialog);
            else if (action == QLatin1String("esc")) user::pressEscape(dialog);
            else if (action == QLatin1String("cancel")) user::click(dialog, QStringLiteral("CancelButton"));
            else user::closeByCloseBox(dialog);
        });
        std::string text = cp932::fromUtf8(preset.toStdString());
        QCOMPARE(runInputPrompt(services, "題", "入力して下さい", text), accepted);
        QCOMPARE(QString::fromStdString(cp932::toUtf8(text)), value);
        Cp932Validator::setNoticeHandler({});
        QCOMPARE(notice, referenced ? "Shift-JIS で表せない " + std::to_string(referenced) + " 文字を文字参照 (&#x...;) にしました"
                                    : std::string());
    }

    void testPromptOpensWithPresetSelectedAndLimit() {
        ScriptedServices services;
        QString selected, caption, label;
        int maxLength = 0;
        services.expectModal([&](QDialog& dialog) {
            auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("Edit"));
            selected = edit->selectedText();
            maxLength = edit->maxLength();
            caption = dialog.windowTitle();
            label = dialog.findChild<QLabel*>(QStringLiteral("Label"))->text();
            user::pressEscape(dialog);
        });
        std::string value = sjis("メール@例");
        QVERIFY(!runInputPrompt(services, "メールアドレスを入力して下さい", "メールアドレス登録", value));
        QCOMPARE(selected, QStringLiteral("メール@例"));
        QCOMPARE(maxLength, 255);
        QCOMPARE(caption, QStringLiteral("メールアドレスを入力して下さい"));
        QCOMPARE(label, QStringLiteral("メールアドレス登録"));
    }

    void testPromptRefuses256thCharacter() {
        ScriptedServices services;
        services.expectModal([](QDialog& dialog) {
            user::replaceText(dialog, QStringLiteral("Edit"), QString(254, QLatin1Char('a')) + QStringLiteral("字zz"));
            user::click(dialog, QStringLiteral("OkButton"));
        });
        std::string value;
        QVERIFY(runInputPrompt(services, "c", "p", value));
        QCOMPARE(value, std::string(254, 'a') + sjis("字"));
    }

    void testPromptKeepsLongerPresetWhole() {
        ScriptedServices services;
        services.expectModal([](QDialog& dialog) { user::click(dialog, QStringLiteral("OkButton")); });
        std::string value(300, 'm');
        QVERIFY(runInputPrompt(services, "c", "p", value));
        QCOMPARE(value.size(), std::size_t(300));
    }

    void testPromptGeometryInDialogUnits() {
        InputPrompt prompt("題", "入力", "");
        QFont font = prompt.font();
        auto du = [&](int x, int y) { return InputPrompt::dialogUnitsToPixels(font, x, y); };
        QCOMPARE(prompt.size(), QSize(du(180, 63).x(), du(180, 63).y()));
        QCOMPARE(prompt.minimumSize(), prompt.maximumSize());
        auto* ok = prompt.findChild<QPushButton*>(QStringLiteral("OkButton"));
        auto* cancel = prompt.findChild<QPushButton*>(QStringLiteral("CancelButton"));
        QCOMPARE(ok->geometry(), QRect(du(38, 41), QSize(du(50, 0).x(), du(0, 14).y())));
        QCOMPARE(cancel->pos(), du(92, 41));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(cancel->text(), QStringLiteral("ｷｬﾝｾﾙ"));
        QVERIFY(ok->isDefault());
        auto* edit = prompt.findChild<QLineEdit*>(QStringLiteral("Edit"));
        QCOMPARE(edit->pos(), du(8, 19));
        QCOMPARE(edit->width(), du(164, 0).x());
    }

    void testScriptedInputQueryUsesThePromptWindow() {
        ScriptedServices services;
        services.expectPrompt(sjis("答え"));
        services.expectPromptCancelled();
        std::string value = sjis("前");
        QVERIFY(services.inputQuery("題", "入力", value));
        QCOMPARE(value, sjis("答え"));
        QVERIFY(!services.inputQuery("題", "入力", value));
        QCOMPARE(value, sjis("答え"));
        QCOMPARE(services.prompts().size(), std::size_t(2));
        QCOMPARE(services.prompts()[0].preset, sjis("前"));
        QCOMPARE(services.prompts()[1].preset, sjis("答え"));
    }

    // File dialogs.
    void testDefaultExtension_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("expected");
        QTest::newRow("bare name") << "page" << "kvd" << "page.kvd";
        QTest::newRow("other extension kept") << "page.txt" << "kvd" << "page.txt";
        QTest::newRow("same extension kept") << "page.kvd" << "kvd" << "page.kvd";
        QTest::newRow("dotted folder") << "dir.x/page" << "kvd" << "dir.x/page.kvd";
        QTest::newRow("no default extension") << "page" << "" << "page";
        QTest::newRow("japanese name") << "頁" << "htm" << "頁.htm";
    }
    void testDefaultExtension() {
        QFETCH(QString, typed);
        QFETCH(QString, ext);
        QFETCH(QString, expected);
        QTemporaryDir tmp;
        QVERIFY(QDir(tmp.path()).mkdir(QStringLiteral("dir.x")));
        ScriptedServices services;
        services.expectFileDialog(typed.toStdString());
        FileDialog dialog;
        dialog.kind = FileDialog::Kind::Save;
        dialog.defaultExt = ext.toStdString();
        dialog.fileName = (tmp.path() + QStringLiteral("/old.kvd")).toStdString();
        QVERIFY(services.executeFileDialog(dialog));
        QCOMPARE(QString::fromStdString(dialog.fileName), tmp.path() + QLatin1Char('/') + expected);
    }

    void testChosenFolderBecomesCurrentDirectory() {
        QTemporaryDir tmp;
        QVERIFY(QDir(tmp.path()).mkdir(QStringLiteral("sub")));
        QDir::setCurrent(tmp.path());
        ScriptedServices services;
        services.expectFileDialog("sub/a.htm");
        services.expectFileDialog("b");
        FileDialog dialog;
        dialog.defaultExt = "htm";
        QVERIFY(services.executeFileDialog(dialog));
        QCOMPARE(QDir::currentPath(), QDir(tmp.path() + QStringLiteral("/sub")).canonicalPath());
        // The next relative name resolves against the remembered file's folder.
        QVERIFY(services.executeFileDialog(dialog));
        QCOMPARE(QString::fromStdString(dialog.fileName), tmp.path() + QStringLiteral("/sub/b.htm"));
        QCOMPARE(services.fileDialogs()[1].shown.fileName, (tmp.path() + QStringLiteral("/sub/a.htm")).toStdString());
    }

    void testCancelKeepsRememberedName() {
        ScriptedServices services;
        services.expectFileDialogCancelled();
        FileDialog dialog;
        dialog.fileName = "/nowhere/x.kvd";
        QString before = QDir::currentPath();
        QVERIFY(!services.executeFileDialog(dialog));
        QCOMPARE(dialog.fileName, std::string("/nowhere/x.kvd"));
        QCOMPARE(QDir::currentPath(), before);
    }

    void testOverwriteQuestion_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("caption");
        QTest::newRow("default title") << "" << "名前を付けて保存";
        QTest::newRow("own title") << "HTMLファイル(*.htm)の作成" << "HTMLファイル(*.htm)の作成";
    }
    void testOverwriteQuestion() {
        QFETCH(QString, title);
        QFETCH(QString, caption);
        QTemporaryDir tmp;
        const QString existing = tmp.path() + QStringLiteral("/page.htm");
        touch(existing);
        ScriptedServices services;
        // "page" becomes the existing page.htm: asked; No goes back to the dialog.
        services.expectFileDialog((tmp.path() + QStringLiteral("/page")).toStdString());
        services.expectMessageBox(MessageAnswer::No, caption.toStdString(),
                                  (existing + QStringLiteral(" は既に存在します。\n上書きしますか?")).toStdString());
        services.expectFileDialog(existing.toStdString());
        services.expectMessageBox(MessageAnswer::Yes);
        FileDialog dialog;
        dialog.kind = FileDialog::Kind::Save;
        dialog.defaultExt = "htm";
        dialog.title = title.toStdString();
        dialog.overwritePrompt = true;
        QVERIFY(services.executeFileDialog(dialog));
        QCOMPARE(QString::fromStdString(dialog.fileName), existing);
        QCOMPARE(services.messageBoxes()[0].buttons, MessageButtons::YesNo);
    }

    void testNoOverwriteQuestionWithoutThePromptOrForNewFile() {
        QTemporaryDir tmp;
        touch(tmp.path() + QStringLiteral("/a.kvd"));
        ScriptedServices services; // any message box would fail the test
        services.expectFileDialog((tmp.path() + QStringLiteral("/a.kvd")).toStdString());
        services.expectFileDialog((tmp.path() + QStringLiteral("/new")).toStdString());
        FileDialog dialog;
        dialog.kind = FileDialog::Kind::Save;
        dialog.defaultExt = "kvd";
        QVERIFY(services.executeFileDialog(dialog));
        dialog.overwritePrompt = true;
        QVERIFY(services.executeFileDialog(dialog));
    }

    void testOpenOfMissingFile() {
        QTemporaryDir tmp;
        const QString missing = tmp.path() + QStringLiteral("/missing.kvd");
        touch(tmp.path() + QStringLiteral("/there.kvd"));
        QDir::setCurrent(tmp.path());
        ScriptedServices services;
        services.expectFileDialog(missing.toStdString());
        services.expectMessageBox(MessageAnswer::Ok, "開く",
                                  (missing + QStringLiteral("\nファイルが見つかりません。")).toStdString());
        services.expectFileDialog("there");
        FileDialog dialog;
        dialog.defaultExt = "kvd";
        dialog.fileMustExist = true;
        QVERIFY(services.executeFileDialog(dialog));
        QCOMPARE(QString::fromStdString(dialog.fileName), tmp.path() + QStringLiteral("/there.kvd"));
        // Without the option a missing name is handed back as chosen.
        services.expectFileDialog(missing.toStdString());
        dialog.fileMustExist = false;
        QVERIFY(services.executeFileDialog(dialog));
        QCOMPARE(QString::fromStdString(dialog.fileName), missing);
    }

    void testQtNameFilters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        // A description that names its pattern at the end shows as written.
        QTest::newRow("one") << "Ver.2.xソースファイル(*.kvd)|*.kvd"
                             << QStringList{QStringLiteral("Ver.2.xソースファイル(*.kvd)")};
        QTest::newRow("two") << "GIF files(*.gif)|*.gif|JPEG files(*.jpg)|*.jpg"
                             << QStringList{QStringLiteral("GIF files(*.gif)"), QStringLiteral("JPEG files(*.jpg)")};
        QTest::newRow("blank before the pattern") << "HTML files (*.htm)|*.htm"
                                                  << QStringList{QStringLiteral("HTML files (*.htm)")};
        QTest::newRow("another pattern named") << "HTML(*.htm)|*.html" << QStringList{QStringLiteral("HTML(*.htm) (*.html)")};
        QTest::newRow("several patterns") << "HTML|*.htm;*.html" << QStringList{QStringLiteral("HTML (*.htm *.html)")};
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("dangling description") << "a|*.a|b" << QStringList{QStringLiteral("a (*.a)")};
    }
    void testQtNameFilters() {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(qtNameFilters(filter.toStdString()), expected);
    }

    // The error report and the guard.
    void testErrorReport_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("japanese gets a dot") << "ﾌｧｲﾙ /a/b は開けません" << "ﾌｧｲﾙ /a/b は開けません.";
        QTest::newRow("dot kept") << "Error." << "Error.";
        QTest::newRow("comma kept") << "a," << "a,";
        QTest::newRow("letter gets a dot") << "abc" << "abc.";
    }
    void testErrorReport() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        ScriptedServices services;
        services.expectMessageBox(MessageAnswer::Ok, "VELA-VOVUZEZU DOZA RODORA", shown.toStdString());
        showErrorReport(services, message.toStdString());
        QCOMPARE(services.messageBoxes().at(0).icon, MessageIcon::Error);
        QCOMPARE(services.messageBoxes().at(0).buttons, MessageButtons::Ok);
    }

    void testRunGuardedReportsEveryException_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("shown");
        QTest::newRow("AppError") << 0 << "ﾃﾞﾌｫﾙﾄ ﾌﾟﾘﾝﾀが存在しません.";
        QTest::newRow("std exception") << 1 << "boom.";
        QTest::newRow("anything else") << 2 << "不明なエラーが発生しました.";
    }
    void testRunGuardedReportsEveryException() {
        QFETCH(int, kind);
        QFETCH(QString, shown);
        ScriptedServices services;
        services.expectMessageBox(MessageAnswer::Ok, "VELA-VOVUZEZU DOZA RODORA", shown.toStdString());
        bool after = false;
        runGuarded(services, [&] {
            if (kind == 0) throw AppError("ﾃﾞﾌｫﾙﾄ ﾌﾟﾘﾝﾀが存在しません");
            if (kind == 1) throw std::runtime_error("boom");
            throw 42;
            after = true;
        });
        QVERIFY(!after);
    }

    void testRunGuardedWithoutErrorShowsNothing() {
        ScriptedServices services;
        int ran = 0;
        runGuarded(services, [&] { ++ran; });
        QCOMPARE(ran, 1);
    }

    void testDeleteFile() {
        QTemporaryDir tmp;
        const QString file = tmp.path() + QStringLiteral("/QOV.tmp");
        touch(file);
        ScriptedServices services;
        services.deleteFile(file.toStdString());
        QVERIFY(!QFile::exists(file));
        services.deleteFile(file.toStdString()); // missing: no error
        QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("full/x")));
        QVERIFY_THROWS_EXCEPTION(AppError, services.deleteFile((tmp.path() + QStringLiteral("/full")).toStdString()));
    }

    void testMinimizedModalWindowIsShownAgain() {
        const ModalWindowsStayShown keeper;
        QDialog dialog;
        dialog.setModal(true);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.setWindowState(Qt::WindowMinimized); // as a window manager's minimize button does
        QTRY_VERIFY(!dialog.isMinimized());
        QVERIFY(dialog.isVisible());
        QWidget modeless;
        modeless.show();
        modeless.setWindowState(Qt::WindowMinimized);
        QTest::qWait(20);
        QVERIFY(modeless.isMinimized());
    }

    void testJapaneseFontIsSubstituted() {
        QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
        VELA_REQUIRE_TOOL(!japanese.isEmpty(), "no Japanese font installed");
        QString used = QFontInfo(japaneseUiFont(9)).family();
        QVERIFY2(japanese.contains(used, Qt::CaseInsensitive), qPrintable(used));
        QVERIFY(japanese.contains(QFont::substitute(QStringLiteral("ＭＳ Ｐゴシック")), Qt::CaseInsensitive));
    }
};

QTEST_MAIN(TestServices)
#include "tst_services.moc"
