// CP932 codec: golden byte sequences both ways.
#include "AppError.h"
#include "Cp932.h"

#include <QtTest>

#include <vector>

using namespace vela;

namespace {
std::string bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list) s += static_cast<char>(b);
    return s;
}
std::u16string u16(const char* utf8) { return cp932::utf8ToUtf16(utf8); }
} // namespace

class TestCp932 : public QObject {
    Q_OBJECT
private slots:
    void testGoldenRoundTrip_data() {
        QTest::addColumn<QByteArray>("utf8");
        QTest::addColumn<QByteArray>("sjis");
        auto row = [](const char* name, const char* utf8, std::string sjis) {
            QTest::newRow(name) << QByteArray(utf8) << QByteArray::fromStdString(sjis);
        };
        row("ascii", "<B>abc</B>\r\n", "<B>abc</B>\r\n");
        row("half-width katakana", "ｱｲｳﾝﾟ", bytes({0xB1, 0xB2, 0xB3, 0xDD, 0xDF}));
        row("jis x 0208", "漢字ひらがなカタカナ", bytes({0x8A, 0xBF, 0x8E, 0x9A, 0x82, 0xD0, 0x82, 0xE7, 0x82, 0xAA,
                                                       0x82, 0xC8, 0x83, 0x4A, 0x83, 0x5E, 0x83, 0x4A, 0x83, 0x69}));
        row("0x5c trail bytes", "ソ表能", bytes({0x83, 0x5C, 0x95, 0x5C, 0x94, 0x5C}));
        row("0x7b trail byte", "本", bytes({0x96, 0x7B}));
        row("nec special row", "①㈱", bytes({0x87, 0x40, 0x87, 0x8A}));
        row("ibm extension", "ⅰ纊", bytes({0xFA, 0x40, 0xFA, 0x5C}));
    }
    void testGoldenRoundTrip() {
        QFETCH(QByteArray, utf8);
        QFETCH(QByteArray, sjis);
        QCOMPARE(QByteArray::fromStdString(cp932::fromUtf8(utf8.toStdString())), sjis);
        auto d = cp932::decode(sjis.toStdString());
        QCOMPARE(d.replaced, std::size_t(0));
        QCOMPARE(QByteArray::fromStdString(cp932::utf16ToUtf8(d.text)), utf8);
    }

    void testNecSelectedIbmComesBackAsIbmCode() {
        // ED/EE rows duplicate FA-FC; writing back picks the IBM code, as Windows does.
        auto d = cp932::decode(bytes({0xEE, 0xEF, 0xED, 0x40}));
        QCOMPARE(cp932::encode(d.text).bytes, bytes({0xFA, 0x40, 0xFA, 0x5C}));
    }

    void testUndecodableBytesBecomeQuestionMarks_data() {
        QTest::addColumn<QByteArray>("in");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<int>("replaced");
        QTest::newRow("0x80") << QByteArray("a\x80z") << QByteArray("a?z") << 1;
        QTest::newRow("0xa0 0xfd 0xfe 0xff") << QByteArray("\xA0\xFD\xFE\xFF") << QByteArray("????") << 4;
        QTest::newRow("lead at end") << QByteArray("ab\x82") << QByteArray("ab?") << 1;
        QTest::newRow("lead before newline") << QByteArray("\x82\r\n") << QByteArray("?\r\n") << 1;
        QTest::newRow("unmapped pair") << QByteArray("\x85\x40x") << QByteArray("?x") << 1;
    }
    void testUndecodableBytesBecomeQuestionMarks() {
        QFETCH(QByteArray, in);
        QFETCH(QByteArray, out);
        QFETCH(int, replaced);
        auto d = cp932::decode(in.toStdString());
        QCOMPARE(QByteArray::fromStdString(cp932::utf16ToUtf8(d.text)), out);
        QCOMPARE(int(d.replaced), replaced);
        QVERIFY_THROWS_EXCEPTION(cp932::ConversionError, cp932::decodeStrict(in.toStdString()));
    }

    void testCanonicalize_data() {
        QTest::addColumn<QByteArray>("in");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<int>("replaced");
        const QByteArray ascii = "<A HREF=\"x\">"; // longer than the eight bytes checked at once
        QTest::newRow("ascii") << ascii << ascii << 0;
        QTest::newRow("jis x 0208 and katakana") << QByteArray("\x83\x5C\x95\x5C\xB1") << QByteArray("\x83\x5C\x95\x5C\xB1") << 0;
        QTest::newRow("nec-selected ibm") << QByteArray("\xED\x40\xEE\xEF") << QByteArray("\xFA\x5C\xFA\x40") << 0;
        QTest::newRow("nec-selected ibm after ascii") << ascii + "\xED\x40" << ascii + "\xFA\x5C" << 0;
        QTest::newRow("bad byte after ascii") << ascii + "\x80" + ascii << ascii + "?" + ascii << 1;
        QTest::newRow("lead at end") << ascii + "\x82" << ascii + "?" << 1;
        QTest::newRow("lead before ascii") << QByteArray("\x82\x0D\x0A") << QByteArray("?\x0D\x0A") << 1;
        QTest::newRow("unmapped pair then ibm") << QByteArray("\x85\x40\xED\x40") << QByteArray("?\xFA\x5C") << 1;
        QTest::newRow("empty") << QByteArray() << QByteArray() << 0;
    }
    void testCanonicalize() {
        QFETCH(QByteArray, in);
        QFETCH(QByteArray, out);
        QFETCH(int, replaced);
        std::string text = in.toStdString();
        QCOMPARE(int(cp932::canonicalize(text)), replaced);
        QCOMPARE(QByteArray::fromStdString(text), out);
        QCOMPARE(QByteArray::fromStdString(cp932::encode(cp932::decode(in.toStdString()).text).bytes), out);
    }

    // Every byte and byte pair, alone and after ASCII (short, and long enough
    // to live on the heap, so a needless copy shows): the same as decode then encode.
    void testCanonicalizeAgreesWithRoundTripEverywhere() {
        for (unsigned code = 0; code < 0x10000; ++code) {
            std::string pair = code < 0x100 ? bytes({int(code)}) : bytes({int(code >> 8), int(code & 0xFF)});
            for (const std::string& in : {pair, "012345" + pair, "0123456789abcdef" + pair}) {
                auto d = cp932::decode(in);
                auto e = cp932::encode(d.text);
                std::string text = in;
                const char* before = text.data();
                std::size_t replaced = cp932::canonicalize(text);
                QVERIFY2(text == e.bytes && replaced == d.replaced + e.replaced, qPrintable(QString::number(code, 16)));
                if (text == in) QVERIFY2(text.data() == before, "canonical text was copied");
            }
        }
    }

    void testStrictErrorsNameTheCulprits() {
        try {
            cp932::fromUtf8("a😀b€");
            QFAIL("no error");
        } catch (const cp932::ConversionError& e) {
            QString msg = QString::fromUtf8(e.what());
            QVERIFY2(msg.contains("U+1F600") && msg.contains("U+20AC"), qPrintable(msg));
        }
        try {
            cp932::decodeStrict("ok\xFF");
            QFAIL("no error");
        } catch (const cp932::ConversionError& e) {
            QVERIFY2(QString::fromUtf8(e.what()).contains("FF (2)"), e.what());
        }
    }

    void testBestFitMappingsAreNotEncodable() {
        // iconv maps the yen sign to 0x5C, which reads back as a backslash: not CP932's.
        QVERIFY(!cp932::canEncode(0xA5));
        QVERIFY(!cp932::canEncode(0x1F600));
        auto e = cp932::encode(u16("x¥😀"));
        QCOMPARE(e.bytes, std::string("x??"));
        QCOMPARE(e.replaced, std::size_t(2));
        // As references: one per character, an unpaired surrogate as U+FFFD.
        std::u16string text = u16("x¥😀表") + u'\xD800';
        auto r = cp932::encode(text, cp932::Unencodable::Reference);
        QCOMPARE(r.bytes, "x&#xA5;&#x1F600;" + cp932::fromUtf8("表") + "&#xFFFD;");
        QCOMPARE(r.replaced, std::size_t(3));
        QCOMPARE(cp932::referenceUnencodable(text), std::size_t(3));
        QCOMPARE(text, u16("x&#xA5;&#x1F600;表&#xFFFD;"));
    }

    void testJisCodePointsOfUserText_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("cp932");
        // As iconv's CP932 converter takes them; encode() alone (files, copying out) keeps CP932's own mapping.
        QTest::newRow("U+301C wave dash") << QString(u'\u301C') << QByteArray("\x81\x60");
        QTest::newRow("U+2016 double vertical line") << QString(u'\u2016') << QByteArray("\x81\x61");
        QTest::newRow("U+2212 minus sign") << QString(u'\u2212') << QByteArray("\x81\x7C");
        QTest::newRow("U+00A2 cent sign") << QString(u'\u00A2') << QByteArray("\x81\x91");
        QTest::newRow("U+00A3 pound sign") << QString(u'\u00A3') << QByteArray("\x81\x92");
        QTest::newRow("U+00AC not sign") << QString(u'\u00AC') << QByteArray("\x81\xCA");
        QTest::newRow("U+2014 em dash") << QString(u'\u2014') << QByteArray("\x81\x5C");
    }
    void testJisCodePointsOfUserText() {
        QFETCH(QString, typed);
        QFETCH(QByteArray, cp932);
        std::u16string text = u"a" + typed.toStdU16String() + u"\u00A5";
        QVERIFY(!cp932::canEncode(text[1]));
        QCOMPARE(cp932::foldJisVariants(text), std::size_t(1));
        QCOMPARE(QByteArray::fromStdString(cp932::encode(text).bytes), "a" + cp932 + "?"); // the yen sign stays out
        QCOMPARE(cp932::decode(cp932.toStdString()).text, text.substr(1, 1));
    }

    void testByteWidths() {
        QCOMPARE(cp932::byteWidth(u'a'), 1);
        QCOMPARE(cp932::byteWidth(u'ｱ'), 1);
        QCOMPARE(cp932::byteWidth(u'漢'), 2);
        QCOMPARE(cp932::byteWidth(u'\xD83D'), 1);
        QCOMPARE(cp932::byteWidth(u'\xDE00'), 0);
        QCOMPARE(cp932::byteWidth(u'\xA5'), 1);
    }

    void testCharBoundary() {
        // "ソ" = 83 5C, then "\" = 5C: position 1 splits the character, 2 does not.
        std::string s = bytes({'a', 0x83, 0x5C, 0x5C, 0x95, 0x95, 0x95, 0x95});
        QVERIFY(cp932::isCharBoundary(s, 0));
        QVERIFY(cp932::isCharBoundary(s, 1));
        QVERIFY(!cp932::isCharBoundary(s, 2));
        QVERIFY(cp932::isCharBoundary(s, 3));
        QVERIFY(cp932::isCharBoundary(s, 4));
        QVERIFY(!cp932::isCharBoundary(s, 5)); // 95 95 is one character even though 95 is a lead byte
        QVERIFY(cp932::isCharBoundary(s, 6));
        QVERIFY(!cp932::isCharBoundary(s, 7));
        QVERIFY(cp932::isCharBoundary(s, 8));
    }

    void testCharBoundaryAgreesWithAWalkFromTheStart() {
        // Bytes chosen to make long stretches that could all be lead bytes:
        // leads, lead-range trails, low trails, katakana, ASCII, CR LF.
        const unsigned char pool[] = {0x81, 0x88, 0x9F, 0xE0, 0xFC, 0x40, 0x5C, 0x7E, 0xA1, 0xDF, 'a', '\r', '\n'};
        std::uint32_t seed = 7;
        for (int round = 0; round < 200; ++round) {
            std::string s;
            for (int i = 0; i < 64; ++i) {
                seed = seed * 1103515245u + 12345u;
                s += char(pool[(seed >> 16) % sizeof pool]);
            }
            std::vector<bool> starts(s.size() + 1, false);
            for (std::size_t i = 0; i <= s.size(); i += cp932::isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1)
                starts[i] = true;
            for (std::size_t pos = 0; pos <= s.size(); ++pos)
                QVERIFY2(cp932::isCharBoundary(s, pos) == starts[pos], qPrintable(QStringLiteral("round %1 pos %2").arg(round).arg(pos)));
        }
    }

    void testErrorReportText_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("ascii letter") << "abc" << "abc.";
        QTest::newRow("ends in dot") << "abc." << "abc.";
        QTest::newRow("ends in !") << "abc!" << "abc!";
        QTest::newRow("japanese") << QString::fromUtf8("ﾌｧｲﾙ x は開けません") << QString::fromUtf8("ﾌｧｲﾙ x は開けません.");
        QTest::newRow("empty") << "" << "";
    }
    void testErrorReportText() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(QString::fromStdString(errorReportText(message.toStdString())), shown);
    }
};

QTEST_APPLESS_MAIN(TestCp932)
#include "tst_cp932.moc"
