// Browser preview, printing and help, run from the main window's menu and toolbar.
#include "../app/MainWindowFixture.h"
#include "PrintingServices.h"

#include "Cp932.h"
#include "HelpViewer.h"
#include "OutputCommands.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTextBrowser>
#include <QTreeWidget>

using namespace vela;
using vela::test::MainWindowFixture;

namespace {

/// A printer that fails when it should start its second page, as a printer
/// taken away in the middle of a job does.
class FailingPrinter : public QPrinter {
public:
    using QPrinter::QPrinter;
    bool newPage() override { return false; }
};

/// A main window whose printing goes to the printers `printers` hands out, in turn.
struct PrintingWindow {
    explicit PrintingWindow(std::function<std::unique_ptr<QPrinter>()> printers) : services(std::move(printers)) {
        QVERIFY(dir.isValid());
        previousDir = QDir::currentPath();
        QDir::setCurrent(dir.path());
        form = std::make_unique<TForm1>(services);
    }
    ~PrintingWindow() {
        form.reset();
        QDir::setCurrent(previousDir);
    }
    void setText(const std::string& utf8) {
        form->pane().clear();
        form->pane().setSelText(cp932::fromUtf8(utf8));
    }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }

    QTemporaryDir dir;
    QString previousDir;
    vela::test::PrintingServices services;
    std::unique_ptr<TForm1> form;
};

/// Many lines: more than one page of any paper.
std::string pages(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += "line " + std::to_string(i) + "\r\n";
    return text;
}

HelpViewer* helpWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* viewer = qobject_cast<HelpViewer*>(w)) return viewer;
    return nullptr;
}

} // namespace

class OutputTest : public QObject {
    Q_OBJECT

private slots:
    void testPreviewHandsChosenFileToDesktop_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<bool>("viaButton");
        QTest::newRow("with .htm") << "page.htm" << "page.htm" << false;
        QTest::newRow("no extension gets .htm") << "page" << "page.htm" << false;
        QTest::newRow("other extension kept") << "page.html" << "page.html" << false;
        QTest::newRow("text file kept") << "notes.txt" << "notes.txt" << true;
        QTest::newRow("button") << "index" << "index.htm" << true;
        QTest::newRow("japanese name") << "日本語のページ" << "日本語のページ.htm" << true;
    }
    void testPreviewHandsChosenFileToDesktop() {
        QFETCH(QString, typed);
        QFETCH(QString, opened);
        QFETCH(bool, viaButton);
        MainWindowFixture w;
        const std::string before = w.form->pane().text();
        w.services.expectFileDialog(typed.toStdString());
        if (viaButton)
            w.clickButton("SpeedButton9", 0);
        else
            w.chooseMenuEntry("www");
        QVERIFY(w.services.verifyAllConsumed());

        const auto& shown = w.services.fileDialogs().at(0).shown;
        QCOMPARE(shown.kind, FileDialog::Kind::Open);
        QCOMPARE(shown.defaultExt, std::string("htm"));
        QCOMPARE(shown.filter, std::string("HTML files (*.htm)|*.htm"));
        QCOMPARE(shown.title, std::string("HTMLの表示"));
        // The file need not exist: what the desktop makes of it is its own affair.
        QCOMPARE(w.services.openedWithDesktop(),
                 std::vector<std::string>{QDir(w.dir.path()).filePath(opened).toStdString()});
        QCOMPARE(w.form->pane().text(), before);
        QVERIFY(w.services.messageBoxes().empty());
    }

    void testCancelledPreviewOpensNothing() {
        MainWindowFixture w;
        w.services.expectFileDialog("first.htm");
        w.chooseMenuEntry("www");
        w.services.expectFileDialogCancelled();
        w.chooseMenuEntry("www");
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.services.openedWithDesktop().size(), std::size_t(1));
        // The dialog comes back with the last chosen name, and a cancel keeps it.
        const std::string chosen = QDir(w.dir.path()).filePath("first.htm").toStdString();
        QCOMPARE(w.services.fileDialogs().at(1).shown.fileName, chosen);
        w.services.expectFileDialogCancelled();
        w.clickButton("SpeedButton9", 0);
        QCOMPARE(w.services.fileDialogs().at(2).shown.fileName, chosen);
    }

    void testLongPathGoesWhole() {
        MainWindowFixture w;
        // Longer than the 255 characters a fixed path buffer would keep.
        const std::string folder(120, 'd');
        QVERIFY(QDir(w.dir.path()).mkpath(QString::fromStdString(folder + "/" + folder)));
        const std::string typed = folder + "/" + folder + "/" + std::string(100, 'p');
        w.services.expectFileDialog(typed);
        w.chooseMenuEntry("www");
        const std::string expected = QDir(w.dir.path()).filePath(QString::fromStdString(typed + ".htm")).toStdString();
        QVERIFY(expected.size() > 255);
        QCOMPARE(w.services.openedWithDesktop(), std::vector<std::string>{expected});
    }

    void testPrintSendsPaneText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("viaButton");
        QTest::newRow("template") << "" << false;
        QTest::newRow("japanese") << "<B>日本語</B>\r\n\r\nｶﾅ\tタブ" << true;
    }
    void testPrintSendsPaneText() {
        QFETCH(QString, text);
        QFETCH(bool, viaButton);
        MainWindowFixture w;
        if (!text.isEmpty()) {
            w.form->pane().clear();
            w.form->pane().setSelText(cp932::fromUtf8(text.toStdString()));
        }
        const std::string pane = w.form->pane().text();
        if (viaButton)
            w.clickButton("SpeedButton17", 0);
        else
            w.chooseMenuEntry("MenuPrint");
        QCOMPARE(w.services.printed().size(), std::size_t(1));
        QCOMPARE(w.services.printed().at(0).cp932Text, pane);
        QVERIFY(!w.services.printed().at(0).jobTitle.empty());
        QVERIFY(w.services.messageBoxes().empty());
    }

    void testPrintedPaperHoldsEveryLineOnce_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty pane") << "" << QStringList{};
        QTest::newRow("empty lines kept, none added")
            << "<HTML>\r\n\r\n<HEAD>\r\n日本語のページ\r\n" << QStringList{"<HTML>", "", "<HEAD>", "日本語のページ"};
        QTest::newRow("half-width kana") << "ﾃﾞﾌｫﾙﾄ\r\nabc" << QStringList{"ﾃﾞﾌｫﾙﾄ", "abc"};
    }
    void testPrintedPaperHoldsEveryLineOnce() {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        VELA_REQUIRE_TOOL(vela::test::havePdfToText(), "pdftotext (poppler-utils) is not installed");
        QString pdf;
        PrintingWindow w([&pdf] { return vela::test::pdfPrinter(pdf); });
        pdf = w.path("job.pdf");
        w.setText(text.toStdString());
        w.form->commandAction("MenuPrint")->trigger();
        QVERIFY(w.services.messageBoxes().empty());
        bool ok = false;
        const QStringList printed = vela::test::pdfLines(pdf, &ok);
        QVERIFY(ok);
        QCOMPARE(printed, lines);
    }

    void testNoDefaultPrinterIsReported() {
        PrintingWindow w([] { return std::unique_ptr<QPrinter>(); });
        w.services.expectMessageBox(MessageAnswer::Ok, "VELA-VOVUZEZU DOZA RODORA", "ﾃﾞﾌｫﾙﾄ ﾌﾟﾘﾝﾀが存在しません.");
        w.form->commandAction("MenuPrint")->trigger();
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.services.messageBoxes().at(0).icon, MessageIcon::Error);
    }

    void testJobFailingMidwayLeavesNextJobWorking() {
        VELA_REQUIRE_TOOL(vela::test::havePdfToText(), "pdftotext (poppler-utils) is not installed");
        int jobs = 0;
        QString dir;
        PrintingWindow w([&]() -> std::unique_ptr<QPrinter> {
            if (jobs++ == 0) {
                auto failing = std::make_unique<FailingPrinter>(QPrinter::PrinterResolution);
                failing->setOutputFormat(QPrinter::PdfFormat);
                failing->setOutputFileName(dir + "/failed.pdf");
                return failing;
            }
            return vela::test::pdfPrinter(dir + "/second.pdf");
        });
        dir = w.dir.path();
        w.setText(pages(300));
        w.services.expectMessageBox(MessageAnswer::Ok, "VELA-VOVUZEZU DOZA RODORA", "印刷中にエラーが発生しました.");
        w.form->commandAction("MenuPrint")->trigger();
        QVERIFY(w.services.verifyAllConsumed());

        w.form->commandAction("MenuPrint")->trigger();
        QCOMPARE(w.services.messageBoxes().size(), std::size_t(1));
        bool ok = false;
        const QStringList printed = vela::test::pdfLines(w.path("second.pdf"), &ok);
        QVERIFY(ok);
        QStringList expected;
        for (int i = 0; i < 300; ++i) expected << QStringLiteral("line %1").arg(i);
        QCOMPARE(printed.filter(QStringLiteral("line")), expected);
    }

    void testHelpCommandAsksForHelpFile() {
        MainWindowFixture w;
        w.chooseMenuEntry("Menu51");
        w.clickButton("SpeedButton26", 0);
        QCOMPARE(w.services.helpShown(), (std::vector<std::string>{"ZAVIZADA.HLP", "ZAVIZADA.HLP"}));
    }

    void testHelpWindowShowsContentsAndIndex() {
        // The program's own help file, found beside the program by its bare name.
        QTemporaryDir elsewhere;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        QtServices services;
        services.showHelp(OutputCommands::HelpFile);
        QDir::setCurrent(previous);
        HelpViewer* viewer = helpWindow();
        QVERIFY(viewer && viewer->isVisible());
        auto* contents = viewer->findChild<QTreeWidget*>("Contents");
        auto* index = viewer->findChild<QListWidget*>("IndexList");
        auto* view = viewer->findChild<QTextBrowser*>("TopicView");
        QVERIFY(contents->topLevelItemCount() >= 4);
        QVERIFY(index->count() > 50);
        QVERIFY(!viewer->currentTopic().isEmpty());
        // A topic for each command of this part of the program and the dialogs it shows.
        for (const char* id : {"print", "browser", "help", "about", "new", "open", "save", "find", "preferences"})
            QVERIFY2(viewer->document().topic(QString::fromLatin1(id)), id);

        // Typing a keyword finds it in the index; Enter shows its topic.
        auto* keyword = viewer->findChild<QLineEdit*>("IndexKeyword");
        for (const QChar c : QString::fromUtf8("印刷"))
            QTest::sendKeyEvent(QTest::Click, keyword, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QVERIFY(index->currentItem());
        QVERIFY(index->currentItem()->text().startsWith(QString::fromUtf8("印刷")));
        QTest::keyClick(keyword, Qt::Key_Return);
        QCOMPARE(viewer->currentTopic(), QStringLiteral("print"));
        QVERIFY(view->toPlainText().contains(QString::fromUtf8("ﾃﾞﾌｫﾙﾄ ﾌﾟﾘﾝﾀが存在しません")));

        // Asking again reuses the one window.
        services.showHelp(OutputCommands::HelpFile);
        QCOMPARE(helpWindow(), viewer);
    }

    void testMissingHelpFileIsReportedInWindow() {
        QTemporaryDir elsewhere;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        HelpViewer viewer;
        QVERIFY(!viewer.open(QStringLiteral("MISSING.HLP")));
        QDir::setCurrent(previous);
        const QString shown = viewer.findChild<QTextBrowser*>("TopicView")->toPlainText();
        QVERIFY2(shown.contains(QString::fromUtf8("ヘルプ ファイル MISSING.HLP が見つかりません")), qPrintable(shown));
        QVERIFY(shown.contains(QDir::toNativeSeparators(elsewhere.path())) || shown.contains(elsewhere.path()));
        QCOMPARE(viewer.findChild<QTreeWidget*>("Contents")->topLevelItemCount(), 0);
        QCOMPARE(viewer.findChild<QListWidget*>("IndexList")->count(), 0);
    }

    void testHelpLookupOrder_data() {
        QTest::addColumn<QStringList>("holding"); // which of the folders hold the file
        QTest::addColumn<QString>("found");
        QTest::newRow("program folder first") << QStringList{"program", "data", "current"} << "program";
        QTest::newRow("then data folder") << QStringList{"data", "current"} << "data";
        QTest::newRow("then current directory") << QStringList{"current"} << "current";
        QTest::newRow("nowhere") << QStringList{} << "";
    }
    void testHelpLookupOrder() {
        QFETCH(QStringList, holding);
        QFETCH(QString, found);
        QTemporaryDir root;
        QStringList folders;
        for (const QString& name : {QStringLiteral("program"), QStringLiteral("data"), QStringLiteral("current")}) {
            QVERIFY(QDir(root.path()).mkdir(name));
            folders << root.filePath(name);
            if (holding.contains(name)) {
                QFile file(root.filePath(name + "/ZAVIZADA.HLP"));
                QVERIFY(file.open(QIODevice::WriteOnly));
            }
        }
        const QString path = locateHelpFile(QStringLiteral("ZAVIZADA.HLP"), folders);
        QCOMPARE(path, found.isEmpty() ? QString() : root.filePath(found + "/ZAVIZADA.HLP"));

        const QStringList searched = helpSearchFolders();
        QCOMPARE(searched.first(), QCoreApplication::applicationDirPath());
        QCOMPARE(searched.last(), QDir::currentPath());
    }

    void testMalformedHelpFilesRefused_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("no header") << QByteArray("@topic a | A\nbody\n");
        QTest::newRow("text before any topic") << QByteArray("VELAHELP 1\nstray text\n@topic a | A\n");
        QTest::newRow("topic without title") << QByteArray("VELAHELP 1\n@topic a\n");
        QTest::newRow("same id twice") << QByteArray("VELAHELP 1\n@topic a | A\n@topic a | B\n");
        QTest::newRow("no topics") << QByteArray("VELAHELP 1\n@book Empty\n");
    }
    void testMalformedHelpFilesRefused() {
        QFETCH(QByteArray, bytes);
        QString error;
        QVERIFY(!parseHelpFile(bytes, &error));
        QVERIFY(!error.isEmpty());
    }

    void testIndexSortsAndTellsSharedKeywordsApart() {
        const QByteArray bytes = "VELAHELP 1\r\n@book B\r\n@topic x | X topic | zeta; alpha\r\n<p>x</p>\r\n"
                                 "@topic y | Y topic | alpha\r\n<p>y</p>\r\n";
        std::optional<HelpDocument> doc = parseHelpFile(bytes);
        QVERIFY(doc);
        QCOMPARE(doc->topic("x")->html, QStringLiteral("<p>x</p>\n"));
        QStringList texts, ids;
        for (const HelpIndexEntry& e : doc->index()) texts << e.text, ids << e.topicId;
        QCOMPARE(texts, (QStringList{QString::fromUtf8("alpha（X topic）"), QString::fromUtf8("alpha（Y topic）"),
                                     QStringLiteral("zeta")}));
        QCOMPARE(ids, (QStringList{"x", "y", "x"}));
    }
};

QTEST_MAIN(OutputTest)
#include "tst_output.moc"
