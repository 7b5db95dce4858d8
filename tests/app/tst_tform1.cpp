// The main window: start-up, New, toolbar pages, status texts, menu openings,
// the enabling timer and the first activation.
#include "MainWindowFixture.h"

#include "Cp932.h"
#include "TagInsertionEngine.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QTextDocument>
#include <QToolTip>

using namespace vela;
using vela::test::MainWindowFixture;

namespace {
const std::string Template = "<HTML>\r\n<HEAD>\r\n\r\n</HEAD>\r\n\r\n</HTML>";

int visibleButtons(TForm1& form) {
    int count = 0;
    for (QToolButton* b : form.findChild<QWidget*>("Panel1")->findChildren<QToolButton*>())
        if (b->objectName().startsWith("SpeedButton") && b->isVisibleTo(b->parentWidget())) ++count;
    return count;
}
QLabel* toolTipLabel() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("qtooltip_label")) return qobject_cast<QLabel*>(w);
    return nullptr;
}
} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void testFreshStart() {
        MainWindowFixture w;
        Pane& pane = w.form->pane();
        QCOMPARE(pane.text(), Template);
        QCOMPARE(pane.selStart(), 16);
        QCOMPARE(pane.selLength(), 0);
        QVERIFY(!pane.modified());
        QCOMPARE(pane.defaultColor(), StructureYellow);
        QCOMPARE(w.form->windowTitle(), QString("VELA-VOVUZEZU DOZA RODORA"));
        QCOMPARE(w.tabs()->currentIndex(), 0);
        QCOMPARE(w.tabs()->tabText(0), QString::fromUtf8("基本操作"));
        QCOMPARE(visibleButtons(*w.form), 14);
        // The window with its frame fills the screen's available area (the offscreen frame is 2 pixels wide).
        QCOMPARE(w.form->frameGeometry(), w.form->screen()->availableGeometry());
        QVERIFY(w.form->size() != w.form->frameGeometry().size());

        const EditorState& s = w.form->state();
        QCOMPARE(QString::fromStdString(s.UndoFilePath), QDir(w.dir.path()).filePath("QOV.tmp"));
        QCOMPARE(s.UndoAvailable, 0);
        QCOMPARE(s.UndoSelStart, 16);
        QCOMPARE(s.UndoSelLength, 0);
        QCOMPARE(s.FirstActivation, 1);
        Pane snapshot;
        snapshot.loadFromFile(s.UndoFilePath, StreamFormat::Rtf);
        QCOMPARE(snapshot.text(), Template);

        // The list buttons stand where start-up put them.
        QCOMPARE(w.button("SpeedButton33")->geometry(), QRect(97, 2, 27, 28));
        QCOMPARE(w.button("SpeedButton34")->x(), 124);
        QCOMPARE(w.button("SpeedButton35")->x(), 151);
        QCOMPARE(w.button("SpeedButton19")->geometry(), QRect(469, 2, 28, 28));
        QCOMPARE(w.form->findChild<QWidget*>("Panel1")->height(), 49);
        QCOMPARE(w.tabs()->height(), 17);
    }

    void testNewResetsDocumentOnly() {
        MainWindowFixture w;
        const std::string undoPath = w.form->state().UndoFilePath;
        w.clickTab(1);
        w.select(16, 0);
        w.form->pane().setSelText("abc");
        w.form->pane().setModified(true);
        w.form->move(40, 30);
        const QPoint placed = w.form->pos();
        // A file dialog may have moved the current directory since start-up.
        QVERIFY(QDir(w.dir.path()).mkdir("elsewhere"));
        w.writeFile("elsewhere/MARVOK.INI", "[SW]\r\nSTI1=1\r\n[MAIL]\r\nADD=me@example.jp\r\n");
        QVERIFY(QDir::setCurrent(QDir(w.dir.path()).filePath("elsewhere")));

        w.form->FormCreate();

        QCOMPARE(w.form->pane().text(), Template);
        QCOMPARE(w.form->pane().selStart(), 16);
        QVERIFY(!w.form->pane().modified());
        QCOMPARE(w.form->pos(), placed);
        QCOMPARE(w.tabs()->currentIndex(), 1);
        QCOMPARE(visibleButtons(*w.form), 19);
        QCOMPARE(w.form->state().UndoFilePath, undoPath);
        // The settings file is the one of the current directory now.
        QCOMPARE(w.form->state().LineBreakAfterTag, 1);
        QCOMPARE(w.form->state().MailAddress, std::string("me@example.jp"));
    }

    void testSettingsRead_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("lineBreak");
        QTest::addColumn<int>("reselect");
        QTest::addColumn<int>("fileNameOnly");
        QTest::addColumn<QByteArray>("mail");
        QTest::newRow("no file: defaults") << QByteArray() << 0 << 1 << 0 << QByteArray();
        QTest::newRow("all keys") << QByteArray("[SW]\r\nSTI1=1\r\nSTI2=0\r\nSTI3=1\r\n[MAIL]\r\nADD=a@b.jp\r\n") << 1
                                  << 0 << 1 << QByteArray("a@b.jp");
        QTest::newRow("ERROR is no address") << QByteArray("[MAIL]\r\nADD=ERROR\r\n") << 0 << 1 << 0 << QByteArray();
        QTest::newRow("empty address stays empty") << QByteArray("[MAIL]\r\nADD=\r\n") << 0 << 1 << 0 << QByteArray();
        QTest::newRow("value 2 kept as read") << QByteArray("[sw]\r\nsti1=2\r\n") << 2 << 1 << 0 << QByteArray();
        QTest::newRow("hexadecimal") << QByteArray("[SW]\r\nSTI3=0x1\r\n") << 0 << 1 << 1 << QByteArray();
        QTest::newRow("not a number gives the default") << QByteArray("[SW]\r\nSTI2=yes\r\n") << 0 << 1 << 0
                                                        << QByteArray();
    }
    void testSettingsRead() {
        QFETCH(QByteArray, file);
        QFETCH(int, lineBreak);
        QFETCH(int, reselect);
        QFETCH(int, fileNameOnly);
        QFETCH(QByteArray, mail);
        MainWindowFixture w(file);
        const EditorState& s = w.form->state();
        QCOMPARE(s.LineBreakAfterTag, lineBreak);
        QCOMPARE(s.ReselectAfterTag, reselect);
        QCOMPARE(s.ImageFileNameOnly, fileNameOnly);
        QCOMPARE(s.AutoRefreshOnImport, 0);
        QCOMPARE(QByteArray::fromStdString(s.MailAddress), mail);
    }

    void testPageSwitching_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("visible");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("hidden");
        QTest::newRow("タグ") << 1 << 19 << "SpeedButton11" << "SpeedButton1";
        QTest::newRow("ﾀｸﾞ:ﾌﾚｰﾑ/ﾘｽﾄ") << 2 << 6 << "SpeedButton35" << "SpeedButton11";
        QTest::newRow("基本操作 again") << 0 << 14 << "SpeedButton26" << "SpeedButton36";
    }
    void testPageSwitching() {
        QFETCH(int, tab);
        QFETCH(int, visible);
        QFETCH(QString, shown);
        QFETCH(QString, hidden);
        MainWindowFixture w;
        w.clickTab(tab == 0 ? 2 : 0);
        w.clickTab(tab);
        QCOMPARE(visibleButtons(*w.form), visible);
        QVERIFY(w.button(shown)->isVisible());
        QVERIFY(!w.button(hidden)->isVisible());
    }

    void testStatusTextStaysAfterPointerLeaves() {
        MainWindowFixture w;
        QToolButton* save = w.button("SpeedButton3");
        QTest::mouseMove(save, save->rect().center());
        QTRY_COMPARE(QString::fromStdString(w.form->statusText()),
                     QString::fromUtf8("編集中の内容を.kvdファイルに保存する"));
        QWidget* pane = w.form->findChild<QWidget*>("RichEdit1");
        QTest::mouseMove(pane, pane->rect().center());
        QTest::qWait(50);
        QCOMPARE(QString::fromStdString(w.form->statusText()),
                 QString::fromUtf8("編集中の内容を.kvdファイルに保存する"));
        w.clickTab(1);
        QToolButton* bold = w.button("SpeedButton11");
        QTest::mouseMove(bold, bold->rect().center());
        QTRY_COMPARE(QString::fromStdString(w.form->statusText()), QString::fromUtf8("ボールド"));
    }

    void testMenuOpeningsWriteStatus() {
        MainWindowFixture w;
        w.openAndCloseMenu("K1");
        QCOMPARE(QString::fromStdString(w.form->statusText()), QString::fromUtf8("オプション"));
        w.openAndCloseMenu("Menu30");
        QCOMPARE(QString::fromStdString(w.form->statusText()), QString());
        for (const char* menu : {"Menu10", "Menu20", "Menu40", "Menu50"}) {
            w.openAndCloseMenu("K1");
            w.openAndCloseMenu(menu);
            QVERIFY2(w.form->statusText().empty(), menu);
        }
    }

    void testTimerEnabling_data() {
        QTest::addColumn<QString>("document");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("kd1");
        QTest::addColumn<bool>("editing");
        QTest::newRow("caret only") << "a <B> b" << 2 << 0 << false << false;
        QTest::newRow("text without tags") << "a <B> b" << 0 << 1 << false << true;
        QTest::newRow("< without >") << "a <B> b" << 2 << 2 << false << true;
        QTest::newRow("> before <") << "a> <b" << 1 << 3 << true << true;
        QTest::newRow("whole tag") << "a <B> b" << 2 << 3 << true << true;
    }
    void testTimerEnabling() {
        QFETCH(QString, document);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(bool, kd1);
        QFETCH(bool, editing);
        MainWindowFixture w;
        w.form->pane().clear();
        w.form->pane().setSelText(cp932::fromUtf8(document.toStdString()));
        // First the opposite selection state, so the timer has to change something.
        w.select(0, editing ? 0 : 2);
        QTRY_COMPARE(w.button("SpeedButton4")->isEnabled(), !editing);
        w.select(start, length);
        QTRY_COMPARE(w.button("SpeedButton4")->isEnabled(), editing);
        QCOMPARE(w.button("SpeedButton5")->isEnabled(), editing);
        QCOMPARE(w.button("SpeedButton7")->isEnabled(), editing);
        QCOMPARE(w.form->commandAction("KD1")->isEnabled(), kd1);
    }

    void testTimerFollowsUndoAndClipboard() {
        MainWindowFixture w;
        QGuiApplication::clipboard()->clear();
        QTRY_VERIFY(!w.button("SpeedButton8")->isEnabled());
        QVERIFY(!w.button("SpeedButton6")->isEnabled());
        QGuiApplication::clipboard()->setText("copied elsewhere");
        QTRY_VERIFY(w.button("SpeedButton8")->isEnabled());
        w.clickButton("SpeedButton11", 1);
        QTRY_VERIFY(w.button("SpeedButton6")->isEnabled());

        // Undo brings other text of the same length back under the same selection.
        w.select(0, 6); // "<HTML>"
        QTRY_VERIFY(w.form->commandAction("KD1")->isEnabled());
        w.chooseMenuEntry("Menu24");
        QTest::keyClicks(w.form->pane().widget(), "abcdef");
        w.select(0, 6);
        QTRY_VERIFY(!w.form->commandAction("KD1")->isEnabled());
        w.chooseMenuEntry("Menu27");
        QCOMPARE(w.form->pane().selText(), std::string("<HTML>"));
        QTRY_VERIFY(w.form->commandAction("KD1")->isEnabled());
    }

    void testEveryButtonRunsACommand() {
        MainWindowFixture w;
        // Each of the 39 buttons is wired to an action with a tool tip and a picture.
        for (int n = 1; n <= 39; ++n) {
            QToolButton* button = w.button(QStringLiteral("SpeedButton%1").arg(n));
            QVERIFY2(button && button->defaultAction(), qPrintable(QString::number(n)));
            QVERIFY(!button->toolTip().isEmpty());
            QVERIFY(!button->icon().isNull());
        }
        QVERIFY(w.form->commandAction("Menu11")->isEnabled());
        QVERIFY(w.form->commandAction("KS1")->isEnabled());
    }

    void testToolTipsShowAsWritten_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("tip");
        QTest::newRow("SpeedButton1") << "SpeedButton1" << QString::fromUtf8("新規作成");
        QTest::newRow("SpeedButton2") << "SpeedButton2" << QString::fromUtf8("ファイルを開く");
        QTest::newRow("SpeedButton3") << "SpeedButton3" << QString::fromUtf8("保存");
        QTest::newRow("SpeedButton32") << "SpeedButton32" << QString::fromUtf8("HTMLファイルの読み込み");
        QTest::newRow("SpeedButton31") << "SpeedButton31" << QString::fromUtf8("HTMLファイルの作成");
        QTest::newRow("SpeedButton17") << "SpeedButton17" << QString::fromUtf8("印刷");
        QTest::newRow("SpeedButton9") << "SpeedButton9" << QString::fromUtf8("ブラウザ起動");
        QTest::newRow("SpeedButton6") << "SpeedButton6" << QString::fromUtf8("アンドゥ");
        QTest::newRow("SpeedButton4") << "SpeedButton4" << QString::fromUtf8("切り取り");
        QTest::newRow("SpeedButton5") << "SpeedButton5" << QString::fromUtf8("コピー");
        QTest::newRow("SpeedButton8") << "SpeedButton8" << QString::fromUtf8("貼り付け");
        QTest::newRow("SpeedButton7") << "SpeedButton7" << QString::fromUtf8("削除");
        QTest::newRow("SpeedButton10") << "SpeedButton10" << QString::fromUtf8("メールアドレスの登録");
        QTest::newRow("SpeedButton26") << "SpeedButton26" << QString::fromUtf8("ヘルプ");
        QTest::newRow("SpeedButton20") << "SpeedButton20" << QString::fromUtf8("見出し<Hnum></Hnum>");
        QTest::newRow("SpeedButton21") << "SpeedButton21" << QString::fromUtf8("ボディ<BODY option></BODY>");
        QTest::newRow("SpeedButton15") << "SpeedButton15" << QString::fromUtf8("改行<BR>");
        QTest::newRow("SpeedButton24") << "SpeedButton24" << QString::fromUtf8("段落<P>");
        QTest::newRow("SpeedButton11") << "SpeedButton11" << QString::fromUtf8("ボールド<B></B>");
        QTest::newRow("SpeedButton12") << "SpeedButton12" << QString::fromUtf8("イタリック<I></I>");
        QTest::newRow("SpeedButton23") << "SpeedButton23" << QString::fromUtf8("アンダーライン<U></U>");
        QTest::newRow("SpeedButton13") << "SpeedButton13" << QString::fromUtf8("センタリング<CENTER></CENTER>");
        QTest::newRow("SpeedButton27") << "SpeedButton27" << QString::fromUtf8("右揃え<DIV ALIGN=\"RIGHT\"></DIV>");
        QTest::newRow("SpeedButton14") << "SpeedButton14" << QString::fromUtf8("フォントサイズ<FONT SIZE=num></FONT>");
        QTest::newRow("SpeedButton28") << "SpeedButton28" << QString::fromUtf8("フォントの色<FONT COLOR=\"#rrggbb\"></FONT>");
        QTest::newRow("SpeedButton25") << "SpeedButton25" << QString::fromUtf8("スクロールする文字<MARQUEE option></MARQUEE>");
        QTest::newRow("SpeedButton16") << "SpeedButton16" << QString::fromUtf8("他のURLにリンク<A HREF=\"url\"></A>");
        QTest::newRow("SpeedButton29") << "SpeedButton29" << QString::fromUtf8("リンク先キーワード<A NAME=\"key\"></A>");
        QTest::newRow("SpeedButton30") << "SpeedButton30" << QString::fromUtf8("同ページ内リンク<A HREF=\"#key\"></A>");
        QTest::newRow("SpeedButton22") << "SpeedButton22" << QString::fromUtf8("メール送信<A HREF=\"mailto:mailadd\"></A>");
        QTest::newRow("SpeedButton19") << "SpeedButton19" << QString::fromUtf8("画像の表示<IMG SRC=\"filename\" ALIGN=\"option\" ALT=\"text\">");
        QTest::newRow("SpeedButton39") << "SpeedButton39" << QString::fromUtf8("テキストの回り込みを解除<BR CLEAR>");
        QTest::newRow("SpeedButton18") << "SpeedButton18" << QString::fromUtf8("水平線<HR>");
        QTest::newRow("SpeedButton36") << "SpeedButton36" << QString::fromUtf8("画面の分割<FRAMESET option></FRAMESET>");
        QTest::newRow("SpeedButton37") << "SpeedButton37" << QString::fromUtf8("表示するファイルと形式<FRAME option>");
        QTest::newRow("SpeedButton38") << "SpeedButton38" << QString::fromUtf8("リンク選択時のロード先ウインドゥ<BASE TARGET=\"name\">");
        QTest::newRow("SpeedButton33") << "SpeedButton33" << QString::fromUtf8("マーク付リスト範囲<UL></UL>");
        QTest::newRow("SpeedButton34") << "SpeedButton34" << QString::fromUtf8("番号順リスト範囲<OL option></OL>");
        QTest::newRow("SpeedButton35") << "SpeedButton35" << QString::fromUtf8("リスト<LI>");
    }
    void testToolTipsShowAsWritten() {
        QFETCH(QString, button);
        QFETCH(QString, tip);
        MainWindowFixture w;
        QToolButton* b = w.button(button);
        w.form->show();
        for (int tab = 0; tab < 3 && !b->isVisible(); ++tab) w.clickTab(tab);
        QHelpEvent hover(QEvent::ToolTip, b->rect().center(), b->mapToGlobal(b->rect().center()));
        QCoreApplication::sendEvent(b, &hover);
        QLabel* shown = nullptr;
        QTRY_VERIFY((shown = toolTipLabel()) != nullptr && shown->isVisible());
        // What the label renders, tags and all: markup would be drawn, not shown.
        QString text = shown->text();
        if (shown->textFormat() == Qt::RichText || (shown->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
            QTextDocument rendered;
            rendered.setHtml(text);
            text = rendered.toPlainText();
        }
        QCOMPARE(text, tip);
        QToolTip::hideText();
    }

    void testMenuBarOrderAndCaptions() {
        MainWindowFixture w;
        QStringList top;
        for (QAction* a : w.form->menuBar()->actions()) top << a->text();
        QCOMPARE(top, QStringList({QString::fromUtf8("ﾌｧｲﾙ(&F)"), QString::fromUtf8("編集(&E)"),
                                   QString::fromUtf8("検索(&S)"), QString::fromUtf8("ﾀｸﾞ(&T)"),
                                   QString::fromUtf8("ｵﾌﾟｼｮﾝ(&O)"), QString::fromUtf8("ﾍﾙﾌﾟ(&H)")}));
        auto* file = w.form->menuBar()->findChild<QMenu*>("Menu10");
        QStringList entries;
        for (QAction* a : file->actions()) entries << (a->isSeparator() ? QString("-") : a->objectName());
        QCOMPARE(entries, QStringList({"Menu11", "Menu12", "Menu13", "Menu14", "-", "HTM1", "HTML1", "-",
                                       "MenuPrint", "-", "www", "-", "Menu15"}));
        auto* list = w.form->menuBar()->findChild<QMenu*>("KL2");
        QVERIFY(list);
        QCOMPARE(list->actions().at(3)->text(), QString::fromUtf8("リスト(&L)"));
    }

    void testFirstActivationHookRunsOnce() {
        MainWindowFixture w;
        int runs = 0;
        // The fixture's window is active already; a fresh one shows the hook's effect.
        TForm1 second(w.services);
        second.setFirstActivationHook([&] { ++runs; });
        second.show();
        second.activateWindow();
        QTRY_COMPARE(runs, 1);
        w.form->activateWindow();
        QTRY_VERIFY(w.form->isActiveWindow());
        second.activateWindow();
        QTRY_VERIFY(second.isActiveWindow());
        QCOMPARE(runs, 1);
        QCOMPARE(second.state().FirstActivation, 1);
    }

    void testSnapshotFailureIsReportedAndInsertsNothing() {
        MainWindowFixture w;
        // The snapshot file cannot be replaced once a folder stands in its place.
        QFile::remove("QOV.tmp");
        QVERIFY(QDir().mkpath("QOV.tmp/inside"));
        w.select(16, 0);
        w.services.expectMessageBox(MessageAnswer::Ok, std::string("VELA-VOVUZEZU DOZA RODORA"));
        w.clickButton("SpeedButton11", 1);
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.form->pane().text(), Template);
        QCOMPARE(w.form->state().UndoAvailable, 0);
    }

    void testCloseDeletesSnapshot() {
        MainWindowFixture w;
        QVERIFY(QFile::exists("QOV.tmp"));
        w.form->close();
        QVERIFY(!QFile::exists("QOV.tmp"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_tform1.moc"
