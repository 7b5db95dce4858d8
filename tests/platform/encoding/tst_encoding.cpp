// Pages in other encodings: which encoding a file is read in, what it becomes
// in CP932, and export in the declared charset reading back to the same text.
#include "Charsets.h"
#include "Cp932.h"
#include "PageEncoding.h"

#include <QtTest>

using namespace vela;

namespace {

QByteArray sj(const QString& text) { return QByteArray::fromStdString(cp932::fromUtf8(text.toStdString())); }

QByteArray in(const char* charset, const QString& text) { return test::inCharset(charset, text); }

QString page(const QString& head, const QString& body) {
    return "<HTML><HEAD>" + head + "<TITLE>日本語のページ</TITLE></HEAD>\r\n<BODY>" + body + "</BODY></HTML>\r\n";
}

const QString Body = QStringLiteral("こんにちは、世界。漢字とｶﾀｶﾅ、記号「」・※の混じった本文です。");

} // namespace

class TestEncoding : public QObject {
    Q_OBJECT
private slots:
    void testReadingFindsTheEncoding_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("text"); // in CP932
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<int>("replaced");
        QTest::addColumn<int>("referenced");
        auto meta = [](const char* charset) { return QStringLiteral("<META charset=\"%1\">").arg(charset); };
        const QString plain = page({}, Body);
        const QByteArray cp932 = sj(plain);
        QTest::newRow("Shift_JIS") << cp932 << cp932 << "" << 0 << 0;
        QTest::newRow("Shift_JIS declared") << sj(page(meta("Shift_JIS"), Body)) << sj(page(meta("Shift_JIS"), Body)) << ""
                                            << 0 << 0;
        QTest::newRow("UTF-8") << in("UTF-8", plain) << cp932 << "UTF-8" << 0 << 0;
        QTest::newRow("UTF-8 declared") << in("UTF-8", page(meta("utf-8"), Body)) << sj(page(meta("utf-8"), Body))
                                        << "UTF-8" << 0 << 0;
        QTest::newRow("UTF-8 with BOM") << "\xEF\xBB\xBF" + in("UTF-8", plain) << cp932 << "UTF-8" << 0 << 0;
        // EUC-JP and ISO-2022-JP write 〜 where CP932 has ～: the same JIS character.
        const QString wave = QStringLiteral("〜");
        const QByteArray withTilde = sj(page({}, Body + QStringLiteral("～")));
        QTest::newRow("EUC-JP") << in("EUC-JP", page({}, Body + wave)) << withTilde << "EUC-JP" << 0 << 0;
        QTest::newRow("EUC-JP declared") << in("EUC-JP", page(meta("EUC-JP"), Body + wave))
                                         << sj(page(meta("EUC-JP"), Body + QStringLiteral("～"))) << "EUC-JP" << 0 << 0;
        QTest::newRow("EUC-JP of Windows with ①") << in("EUC-JP", page({}, Body)) + "\xAD\xA1" << cp932 + sj("①")
                                                  << "EUC-JP" << 0 << 0;
        const QString jisBody = QString(Body).remove(QStringLiteral("ｶﾀｶﾅ")); // ISO-2022-JP has no half-width katakana
        QTest::newRow("ISO-2022-JP") << in("ISO-2022-JP", page({}, jisBody + wave)) << sj(page({}, jisBody + "～"))
                                     << "ISO-2022-JP" << 0 << 0;
        QTest::newRow("UTF-16LE with BOM") << "\xFF\xFE" + in("UTF-16LE", plain) << cp932 << "UTF-16LE" << 0 << 0;
        QTest::newRow("UTF-16BE with BOM") << "\xFE\xFF" + in("UTF-16BE", plain) << cp932 << "UTF-16BE" << 0 << 0;
        QTest::newRow("UTF-16LE cut in a character") << "\xFF\xFE" + in("UTF-16LE", "ab") + "c" << QByteArray("ab?")
                                                     << "UTF-16LE" << 1 << 0;
        // Too short for the detector; CP932 cannot read it, UTF-8 reads every byte.
        QTest::newRow("short UTF-8 page") << in("UTF-8", "<P>テスト</P>") << sj("<P>テスト</P>") << "UTF-8" << 0 << 0;
        // Half-width katakana pairs are valid UTF-8 as well ("ﾃｽﾄｸ" reads "ýĸ"): unsure, so CP932.
        QTest::newRow("short half-width katakana page") << QByteArray("<P>\xC3\xBD\xC4\xB8</P>") << sj("<P>ﾃｽﾄｸ</P>") << ""
                                                       << 0 << 0;
        QTest::newRow("UTF-8 page declaring Shift_JIS") << in("UTF-8", page(meta("Shift_JIS"), Body))
                                                        << sj(page(meta("Shift_JIS"), Body)) << "UTF-8" << 0 << 0;
        QTest::newRow("Shift_JIS page declaring UTF-8") << sj(page(meta("UTF-8"), Body)) << sj(page(meta("UTF-8"), Body))
                                                        << "" << 0 << 0;
        QTest::newRow("characters CP932 lacks") << in("UTF-8", page({}, Body + "café — 😀"))
                                                << sj(page({}, Body + "caf&#xE9; &#x2014; &#x1F600;")) << "UTF-8" << 0 << 3;
        const QString western = QStringLiteral("<HTML><HEAD><META charset=\"windows-1252\"></HEAD><BODY>%1</BODY></HTML>");
        QTest::newRow("Western page declaring windows-1252") << in("WINDOWS-1252", western.arg("Café crème"))
                                                             << sj(western.arg("Caf&#xE9; cr&#xE8;me")) << "WINDOWS-1252"
                                                             << 0 << 2;
        QTest::newRow("no encoding decodes it") << QByteArray("a\x80\xFD\xFF" "b") << QByteArray("a???b") << "" << 3 << 0;
        QString longBody;
        for (int i = 0; i < 300; ++i) longBody += Body;
        QTest::newRow("long UTF-8 page with a stray byte")
            << in("UTF-8", page({}, longBody)).replace("<BODY>", "<BODY>\xFF") << sj(page({}, "?" + longBody)) << "UTF-8"
            << 1 << 0;
    }
    void testReadingFindsTheEncoding() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, text);
        QFETCH(QString, encoding);
        QFETCH(int, replaced);
        QFETCH(int, referenced);
        const encoding::ReadText read = encoding::readText(file.toStdString());
        QCOMPARE(QString::fromStdString(read.encoding), encoding);
        if (!text.isEmpty()) QCOMPARE(QByteArray::fromStdString(read.text), text);
        QCOMPARE(int(read.replaced), replaced);
        QCOMPARE(int(read.referenced), referenced);
    }

    void testExportWritesTheDeclaredCharset_data() {
        QTest::addColumn<QString>("head");
        QTest::addColumn<QString>("charset"); // written, as told
        QTest::addColumn<int>("referenced");
        QTest::addColumn<QString>("readBack"); // the body read back, when not the same
        QTest::addColumn<QString>("readAs");
        // ～∥－￠￡￢ are JIS characters under other code points; ① and ⅰ are
        // Windows' own; the reference was typed as it stands.
        const QString windowsOwn = QStringLiteral("ソ表ｶﾅ～∥－￠￡￢ &#x1F600; &#x2460;&#x2170;");
        QTest::newRow("no declaration") << "" << "" << 0 << "" << "";
        QTest::newRow("Shift_JIS") << "<meta charset=Shift_JIS>" << "" << 0 << "" << "";
        QTest::newRow("Windows-31J") << "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Windows-31J\">"
                                     << "" << 0 << "" << "";
        QTest::newRow("x-sjis") << "<meta http-equiv=content-type content='text/html;charset=x-sjis'>" << "" << 0 << ""
                                << "";
        QTest::newRow("UTF-8") << "<meta charset=\"utf-8\">" << "UTF-8" << 0 << "" << "UTF-8";
        QTest::newRow("first declaration decides") << "<meta charset=\"UTF-8\"><meta charset=\"EUC-JP\">" << "UTF-8"
                                                   << 0 << "" << "UTF-8";
        QTest::newRow("EUC-JP") << "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=EUC-JP\">"
                                << "EUC-JP" << 2 << windowsOwn << "EUC-JP";
        QTest::newRow("ISO-2022-JP") << "<meta charset=iso-2022-jp>" << "ISO-2022-JP" << 4
                                     << "ソ表&#xFF76;&#xFF85;～∥－￠￡￢ &#x1F600; &#x2460;&#x2170;" << "ISO-2022-JP";
        QTest::newRow("UTF-16") << "<meta charset=utf-16>" << "UTF-16LE" << 0 << "" << "UTF-16LE";
        // Nothing but references is left: ASCII, which reads the same as CP932.
        QTest::newRow("ISO-8859-1") << "<meta charset=iso-8859-1>" << "ISO-8859-1" << 19
                                    << "&#x30BD;&#x8868;&#xFF76;&#xFF85;&#xFF5E;&#x2225;&#xFF0D;&#xFFE0;&#xFFE1;&#xFFE2; "
                                       "&#x1F600; &#x2460;&#x2170;"
                                    << "";
    }
    void testExportWritesTheDeclaredCharset() {
        QFETCH(QString, head);
        QFETCH(QString, charset);
        QFETCH(int, referenced);
        QFETCH(QString, readBack);
        QFETCH(QString, readAs);
        const QString body = QStringLiteral("ソ表ｶﾅ～∥－￠￡￢ &#x1F600; ①ⅰ");
        const std::string text = sj(page(head, body)).toStdString();
        const encoding::WrittenPage written = encoding::writePage(text);
        QCOMPARE(QString::fromStdString(written.charset), charset);
        QCOMPARE(int(written.referenced), referenced);
        QVERIFY(written.unknownCharset.empty());
        if (charset.isEmpty()) QCOMPARE(written.bytes, text); // byte for byte as the page stands
        const encoding::ReadText read = encoding::readText(written.bytes);
        QCOMPARE(QString::fromStdString(read.encoding), readAs);
        QCOMPARE(read.replaced, std::size_t(0));
        const QString expected = page(head, readBack.isEmpty() ? body : readBack);
        const QString title = QStringLiteral("日本語のページ");
        if (charset == "ISO-8859-1") // every Japanese character is a reference there
            QCOMPARE(QString::fromStdString(cp932::toUtf8(read.text)),
                     QString(expected).replace(title, "&#x65E5;&#x672C;&#x8A9E;&#x306E;&#x30DA;&#x30FC;&#x30B8;"));
        else
            QCOMPARE(QString::fromStdString(cp932::toUtf8(read.text)), expected);
    }

    void testUnknownCharsetWritesShiftJisAndSaysSo() {
        const std::string text = sj(page("<meta charset=\"x-no-such-charset\">", Body)).toStdString();
        const encoding::WrittenPage written = encoding::writePage(text);
        QCOMPARE(written.bytes, text);
        QCOMPARE(written.unknownCharset, std::string("x-no-such-charset"));
        QCOMPARE(encoding::writeNotice(written),
                 std::string("文字コード「x-no-such-charset」では書き出せないため、Shift-JIS で書き出しました"));
    }
};

QTEST_APPLESS_MAIN(TestEncoding)
#include "tst_encoding.moc"
