// Streaming to and from files, the clipboard, and every way text enters the widget.

#include "AppError.h"
#include "Pane.h"
#include "PaneTestUtil.h"
#include "Rtf.h"
#include "TestSupport.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QTemporaryDir>

using namespace vela;
using vela::test::sj;

namespace {
constexpr Color kCyan = 0xFFFF00;

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const AppError& e) {
        return e.what();
    }
    return "(no error)";
}

// A pane with a cyan tag, for the formatted round trips.
void fillColoured(Pane& pane) {
    pane.setSelText(sj("本文"));
    pane.setSelColor(kCyan);
    pane.setSelText(sj("<表>"));
    pane.setSelColor(0xFFFFFF);
    pane.setSelText(sj("\r\nｶﾅ"));
}
} // namespace

class TestPaneIo : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

private slots:
    void init() { QGuiApplication::clipboard()->clear(); }

    void plainTextIsCp932WithCrLf() {
        Pane pane;
        pane.setSelText(sj("ソ表\r\nｱ<>\r\n"));
        pane.saveToFile(path("out.htm").toStdString(), StreamFormat::PlainText);
        QCOMPARE(readAll(path("out.htm")), QByteArray("\x83\x5C\x95\x5C\r\n\xB1<>\r\n"));
    }

    void plainLoadNormalisesAndCounts_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("replaced");
        QTest::addColumn<int>("referenced");
        QTest::addColumn<QString>("encoding");
        QTest::newRow("LF only") << QByteArray("a\nb\n") << QByteArray("a\r\nb\r\n") << 0 << 0 << "";
        QTest::newRow("undecodable bytes") << QByteArray("a\x80\xFD" "b") << QByteArray("a??b") << 2 << 0 << "";
        QTest::newRow("lead byte at end") << QByteArray("x\x82") << QByteArray("x?") << 1 << 0 << "";
        QTest::newRow("NEC duplicate comes back as IBM") << QByteArray("\xED\x40") << QByteArray("\xFA\x5C") << 0 << 0 << "";
        QTest::newRow("not RTF in RTF mode") << QByteArray("<HTML>\r\n") << QByteArray("<HTML>\r\n") << 0 << 0 << "";
        QTest::newRow("UTF-8 in its own encoding") << QString("<P>日本語 café</P>\n").toUtf8()
                                                   << QByteArray::fromStdString(sj("<P>日本語 caf&#xE9;</P>\r\n")) << 0 << 1
                                                   << "UTF-8";
        // A page keeps the very character its author wrote: U+301C has no code of its own in CP932.
        QTest::newRow("UTF-8 page's wave dash") << QString("10時〜12時").toUtf8()
                                                << QByteArray::fromStdString(sj("10時&#x301C;12時")) << 0 << 1 << "UTF-8";
        QTest::newRow("RTF with \\u of an em dash") << QByteArray("{\\rtf1 a\\u8212?b}") << QByteArray("a&#x2014;b") << 0
                                                    << 1 << "";
    }
    void plainLoadNormalisesAndCounts() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, text);
        QFETCH(int, replaced);
        QFETCH(int, referenced);
        QFETCH(QString, encoding);
        writeAll(path("in.txt"), file);
        Pane pane;
        const LoadReport report = pane.loadFromFile(path("in.txt").toStdString(), StreamFormat::Rtf);
        QCOMPARE(QByteArray::fromStdString(pane.text()), text);
        QCOMPARE(int(report.replaced), replaced);
        QCOMPARE(int(report.referenced), referenced);
        QCOMPARE(QString::fromStdString(report.encoding), encoding);
        QCOMPARE(pane.textLength(), int(text.size()));
    }

    void rtfRoundTripKeepsColours() {
        Pane pane;
        fillColoured(pane);
        const std::string file = path("doc.kvd").toStdString();
        pane.saveToFile(file, StreamFormat::Rtf);
        QVERIFY(readAll(path("doc.kvd")).startsWith("{\\rtf"));
        Pane back;
        back.loadFromFile(file, StreamFormat::Rtf);
        QCOMPARE(back.text(), pane.text());
        QCOMPARE(back.runs(), pane.runs());
        back.setSelStart(5);
        QCOMPARE(back.selColor(), kCyan);
    }

    void coloursAndTextAgreeWithRuns() {
        // Refresh works on text(), colours() and runs() together: they must tell
        // the same content, whatever way it was built or edited.
        Pane pane;
        fillColoured(pane);
        pane.setSelStart(3);
        pane.setSelText(sj("日本\r\nｶﾅ<B>"));
        pane.setSelStart(0);
        pane.setSelLength(2);
        pane.setSelColor(kCyan);
        for (int round = 0; round < 2; ++round) {
            const rtf::RunList runs = pane.runs();
            std::string joined;
            std::vector<ColourStretch> expected;
            for (const auto& run : runs) {
                joined += run.text;
                if (!expected.empty() && expected.back().color == run.format.color)
                    expected.back().length += run.text.size();
                else
                    expected.push_back({run.text.size(), run.format.color});
            }
            QCOMPARE(pane.text(), joined);
            QCOMPARE(pane.rtfText(), rtf::write(runs));
            // Made a line at a time, as the recovery copy takes it, the RTF is the same.
            const auto slices = pane.rtfInSlices();
            while (!slices->next(1)) QVERIFY(slices->current());
            QCOMPARE(slices->take(), rtf::write(runs));
            rtf::RunList pieces;
            pane.forEachRun([&pieces](const rtf::RunFormat& f, std::string_view t) { pieces.push_back({std::string(t), f}); });
            QCOMPARE(rtf::normalize(pieces), runs);
            const std::vector<ColourStretch> colours = pane.colours();
            QCOMPARE(colours.size(), expected.size());
            for (std::size_t i = 0; i < colours.size(); ++i) {
                QCOMPARE(colours[i].length, expected[i].length);
                QCOMPARE(colours[i].color, expected[i].color);
            }
            pane.setRuns(runs); // and again on a document built aside
        }
        // Slices begun before a change would mix two versions: they stop.
        const auto slices = pane.rtfInSlices();
        slices->next(1);
        pane.setSelStart(0);
        pane.setSelText("x");
        QVERIFY(!slices->current());
        QVERIFY(!slices->next(1 << 20));
    }

    void fileErrorsUseTheMessagesAndKeepThePane() {
        Pane pane;
        pane.setSelText("keep");
        const QString missing = path("missing.kvd");
        QCOMPARE(messageOf([&] { pane.loadFromFile(missing.toStdString(), StreamFormat::Rtf); }),
                 "ﾌｧｲﾙ " + missing.toStdString() + " は開けません");
        const QString noDir = path("no/such/dir.htm");
        QCOMPARE(messageOf([&] { pane.saveToFile(noDir.toStdString(), StreamFormat::PlainText); }),
                 "ﾌｧｲﾙ " + noDir.toStdString() + " を作成できません");
        QCOMPARE(pane.text(), std::string("keep"));
    }

    void saveReplacesALongerFileWhole() {
        QTemporaryDir own;
        const QString file = own.filePath("old.htm");
        writeAll(file, QByteArray(4096, 'x'));
        Pane pane;
        pane.setSelText("new");
        pane.saveToFile(file.toStdString(), StreamFormat::PlainText);
        QCOMPARE(readAll(file), QByteArray("new"));
        QCOMPARE(QDir(own.path()).entryList(QDir::Files), QStringList{"old.htm"});
    }

    void clipboardRoundTripKeepsColours() {
        Pane source;
        fillColoured(source);
        source.setSelStart(2);
        source.setSelLength(6);
        source.copyToClipboard();
        QVERIFY(source.clipboardHasText());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("文<表>"));
        Pane target;
        target.setSelText("[]");
        target.setSelStart(1);
        target.pasteFromClipboard();
        QCOMPARE(target.text(), "[" + sj("文<表>") + "]");
        QCOMPARE(target.selStart(), 7);
        target.setSelStart(3);
        target.setSelLength(4);
        QCOMPARE(target.selColor(), kCyan);

        source.cutToClipboard();
        QCOMPARE(source.text(), sj("本\r\nｶﾅ"));
    }

    void insertionPathsFilterText_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("offered");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("referenced");
        // Characters CP932 cannot hold enter as references, the rest as it stands.
        const QString foreign = QStringLiteral("a😀b\u00A0–é");
        const QByteArray references("a&#x1F600;b&#xA0;&#x2013;&#xE9;");
        for (const char* path : {"paste", "ctrl+v", "shift+insert", "drop"}) {
            QTest::addRow("%s text", path) << path << QStringLiteral("日\r\nx") << QByteArray("\x93\xFA\r\nx") << 0;
            QTest::addRow("%s emoji and accents", path) << path << foreign << references << 4;
            QTest::addRow("%s line separator", path) << path << QStringLiteral("a\u2028b") << QByteArray("a\r\nb") << 0;
            // Other programs here write these JIS code points; they enter as the Shift-JIS characters.
            QTest::addRow("%s wave dash of a browser", path) << path << QStringLiteral("10時〜12時")
                                                             << QByteArray("10\x8E\x9E\x81\x60" "12\x8E\x9E") << 0;
        }
        QTest::newRow("typed emoji and accents") << "type" << foreign << references << 1; // one key at a time
        QTest::newRow("typed kana") << "type" << QStringLiteral("ｱ") << QByteArray("\xB1") << 0;
        QTest::newRow("im commit emoji and accents") << "im" << foreign << references << 4;
        QTest::newRow("im commit kanji") << "im" << QStringLiteral("漢字") << QByteArray("\x8A\xBF\x8E\x9A") << 0;
        QTest::newRow("im commit U+301C wave dash") << "im" << QStringLiteral("\u301C") << QByteArray("\x81\x60") << 0;
        QTest::newRow("im commit U+2016 double bar") << "im" << QStringLiteral("\u2016") << QByteArray("\x81\x61") << 0;
        QTest::newRow("im commit U+2212 minus") << "im" << QStringLiteral("\u2212") << QByteArray("\x81\x7C") << 0;
        QTest::newRow("im commit U+00A2 cent") << "im" << QStringLiteral("\u00A2") << QByteArray("\x81\x91") << 0;
        QTest::newRow("im commit U+00A3 pound") << "im" << QStringLiteral("\u00A3") << QByteArray("\x81\x92") << 0;
        QTest::newRow("im commit U+00AC not") << "im" << QStringLiteral("\u00AC") << QByteArray("\x81\xCA") << 0;
        QTest::newRow("im commit U+2014 em dash") << "im" << QStringLiteral("\u2014") << QByteArray("\x81\x5C") << 0;
        // iconv maps the yen sign to a backslash one way too; in a page that would be no yen sign.
        QTest::newRow("typed yen sign") << "type" << QStringLiteral("\u00A5") << QByteArray("&#xA5;") << 1;
    }
    void insertionPathsFilterText() {
        QFETCH(QString, path);
        QFETCH(QString, offered);
        QFETCH(QByteArray, expected);
        QFETCH(int, referenced);
        Pane pane;
        std::string message;
        pane.setInputNoticeHandler([&](const std::string& m) { message = m; });
        QWidget* w = pane.widget();
        auto* mime = new QMimeData;
        mime->setText(offered);
        if (path == "type") {
            delete mime;
            // One key event per character: keyClicks would split the surrogate pair.
            for (char32_t cp : offered.toUcs4()) {
                const QString text = QString::fromUcs4(&cp, 1);
                QKeyEvent key(QEvent::KeyPress, cp < 0x80 ? QChar(cp).toUpper().unicode() : 0, Qt::NoModifier, text);
                QCoreApplication::sendEvent(w, &key);
            }
        } else if (path == "im") {
            delete mime;
            QInputMethodEvent commit;
            commit.setCommitString(offered);
            QCoreApplication::sendEvent(w, &commit);
        } else if (path == "drop") {
            auto* viewport = qobject_cast<QPlainTextEdit*>(w)->viewport();
            w->resize(200, 100);
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(viewport, &enter);
            QDragMoveEvent move(QPoint(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(viewport, &move);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(viewport, &drop);
            delete mime;
        } else {
            QGuiApplication::clipboard()->setMimeData(mime);
            if (path == "paste") pane.pasteFromClipboard();
            if (path == "ctrl+v") QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
            if (path == "shift+insert") QTest::keyClick(w, Qt::Key_Insert, Qt::ShiftModifier);
        }
        QCOMPARE(QByteArray::fromStdString(pane.text()), expected);
        if (referenced)
            QCOMPARE(message, "Shift-JIS で表せない " + std::to_string(referenced) + " 文字を文字参照 (&#x...;) にしました");
        else
            QCOMPARE(message, std::string());
    }

    void richTextPasteArrivesAsPlainText_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("rich");
        QTest::newRow("html") << "text/html" << QByteArray("<b style=\"color:red\">太</b><img src=x>");
        // A word processor's rich text: only our own RTF is taken as formatted runs.
        QTest::newRow("word processor rtf") << "text/rtf"
                                            << QByteArray("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1\\b\\'91\\'be}");
    }
    void richTextPasteArrivesAsPlainText() {
        QFETCH(QString, format);
        QFETCH(QByteArray, rich);
        auto* mime = new QMimeData;
        mime->setData(format, rich);
        mime->setText(QStringLiteral("太"));
        QGuiApplication::clipboard()->setMimeData(mime);
        Pane pane;
        pane.pasteFromClipboard();
        QCOMPARE(pane.text(), sj("太"));
        pane.setSelStart(0);
        pane.setSelLength(2);
        QCOMPARE(pane.selStyle(), FontStyle::None);
        QCOMPARE(pane.selColor(), pane.defaultColor());
    }

    void imageIsRefused() {
        auto* mime = new QMimeData;
        mime->setImageData(QImage(4, 4, QImage::Format_RGB32));
        QGuiApplication::clipboard()->setMimeData(mime);
        QVERIFY(!QGuiApplication::clipboard()->mimeData()->hasText());
        Pane pane;
        QVERIFY(!pane.clipboardHasText());
        std::string message;
        pane.setInputNoticeHandler([&](const std::string& m) { message = m; });
        pane.pasteFromClipboard();
        QCOMPARE(pane.textLength(), 0);
        QVERIFY(!message.empty());

        QMimeData image;
        image.setImageData(QImage(4, 4, QImage::Format_RGB32));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &image, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(qobject_cast<QPlainTextEdit*>(pane.widget())->viewport(), &enter);
        QVERIFY(!enter.isAccepted());
    }

    void shiftEnterIsALineBreak() {
        Pane pane;
        QTest::keyClicks(pane.widget(), "ab");
        QTest::keyClick(pane.widget(), Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(pane.widget(), "c");
        QCOMPARE(pane.text(), std::string("ab\r\nc"));
        QCOMPARE(pane.textLength(), 5);
    }

    void altChordsTypeNothing() {
        Pane pane;
        QKeyEvent altZ(QEvent::KeyPress, Qt::Key_Z, Qt::AltModifier, QStringLiteral("z"));
        QCoreApplication::sendEvent(pane.widget(), &altZ);
        QKeyEvent altGr(QEvent::KeyPress, Qt::Key_At, Qt::GroupSwitchModifier, QStringLiteral("@"));
        QCoreApplication::sendEvent(pane.widget(), &altGr);
        QCOMPARE(pane.text(), std::string("@"));
    }

    void compositionIsEnteredOnceWhereShown() {
        Pane pane;
        pane.setSelText("<B></B>");
        pane.setSelStart(0);
        pane.setSelLength(3);
        pane.setSelColor(0xFFFF00);
        pane.setSelStart(3);
        // As the window's key handler does: what is typed after a coloured tag comes out white.
        pane.setKeyDownHandler([&pane](int) {
            if (pane.selColor() != 0xFFFFFF) pane.setSelColor(0xFFFFFF);
        });
        auto* edit = qobject_cast<QPlainTextEdit*>(pane.widget());
        edit->resize(300, 100);
        edit->show();
        QVERIFY(QTest::qWaitForWindowExposed(edit));
        auto send = [edit](const QString& shown, const QString& commit) {
            QTextCharFormat underline;
            underline.setFontUnderline(true);
            QInputMethodEvent event(shown, {{QInputMethodEvent::TextFormat, 0, int(shown.size()), underline}});
            if (!commit.isEmpty()) event.setCommitString(commit);
            QCoreApplication::sendEvent(edit, &event);
        };
        send(QStringLiteral("にほんご"), {});
        // The uncommitted text's own stretch of the line; the tag before it keeps its colour.
        const QTextLayout* layout = edit->textCursor().block().layout();
        int inComposition = 0;
        for (const auto& range : layout->formats()) {
            if (range.start >= layout->preeditAreaPosition() + int(layout->preeditAreaText().size())) continue;
            if (range.start + range.length <= layout->preeditAreaPosition()) {
                QCOMPARE(range.format.foreground().color(), QColor(0, 0xFF, 0xFF));
                continue;
            }
            ++inComposition;
            QCOMPARE(range.format.foreground().color(), QColor(Qt::white));
        }
        QVERIFY(inComposition > 0);
        QCOMPARE(pane.text(), std::string("<B></B>"));

        // A click elsewhere enters it where it was shown; ibus then commits it once more, which is dropped.
        QTest::mouseClick(edit->viewport(), Qt::LeftButton, {}, QPoint(250, 50));
        send({}, QStringLiteral("にほんご"));
        QCOMPARE(pane.text(), sj("<B>にほんご</B>"));
        QCOMPARE(pane.selStart(), 15);
        // A new composition of the same word is entered again.
        send(QStringLiteral("にほんご"), {});
        send({}, QStringLiteral("にほんご"));
        QCOMPARE(pane.text(), sj("<B>にほんご</B>にほんご"));
        pane.setSelStart(3);
        pane.setSelLength(8);
        QCOMPARE(pane.selColor(), Color(0xFFFFFF));
    }

    void keyDownRunsBeforeTheKey() {
        Pane pane;
        std::vector<std::pair<int, std::string>> seen;
        pane.setKeyDownHandler([&](int key) { seen.emplace_back(key, pane.text()); });
        QTest::keyClicks(pane.widget(), "xy");
        QTest::keyClick(pane.widget(), Qt::Key_Return);
        QCOMPARE(seen.size(), std::size_t(3));
        QCOMPARE(seen[0], std::make_pair(int(Qt::Key_X), std::string()));
        QCOMPARE(seen[1].second, std::string("x"));
        QCOMPARE(seen[2], std::make_pair(int(Qt::Key_Return), std::string("xy")));
    }
};

QTEST_MAIN(TestPaneIo)
#include "tst_pane_io.moc"
