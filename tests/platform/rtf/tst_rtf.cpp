// RTF codec: writer round trips, samples of other writers, damaged input.
#include "AppError.h"
#include "Cp932.h"
#include "Rtf.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace vela;
using rtf::RunFormat;
using rtf::RunList;
using rtf::TextRun;

namespace {

enum Style { Plain = 0, B = 1, I = 2, U = 4 };

RunFormat fmt(std::optional<std::string> font = {}, std::optional<std::uint32_t> color = {}, int style = Plain,
              std::optional<int> size = {}) {
    RunFormat f;
    if (font) f.font = cp932::utf16ToUtf8(cp932::utf8ToUtf16(*font));
    f.color = color;
    f.bold = style & B;
    f.italic = style & I;
    f.underline = style & U;
    f.halfPoints = size;
    return f;
}

TextRun run(const char* utf8, RunFormat f = {}) { return {cp932::fromUtf8(utf8), std::move(f)}; }

// A readable form for comparisons: formats in brackets, text bytes escaped.
QString dump(const RunList& runs) {
    QString out;
    for (const auto& r : runs) {
        const auto& f = r.format;
        out += QLatin1Char('[');
        if (f.font) out += QStringLiteral("font=%1 ").arg(QString::fromStdString(*f.font));
        if (f.color) out += QStringLiteral("color=%1 ").arg(*f.color, 6, 16, QLatin1Char('0'));
        if (f.bold) out += QStringLiteral("b ");
        if (f.italic) out += QStringLiteral("i ");
        if (f.underline) out += QStringLiteral("u ");
        if (f.halfPoints) out += QStringLiteral("fs=%1 ").arg(*f.halfPoints);
        out += QStringLiteral("] ");
        for (unsigned char c : r.text)
            out += (c >= 0x20 && c < 0x7F) ? QString(QChar(c)) : QStringLiteral("<%1>").arg(c, 2, 16, QLatin1Char('0'));
        out += QLatin1Char('\n');
    }
    return out;
}

std::string readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) qWarning("cannot read %s", qPrintable(path));
    return f.readAll().toStdString();
}

QStringList filesIn(const QString& folder) {
    QStringList out;
    QDir dir(test::dataFile(folder));
    for (const auto& name : dir.entryList(QDir::Files, QDir::Name)) out << dir.filePath(name);
    return out;
}

const char* kGothic = "ＭＳ ゴシック";

// Every combination of the attributes, on text whose trail bytes are \, { and }.
RunList everyCombination() {
    const std::optional<std::string> fonts[] = {std::nullopt, kGothic, "Arial", "x;{y}\\z", "Ωmega"};
    const std::optional<std::uint32_t> colors[] = {std::nullopt, 0x00FFFF00u, 0u};
    const std::optional<int> sizes[] = {std::nullopt, 20, 21};
    const char* texts[] = {"ソ表本", "a}b{c\\", "能\r\n", " 12", "\tタブ"};
    RunList runs;
    int n = 0;
    for (const auto& font : fonts)
        for (const auto& color : colors)
            for (int style = 0; style < 8; ++style)
                for (const auto& size : sizes) runs.push_back(run(texts[n++ % 5], fmt(font, color, style, size)));
    return runs;
}

} // namespace

class TestRtf : public QObject {
    Q_OBJECT
private slots:
    void testWriterRoundTripsEveryCombination() {
        RunList runs = everyCombination();
        const std::string whole = rtf::write(runs);
        auto result = rtf::read(whole);
        QCOMPARE(result.replaced, std::size_t(0));
        QCOMPARE(dump(result.runs), dump(rtf::normalize(runs)));
        // Written a piece at a time, the same bytes, whatever the piece size.
        rtf::PackedRuns packed;
        for (const auto& r : runs) packed.append(r.text, r.format);
        for (std::size_t pieceBytes : {std::size_t(1), std::size_t(7), std::size_t(1) << 20}) {
            std::string pieces;
            QVERIFY(rtf::Writer::writeInPieces([&](const rtf::Writer::RunVisitor& visit) { packed.forEach(visit); },
                                               [&](std::string_view piece) {
                pieces += piece;
                return true;
            }, pieceBytes));
            QCOMPARE(pieces, whole);
        }
    }

    void testWriterRoundTripsText_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("trail bytes 5c 7b 7d") << QByteArray("\x83\x5C\x95\x5C\x96\x7B\x83\x7D");
        QTest::newRow("line breaks") << QByteArray("a\r\n\r\nb\r\n");
        QTest::newRow("lone cr and lf") << QByteArray("a\rb\nc\n\r");
        QTest::newRow("digits after break") << QByteArray("\r\n123 \r\n-4");
        QTest::newRow("leading and trailing spaces") << QByteArray("  x  ");
        QTest::newRow("control bytes") << QByteArray("\x01\x1F\x7F", 3);
        QTest::newRow("nul byte") << QByteArray("a\0b", 3);
        QTest::newRow("half-width katakana") << QByteArray("\xB1\xB2\xDD\xDF");
        QTest::newRow("rtf lookalike") << QByteArray("{\\rtf1 \\par}\\'41");
    }
    void testWriterRoundTripsText() {
        QFETCH(QByteArray, text);
        RunList runs{{text.toStdString(), fmt(kGothic, 0x123456u, B, 24)}};
        auto result = rtf::read(rtf::write(runs));
        QCOMPARE(dump(result.runs), dump(runs));
    }

    void testWriterEscapesEveryHighByteAndBrace() {
        std::string out = rtf::write({run("ソ表本{}\\", fmt(kGothic))});
        for (unsigned char c : out) QVERIFY2(c < 0x80, "raw byte above 0x7F");
        QVERIFY(out.find("\\'83\\'5c\\'95\\'5c\\'96\\'7b\\'7b\\'7d\\'5c") != std::string::npos);
        QVERIFY(out.starts_with("{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl"));
        QVERIFY(out.find("\\fcharset128 \\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}") !=
                std::string::npos);
    }

    void testWriterMatchesGoldenFile() {
        RunList runs{run("<HTML>\r\n", fmt({}, 0x00FFFF00u)), run("本文", fmt(kGothic, {}, B | U, 28)),
                     run("\r\n</HTML>", fmt({}, 0x00FFFF00u))};
        QCOMPARE(QByteArray::fromStdString(rtf::write(runs)),
                 QByteArray::fromStdString(readFile(test::dataFile("rtf/golden/writer.rtf"))));
    }

    void testWriterOmitsRunsWithoutText() {
        RunList runs{run("", fmt("Unused", 0x1u)), run("a")};
        std::string out = rtf::write(runs);
        QVERIFY(out.find("Unused") == std::string::npos);
        QCOMPARE(dump(rtf::read(out).runs), dump({run("a")}));
        QCOMPARE(dump(rtf::read(rtf::write({})).runs), QString());
    }

    void testNormalize() {
        RunList runs{run("a", fmt("")),       run(""),
                     run("b", fmt({}, 0xFF000001u)), run("c", fmt({}, 0x1u)),
                     run("d", fmt({}, {}, Plain, 0)), run("e", fmt({}, {}, Plain, -3))};
        QCOMPARE(dump(rtf::normalize(runs)), dump({run("a"), run("bc", fmt({}, 0x1u)), run("de")}));
    }

    void testReadsOtherWriters_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("replaced");
        QTest::addColumn<int>("referenced");
        auto row = [](const char* file, RunList runs, int replaced = 0, int referenced = 0) {
            QTest::newRow(file) << QString::fromLatin1(file) << dump(runs) << replaced << referenced;
        };
        auto gothic20 = fmt(kGothic, 0x0000FFu, Plain, 20);
        row("richedit.rtf", {run("ソ表", gothic20), run("bold", fmt(kGothic, 0x0000FFu, B, 20)), run(" ", gothic20),
                             run("under", fmt(kGothic, 0x0000FFu, U, 20)), run("\r\nx\r\n", gothic20)});
        row("wordprocessor.rtf",
            {run("ソ表本", fmt(kGothic, {}, Plain, 21)), run("abc", fmt("Times New Roman", 0xFF0000u, B, 21)),
             run("あ", fmt("Times New Roman", {}, I, 21)), run("\r\n", fmt("Times New Roman", {}, Plain, 21))});
        // Characters CP932 cannot hold become references; bytes that decode to nothing "?".
        row("officesuite.rtf",
            {run("日本語", fmt("IPAGothic", 0x0000FFu, Plain, 24)),
             run(" and caf&#xE9;\r\n", fmt("Liberation Sans", {}, Plain, 24))},
            0, 1);
        // An emoji as a surrogate pair, lone surrogates, é, an undecodable CP932 byte.
        row("unicode.rtf", {run("高あxＡ本|&#x1F600;|?x|?|&#xE9;|?|\r\n", fmt("Gothic"))}, 3, 2);
        row("codepage1252.rtf",
            {run("caf&#xE9; …“x” ×", fmt("Arial")), run("あソ", fmt("MS Gothic")), run("´\r\n", fmt("Arial"))}, 0, 1);
        row("nocp932font.rtf", {run("“hi” &#x201A;&#xA0;", fmt("Arial"))}, 0, 2); // CP1252's 0x82 and 0xA0
        row("binary.rtf", {run("abc\r\n")});
        row("pictures.rtf", {run("abc\r\n", fmt("Gothic"))});
        row("fields.rtf", {run("see ", fmt("Gothic")), run("link", fmt("Gothic", 0xFF0000u, U)),
                           run(" page 3\r\n", fmt("Gothic"))});
        row("table.rtf", {run("A\t表\t\r\nC\tD\t\r\nafter\r\n", fmt("Gothic"))});
        row("control_symbols.rtf", {run("a\r\nb\r\nc\td ef-g\\h{i}j\r\nk\tl\\m", fmt("Gothic"))});
        row("formatting.rtf", {run("x", fmt("B", 0x030201u, B | I | U, 30)), run("y", fmt("A")),
                               run("zwvs", fmt("A", {}, B)), run("d", fmt("A", 0x030201u, B | U)),
                               run("no\r\n", fmt("A", {}, B))});
    }
    void testReadsOtherWriters() {
        QFETCH(QString, file);
        QFETCH(QString, expected);
        QFETCH(int, replaced);
        QFETCH(int, referenced);
        auto result = rtf::read(readFile(test::dataFile("rtf/samples/" + file)));
        QCOMPARE(dump(result.runs), expected);
        QCOMPARE(int(result.replaced), replaced);
        QCOMPARE(int(result.referenced), referenced);
    }

    void testDamagedInput_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("replaced");
        QTest::newRow("extra closing brace") << QByteArray("{\\rtf1 a}b}") << dump({run("a")}) << 0;
        QTest::newRow("missing closing braces") << QByteArray("{\\rtf1 {\\b a{") << dump({run("a", fmt({}, {}, B))}) << 0;
        QTest::newRow("invalid hex") << QByteArray("{\\rtf1\\ansicpg932 a\\'zzb\\'4}") << dump({run("a?zzb?")}) << 2;
        QTest::newRow("hex at end") << QByteArray("{\\rtf1 a\\'") << dump({run("a?")}) << 1;
        QTest::newRow("backslash at end") << QByteArray("{\\rtf1 a\\") << dump({run("a")}) << 0;
        QTest::newRow("bin past end") << QByteArray("{\\rtf1 a\\bin999999 xyz") << dump({run("a")}) << 0;
        QTest::newRow("negative bin") << QByteArray("{\\rtf1 a\\bin-5 b}") << dump({run("ab")}) << 0;
        QTest::newRow("huge size clamps")
            << QByteArray("{\\rtf1 \\fs99999999999999999999 a}") << dump({run("a", fmt({}, {}, Plain, 3276))}) << 0;
        QTest::newRow("huge numbers") << QByteArray("{\\rtf1 \\uc99999999999\\f-99999999999 a{\\u99999999999 b}c}")
                                      << dump({run("a?c")}) << 1;
        QTest::newRow("long control word")
            << QByteArray("{\\rtf1 a\\" + QByteArray(100, 'x') + "1 b\\" + QByteArray(33, 'b') + " c}") << dump({run("abc")})
            << 0;
        QTest::newRow("lead byte without trail") << QByteArray("{\\rtf1\\ansicpg932 \\'82}") << dump({run("?")}) << 1;
        QTest::newRow("raw shift-jis with 5c trail") << QByteArray("{\\rtf1\\ansicpg932 \x83\x5C\x95\x5C}")
                                                     << dump({run("ソ表")}) << 0;
        QTest::newRow("colour index out of range")
            << QByteArray("{\\rtf1{\\colortbl;\\red1;}\\cf7 a\\cf1 b}") << dump({run("a"), run("b", fmt({}, 0x1u))}) << 0;
        QTest::newRow("unknown font number") << QByteArray("{\\rtf1\\f5 a}") << dump({run("a")}) << 0;
    }
    void testDamagedInput() {
        QFETCH(QByteArray, input);
        QFETCH(QString, expected);
        QFETCH(int, replaced);
        auto result = rtf::read(input.toStdString());
        QCOMPARE(dump(result.runs), expected);
        QCOMPARE(int(result.replaced), replaced);
    }

    // Long stretches of text, raw or escaped, read in pieces: a double-byte
    // character whose trail byte is \ must stay whole wherever a piece ends.
    void testLongTextStretches_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("escaped");
        const QByteArray so = "\x83\x5C"; // ソ
        for (int shift = 0; shift < 3; ++shift) {
            QByteArray text = QByteArray(shift, 'a') + so.repeated(1500) + "z";
            QTest::addRow("raw, %d leading bytes", shift) << text << false;
            QTest::addRow("escaped, %d leading bytes", shift) << text << true;
        }
        QTest::newRow("escaped and raw mixed") << (so + "ab" + so + "{").repeated(400) << true;
    }
    void testLongTextStretches() {
        QFETCH(QByteArray, text);
        QFETCH(bool, escaped);
        std::string body = text.toStdString();
        std::string in = escaped ? rtf::write({{body, {}}}) : "{\\rtf1\\ansicpg932 " + body + "}";
        auto result = rtf::read(in);
        QCOMPARE(result.replaced, std::size_t(0));
        QCOMPARE(dump(result.runs), dump({{body, {}}}));
    }

    void testDeepNestingIsSkippedNotRecursed() {
        std::string in = "{\\rtf1 a" + std::string(100000, '{') + "b" + std::string(100000, '}') + "c}";
        QCOMPARE(dump(rtf::read(in).runs), dump({run("ac")}));
        std::string open = "{\\rtf1 a" + std::string(100000, '{') + "b";
        QCOMPARE(dump(rtf::read(open).runs), dump({run("a")}));
    }

    void testNotRtfIsRefused_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("rtf");
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("plain text") << QByteArray("<HTML>") << false;
        QTest::newRow("leading space") << QByteArray(" {\\rtf1}") << false;
        QTest::newRow("truncated header") << QByteArray("{\\rt") << false;
        QTest::newRow("upper case") << QByteArray("{\\RTF1}") << false;
        QTest::newRow("minimal") << QByteArray("{\\rtf") << true;
        QTest::newRow("rtf1") << QByteArray("{\\rtf1\\ansi}") << true;
    }
    void testNotRtfIsRefused() {
        QFETCH(QByteArray, input);
        QFETCH(bool, rtf);
        QCOMPARE(rtf::looksLikeRtf(input.toStdString()), rtf);
        bool threw = false;
        try {
            rtf::read(input.toStdString());
        } catch (const AppError& e) {
            threw = true;
            QCOMPARE(QString::fromUtf8(e.what()), QString::fromUtf8(streamReadFailed().what()));
        }
        QCOMPARE(threw, !rtf);
    }

    // Every prefix of every sample loads, in normalize()'s form, or is refused
    // as not RTF; none crashes.
    void testTruncationAtEveryOffset() {
        QStringList files = filesIn(QStringLiteral("rtf/samples")) + filesIn(QStringLiteral("rtf/regressions"));
        QVERIFY(!files.isEmpty());
        std::vector<std::string> inputs;
        for (const auto& f : files) inputs.push_back(readFile(f));
        inputs.push_back(rtf::write(everyCombination()));
        for (const auto& whole : inputs) {
            for (std::size_t n = 0; n <= whole.size(); ++n) {
                std::string_view prefix(whole.data(), n);
                try {
                    auto result = rtf::read(prefix);
                    QVERIFY2(result.runs == rtf::normalize(result.runs), "runs not in canonical form");
                } catch (const AppError&) {
                    QVERIFY2(!rtf::looksLikeRtf(prefix), "an RTF prefix was refused");
                }
            }
        }
    }

    // Inputs the fuzzer once crashed on, kept so the fault stays fixed.
    void testRegressionFilesLoad() {
        for (const auto& f : filesIn(QStringLiteral("rtf/regressions"))) {
            std::string in = readFile(f);
            try {
                rtf::read(in);
            } catch (const AppError&) {
                QVERIFY2(!rtf::looksLikeRtf(in), qPrintable(f));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestRtf)
#include "tst_rtf.moc"
