// The prompted tag commands, the mail form and the date-and-time text, run
// through the real window with the prompt answered as a user would.
#include "../app/MainWindowFixture.h"

#include "Cp932.h"
#include "DateTimeText.h"
#include "TagInsertionEngine.h"

#include <QLocale>

using namespace vela;
using vela::test::MainWindowFixture;

namespace {
// The template with "abc" typed on its empty line, "abc" selected.
const std::string Head = "<HTML>\r\n<HEAD>\r\n";
const std::string Tail = "\r\n</HEAD>\r\n\r\n</HTML>";
constexpr int Line = 16; // the template's empty line

std::string sj(const QString& utf8) { return cp932::fromUtf8(utf8.toStdString()); }
std::string sj(const char* utf8) { return cp932::fromUtf8(utf8); }

void typeAndSelect(MainWindowFixture& w, const std::string& cp932) {
    w.select(Line, 0);
    w.form->pane().setSelText(cp932);
    w.select(Line, int(cp932.size()));
}

Color colorAt(Pane& pane, int pos) {
    pane.setSelStart(pos);
    pane.setSelLength(1);
    return pane.selColor();
}

QByteArray readAll(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Command {
    const char* row;
    const char* entry;
    const char* button; // empty: menu only
    int page;
    const char* caption;
    const char* prompt;
    const char* preset; // with "abc" selected
    const char* before; // opening text = before + answer + after
    const char* after;
    const char* close;
    bool emptyInserts; // false: OK on an empty field inserts nothing
};

const Command Commands[] = {
    {"link", "Menu36", "SpeedButton16", 1, "他のURLにリンク", "リンク先を入力して下さい", "", "<A HREF=\"", "\">",
     "</A>", true},
    {"keyword", "MENUKeyWord", "SpeedButton29", 1, "同ページ内リンクの為のキーワード設定", "キーワードを入力して下さい",
     "", "<A NAME=\"", "\">", "</A>", true},
    {"page jump", "MenuPageJUMP", "SpeedButton30", 1, "同ページ内リンク", "リンク先キーワードを入力して下さい", "",
     "<A HREF=\"#", "\">", "</A>", true},
    {"mail link", "Menu37", "SpeedButton22", 1, "メール送信", "メールアドレスを入力して下さい", "", "<A HREF=\"mailto:",
     "\">", "</A>", true},
    {"base target", "MenuBASE", "SpeedButton38", 2, "リンク選択時のロード先ウインドウ",
     "ウィンドウの名前を入力して下さい", "", "<BASE TARGET=\"", "\">", "", false},
    {"cgi form", "CGIC1", "", 1, "CGIを利用してﾌｫｰﾑの内容を転送", "CGIスクリプトのパスとスクリプト名を入力して下さい",
     "", "<FORM ACTION=\"", "\" METHOD=\"POST\">", "</FORM>", true},
    {"default option", "N7", "", 1, "デフォルトのメニュー", "サーバーに送られる文字列を入力して下さい", "abcを選択",
     "<OPTION VALUE=\"", "\" SELECTED>", "", true},
    {"option", "O1", "", 1, "選択肢", "サーバーに送られる文字列を入力して下さい", "abcを選択", "<OPTION VALUE=\"", "\">",
     "", true},
    {"reset", "S1", "", 1, "リセットボタン", "リセットボタンのキャプション名を入力して下さい", "RESET",
     "<INPUT TYPE=\"RESET\" VALUE=\"", "\">", "", true},
    {"submit", "S2", "", 1, "転送ボタン", "転送ボタンのキャプション名を入力して下さい", "SUBMIT",
     "<INPUT TYPE=\"SUBMIT\" VALUE=\"", "\">", "", true},
};
} // namespace

class PromptedTagsTest : public QObject {
    Q_OBJECT

    void run(MainWindowFixture& w, const QString& entry, const QString& button, int page, bool viaButton) {
        if (viaButton)
            w.clickButton(button, page);
        else
            w.chooseMenuEntry(entry.toStdString());
    }

private slots:
    void initTestCase() {
        // The texts must not follow the system locale.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void testPromptCommand_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("preset");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("open"); // empty with close: nothing inserted
        QTest::addColumn<QString>("close");
        for (const Command& c : Commands) {
            const QString before = QString::fromUtf8(c.before), after = QString::fromUtf8(c.after);
            const QString answer = QStringLiteral("送信 \"x\"");
            auto row = [&](const char* outcome) -> QTestData& { return QTest::addRow("%s, %s", c.row, outcome); };
            row("answer") << c.entry << c.button << c.page << c.caption << c.prompt << c.preset << false << answer
                          << before + answer + after << c.close;
            const bool inserts = c.emptyInserts;
            row("empty") << c.entry << c.button << c.page << c.caption << c.prompt << c.preset << false << QString()
                         << (inserts ? before + after : QString()) << (inserts ? c.close : "");
            row("cancel") << c.entry << c.button << c.page << c.caption << c.prompt << c.preset << true << QString()
                          << QString() << QString();
        }
    }
    void testPromptCommand() {
        QFETCH(QString, entry);
        QFETCH(QString, button);
        QFETCH(int, page);
        QFETCH(QString, caption);
        QFETCH(QString, prompt);
        QFETCH(QString, preset);
        QFETCH(bool, cancel);
        QFETCH(QString, answer);
        QFETCH(QString, open);
        QFETCH(QString, close);
        const std::string openText = sj(open), closeText = sj(close);
        const bool inserts = !openText.empty() || !closeText.empty();

        for (const bool viaButton : {false, true}) {
            if (viaButton && button.isEmpty()) continue;
            MainWindowFixture w;
            typeAndSelect(w, "abc");
            if (cancel)
                w.services.expectPromptCancelled();
            else
                w.services.expectPrompt(sj(answer));
            run(w, entry, button, page, viaButton);
            QVERIFY(w.services.verifyAllConsumed());

            QCOMPARE(w.services.prompts().size(), size_t(1));
            const auto& shown = w.services.prompts().front();
            QCOMPARE(QString::fromStdString(shown.caption), caption);
            QCOMPARE(QString::fromStdString(shown.prompt), prompt);
            QCOMPARE(shown.preset, sj(preset));

            Pane& pane = w.form->pane();
            QCOMPARE(pane.text(), Head + openText + "abc" + closeText + Tail);
            QCOMPARE(w.form->state().UndoAvailable, inserts ? 1 : 0);
            // The formerly selected text is selected again, right after the opening text.
            QCOMPARE(pane.selStart(), Line + int(openText.size()));
            QCOMPARE(pane.selLength(), 3);
            if (!openText.empty()) QCOMPARE(colorAt(pane, Line), TagCyan);
            if (!closeText.empty()) QCOMPARE(colorAt(pane, Line + int(openText.size()) + 3), TagCyan);
            QCOMPARE(w.form->state().PendingTag.UseYellow, 0);
        }
    }

    void testKeywordThenPageJump() {
        MainWindowFixture w;
        Pane& pane = w.form->pane();
        typeAndSelect(w, "abc");
        w.services.expectPrompt("top");
        w.chooseMenuEntry("MENUKeyWord");
        QCOMPARE(pane.text(), Head + "<A NAME=\"top\">abc</A>" + Tail);

        // The page-jump prompt proposes the keyword; accepting it links to it.
        w.select(Line, 0);
        w.services.expectPrompt("top");
        w.clickButton("SpeedButton30", 1);
        QCOMPARE(w.services.prompts().at(1).preset, std::string("top"));
        QCOMPARE(pane.text(), Head + "<A HREF=\"#top\"></A><A NAME=\"top\">abc</A>" + Tail);

        // A changed answer is what the next page-jump prompt proposes.
        w.select(Line, 0);
        w.services.expectPrompt("news");
        w.chooseMenuEntry("MenuPageJUMP");
        QCOMPARE(w.form->state().LinkKeyword, std::string("news"));
        w.services.expectPromptCancelled();
        w.chooseMenuEntry("MenuPageJUMP");
        QCOMPARE(w.services.prompts().at(3).preset, std::string("news"));
        QCOMPARE(w.form->state().LinkKeyword, std::string("news"));

        // The keyword command always starts empty.
        w.services.expectPromptCancelled();
        w.chooseMenuEntry("MENUKeyWord");
        QCOMPARE(w.services.prompts().at(4).preset, std::string());
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(pane.text(), Head + "<A HREF=\"#news\"></A><A HREF=\"#top\"></A><A NAME=\"top\">abc</A>" + Tail);
    }

    void testMailLinkPreset_data() {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("address");
        QTest::newRow("none registered") << QByteArray() << QString();
        QTest::newRow("registered") << QByteArray("[MAIL]\r\nADD=me@example.jp\r\n") << "me@example.jp";
    }
    void testMailLinkPreset() {
        QFETCH(QByteArray, settings);
        QFETCH(QString, address);
        MainWindowFixture w(settings);
        typeAndSelect(w, "abc");
        const std::string before = w.form->pane().text();
        w.services.expectPromptCancelled();
        w.clickButton("SpeedButton22", 1);
        QCOMPARE(w.services.prompts().at(0).preset, sj(address));
        QCOMPARE(w.form->pane().text(), before);
        QCOMPARE(w.form->state().UndoAvailable, 0);
        QCOMPARE(w.form->state().MailAddress, sj(address)); // neither command changes it

        // Accepting the preset unchanged links to the registered address.
        w.services.expectPrompt(sj(address));
        w.chooseMenuEntry("Menu37");
        QCOMPARE(w.form->pane().text(), Head + "<A HREF=\"mailto:" + sj(address) + "\">abc</A>" + Tail);
    }

    void testMailForm_data() { testMailLinkPreset_data(); }
    void testMailForm() {
        QFETCH(QByteArray, settings);
        QFETCH(QString, address);
        MainWindowFixture w(settings);
        typeAndSelect(w, "abc");
        w.chooseMenuEntry("M2");
        QVERIFY(w.services.prompts().empty());
        QCOMPARE(w.form->pane().text(),
                 Head + "<FORM ACTION=\"mailto:" + sj(address) + "\" METHOD=\"POST\">abc</FORM>" + Tail);
        QCOMPARE(w.form->state().MailAddress, sj(address));
    }

    void testOptionWithJapaneseSelection_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("after");
        QTest::newRow("default option") << "N7" << "\" SELECTED>";
        QTest::newRow("option") << "O1" << "\">";
    }
    void testOptionWithJapaneseSelection() {
        QFETCH(QString, entry);
        QFETCH(QString, after);
        MainWindowFixture w;
        const std::string apple = sj("りんご");
        typeAndSelect(w, apple);
        const std::string preset = sj("りんごを選択");
        w.services.expectPrompt(preset);
        w.chooseMenuEntry(entry.toStdString());
        QCOMPARE(w.services.prompts().at(0).preset, preset);

        const std::string openText = "<OPTION VALUE=\"" + preset + sj(after);
        Pane& pane = w.form->pane();
        QCOMPARE(pane.text(), Head + openText + apple + Tail);
        // The label stays selected after the tag, counted in CP932 bytes.
        QCOMPARE(pane.selStart(), Line + int(openText.size()));
        QCOMPARE(pane.selLength(), 6);
        QCOMPARE(pane.selText(), apple);
    }

    void testDateText_data() {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("text");
        QTest::newRow("evening") << QDateTime(QDate(1997, 12, 7), QTime(21, 5, 3)) << "97年12月07(日) 午後9時5分3秒";
        QTest::newRow("after midnight") << QDateTime(QDate(1997, 12, 8), QTime(0, 15, 0))
                                        << "97年12月08(月) 午前12時15分0秒";
        QTest::newRow("after noon") << QDateTime(QDate(1997, 12, 9), QTime(12, 15, 0))
                                    << "97年12月09(火) 午後12時15分0秒";
        QTest::newRow("before noon") << QDateTime(QDate(2000, 1, 5), QTime(11, 59, 59))
                                     << "00年01月05(水) 午前11時59分59秒";
        QTest::newRow("one pm") << QDateTime(QDate(2024, 2, 29), QTime(13, 0, 9)) << "24年02月29(木) 午後1時0分9秒";
        QTest::newRow("friday") << QDateTime(QDate(2010, 10, 1), QTime(23, 10, 0)) << "10年10月01(金) 午後11時10分0秒";
        QTest::newRow("saturday") << QDateTime(QDate(2011, 1, 1), QTime(1, 2, 3)) << "11年01月01(土) 午前1時2分3秒";
    }
    void testDateText() {
        QFETCH(QDateTime, when);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(dateTimeText(when)), text);
    }

    void testDateCommandReplacesSelection() {
        MainWindowFixture w;
        Pane& pane = w.form->pane();
        w.form->promptedTags().setClock([] { return QDateTime(QDate(1997, 12, 7), QTime(21, 5, 3)); });
        typeAndSelect(w, "abc");
        w.chooseMenuEntry("Menu32"); // bold: leaves a snapshot and abc selected
        const std::string snapshotPath = w.form->state().UndoFilePath;
        const QByteArray snapshot = readAll(snapshotPath);
        QVERIFY(!snapshot.isEmpty());
        const int selStart = pane.selStart();
        const std::string before = pane.text();

        w.chooseMenuEntry("N9");
        const std::string date = sj("97年12月07(日) 午後9時5分3秒");
        QCOMPARE(pane.text(), Head + "<B>" + date + "</B>" + Tail);
        QCOMPARE(pane.selStart(), selStart + int(date.size()));
        QCOMPARE(pane.selLength(), 0);
        for (int pos = selStart; pos < selStart + int(date.size()); pos += 2) QCOMPARE(colorAt(pane, pos), TextWhite);
        QCOMPARE(w.form->state().UndoAvailable, 1);
        QCOMPARE(readAll(snapshotPath), snapshot);
        QVERIFY(w.services.prompts().empty());
    }

    void testDateCommandAtCaretInTagColour() {
        MainWindowFixture w;
        Pane& pane = w.form->pane();
        w.form->promptedTags().setClock([] { return QDateTime(QDate(1997, 12, 8), QTime(0, 15, 0)); });
        // The caret stands where cyan text would continue; the date still comes out white.
        w.select(Line, 0);
        pane.setSelColor(TagCyan);
        pane.setSelText("<P>");
        const QString snapshotPath = QString::fromStdString(w.form->state().UndoFilePath);
        const bool snapshotExisted = QFile::exists(snapshotPath);
        w.chooseMenuEntry("N9");
        const std::string date = sj("97年12月08(月) 午前12時15分0秒");
        QCOMPARE(pane.text(), Head + "<P>" + date + Tail);
        QCOMPARE(colorAt(pane, Line + 3), TextWhite);
        QCOMPARE(colorAt(pane, Line + 3 + int(date.size()) - 2), TextWhite);
        QCOMPARE(w.form->state().UndoAvailable, 0);
        QCOMPARE(QFile::exists(snapshotPath), snapshotExisted);
    }
};

QTEST_MAIN(PromptedTagsTest)
#include "tst_promptedtags.moc"
