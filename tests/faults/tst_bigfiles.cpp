// Very large files opened through the window: a file past the load limits is
// refused with a message before it is read, a 10 MB page and its source
// document still load, the process stays far below 2 GiB, and the window
// answers again afterwards. The files are generated here, never committed.
#include "../documents/DocumentTestSupport.h"

#include "Pane.h"
#include "UserActions.h"

#include <QTimer>

#include <fstream>

using namespace vela;
using namespace vela::test;

namespace {

enum class Load { Open, Import };

std::string title(MainWindowFixture& w) { return w.form->windowTitle().toStdString(); }

/// Peak resident memory of this process so far, in MiB.
long peakMemoryMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6)) / 1024;
    return -1;
}

/// Writes exactly `total` bytes: `head`, `line` repeated, blanks, `tail`; a
/// piece at a time, so the test itself never holds the file.
void writeGenerated(const QString& path, const std::string& head, const std::string& line, const std::string& tail,
                    std::int64_t total) {
    std::ofstream out(path.toStdString(), std::ios::binary);
    std::string chunk;
    for (int i = 0; i < (1 << 20) / int(line.size()); ++i) chunk += line;
    std::int64_t left = total - std::int64_t(head.size() + tail.size());
    out << head;
    while (left >= std::int64_t(chunk.size())) {
        out << chunk;
        left -= std::int64_t(chunk.size());
    }
    for (; left >= std::int64_t(line.size()); left -= std::int64_t(line.size())) out << line;
    out << std::string(std::size_t(left), ' ') << tail;
    QVERIFY(out.good());
}

const std::string PageHead = "<HTML>\r\n<HEAD>\r\n</HEAD>\r\n<BODY>\r\n";
const std::string PageTail = "</BODY>\r\n</HTML>\r\n";

std::string pageLine() {
    return cp932::fromUtf8("<P>日本語の本文です。<A HREF=\"index.htm\">ﾄｯﾌﾟへ戻る</A><BR>Plain ASCII text.</P>\r\n");
}

/// A page of `total` bytes as a user's .htm holds it.
void writePage(const QString& path, std::int64_t total) { writeGenerated(path, PageHead, pageLine(), PageTail, total); }

/// A source document of `total` bytes as the editor writes it: tags coloured, every double-byte character escaped.
void writeSourceDocument(const QString& path, std::int64_t total) {
    const std::string head = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 ;}}\r\n"
                             "{\\colortbl ;\\red255\\green255\\blue0;\\red255\\green255\\blue255;"
                             "\\red0\\green255\\blue255;}\r\n\\uc1\\pard ";
    std::string line = "\\plain\\cf3 <P>\\plain\\cf2 ";
    for (unsigned char b : cp932::fromUtf8("日本語の本文です。")) line += "\\'" + QByteArray(1, char(b)).toHex().toStdString();
    line += "\\plain\\cf3 </P>\\plain\\cf2 Plain ASCII text.\\par\r\n";
    writeGenerated(path, head, line, "}", total);
}

/// Ticks "HTMLファイル読み込み時、自動的にリフレッシュを実行", as the heaviest import runs.
void turnAutoRefreshOn(MainWindowFixture& w) {
    w.services.expectModal([](QDialog& d) {
        user::setChecked(d, "CheckBox2", true);
        user::click(d, "Button1");
    });
    w.chooseMenuEntry("KS1");
    QCOMPARE(w.form->state().AutoRefreshOnImport, 1);
}

/// Runs the load command on `path`; the error report, when `refusal` is given, must carry it.
void load(MainWindowFixture& w, Load how, const QString& path, const std::optional<std::string>& refusal = {}) {
    w.services.expectFileDialog(path.toStdString());
    if (refusal) expectErrorReport(w, *refusal);
    w.chooseMenuEntry(how == Load::Open ? "Menu12" : "HTM1");
    QVERIFY(w.services.verifyAllConsumed());
}

/// The window answers once the command is over: a queued timer fires, and an export writes the pane's text.
void verifyWindowAnswers(MainWindowFixture& w, const bool& timerFired) {
    QTRY_VERIFY(timerFired);
    const QString exported = inDir(w, "answer.htm");
    QFile::remove(exported); // from an earlier check: no overwrite question
    w.services.expectFileDialog(exported.toStdString());
    w.chooseMenuEntry("HTML1");
    QVERIFY(w.services.verifyAllConsumed());
    QCOMPARE(readAll(exported), QByteArray::fromStdString(w.form->pane().text()));
}

constexpr long MemoryCeilingMiB = 2048;

} // namespace

Q_DECLARE_METATYPE(Load)

class BigFilesTest : public QObject {
    Q_OBJECT

private slots:
    void testTooLargeIsRefusedBeforeReading_data() {
        QTest::addColumn<Load>("how");
        QTest::addColumn<bool>("rtf");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("limitMiB");
        const qint64 hundredMB = qint64(100) << 20;
        QTest::newRow("open, 100 MB source document") << Load::Open << true << hundredMB << 64;
        QTest::newRow("import, 100 MB page") << Load::Import << false << hundredMB << 16;
        QTest::newRow("open, source document one byte over")
            << Load::Open << true << qint64(kMaxRtfFileBytes + 1) << 64;
        QTest::newRow("import, page one byte over") << Load::Import << false << qint64(kMaxPlainTextFileBytes + 1) << 16;
        // A plain-text file opened as a source document is read as text, so the text limit holds.
        QTest::newRow("open, plain text one byte over")
            << Load::Open << false << qint64(kMaxPlainTextFileBytes + 1) << 16;
        // An RTF file imported as a page keeps its format; the RTF limit holds.
        QTest::newRow("import, RTF one byte over") << Load::Import << true << qint64(kMaxRtfFileBytes + 1) << 64;
    }
    void testTooLargeIsRefusedBeforeReading() {
        QFETCH(Load, how);
        QFETCH(bool, rtf);
        QFETCH(qint64, size);
        QFETCH(int, limitMiB);
        MainWindowFixture w;
        turnAutoRefreshOn(w);
        typeText(w, "kept");
        w.services.expectFileDialog(inDir(w, "doc.kvd").toStdString());
        w.chooseMenuEntry("Menu14");
        const std::string text = w.form->pane().text();
        const QString path = inDir(w, how == Load::Open ? "big.kvd" : "big.htm");
        if (rtf)
            writeSourceDocument(path, size);
        else
            writePage(path, size);
        QCOMPARE(QFileInfo(path).size(), size);

        bool timerFired = false;
        QTimer::singleShot(0, [&timerFired] { timerFired = true; });
        load(w, how, path,
             "ﾌｧｲﾙ " + path.toStdString() + " は大きすぎて開けません（" + std::to_string(limitMiB) + " MB まで）");
        QCOMPARE(w.services.messageBoxes().back().icon, MessageIcon::Error);
        QCOMPARE(w.form->pane().text(), text);
        QVERIFY(!w.form->pane().modified());
        QCOMPARE(w.form->state().SourcePath, inDir(w, "doc.kvd").toStdString());
        QCOMPARE(title(w), AppCaption + " - " + inDir(w, "doc.kvd").toStdString());
        verifyWindowAnswers(w, timerFired);
        QVERIFY2(peakMemoryMiB() < MemoryCeilingMiB, qPrintable(QString::number(peakMemoryMiB())));
    }

    void testTenMegabytePageLoads() {
        MainWindowFixture w;
        turnAutoRefreshOn(w);
        const QString page = inDir(w, "page.htm");
        writePage(page, qint64(10) << 20);
        const QByteArray pageBytes = readAll(page);

        bool timerFired = false;
        QTimer::singleShot(0, [&timerFired] { timerFired = true; });
        load(w, Load::Import, page);
        QCOMPARE(QByteArray::fromStdString(w.form->pane().text()), pageBytes);
        QCOMPARE(title(w), AppCaption);
        verifyWindowAnswers(w, timerFired);

        // Its source document, coloured by the refresh, is within the limit and opens again.
        const QString doc = inDir(w, "page.kvd");
        w.services.expectFileDialog(doc.toStdString());
        w.chooseMenuEntry("Menu14");
        QVERIFY(w.services.verifyAllConsumed());
        QVERIFY(QFileInfo(doc).size() < kMaxRtfFileBytes);
        w.chooseMenuEntry("Menu11");
        QCOMPARE(w.form->pane().text(), Template);
        timerFired = false;
        QTimer::singleShot(0, [&timerFired] { timerFired = true; });
        load(w, Load::Open, doc);
        QCOMPARE(QByteArray::fromStdString(w.form->pane().text()), pageBytes);
        QCOMPARE(title(w), AppCaption + " - " + doc.toStdString());
        verifyWindowAnswers(w, timerFired);
        QVERIFY2(peakMemoryMiB() < MemoryCeilingMiB, qPrintable(QString::number(peakMemoryMiB())));
    }
};

QTEST_MAIN(BigFilesTest)
#include "tst_bigfiles.moc"
