// How a chosen picture's path becomes the name in an IMG or BODY tag.
#include "TestSupport.h"

#include "Cp932.h"
#include "PictureName.h"

using namespace vela;

namespace {
QByteArray bytes(const std::string& s) { return QByteArray(s.data(), qsizetype(s.size())); }
std::string sjis(const char* utf8) { return cp932::fromUtf8(utf8); }
} // namespace

class PictureNameTest : public QObject {
    Q_OBJECT
private slots:
    void fileNameOnly_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("windows path") << QByteArray("C:\\WEB\\Photo.GIF") << QByteArray("Photo.GIF");
        QTest::newRow("linux path") << QByteArray("/home/u/Web/Photo.GIF") << QByteArray("Photo.GIF");
        QTest::newRow("mixed, last one wins") << QByteArray("C:\\a/b\\c.gif") << QByteArray("c.gif");
        QTest::newRow("drive only") << QByteArray("C:Photo.gif") << QByteArray("Photo.gif");
        QTest::newRow("no separator") << QByteArray("photo.gif") << QByteArray("photo.gif");
        QTest::newRow("ends with separator") << QByteArray("C:\\WEB\\") << QByteArray("");
        // ソ and 表 end in 0x5C, the byte of a backslash.
        QTest::newRow("trail byte 5C is no separator")
            << bytes(sjis("C:\\ソフト\\表.gif")) << bytes(sjis("表.gif"));
        QTest::newRow("trail byte 5C at the end of a folder")
            << bytes(sjis("/home/u/ソ/写真ソ.gif")) << bytes(sjis("写真ソ.gif"));
        QTest::newRow("japanese name") << bytes(sjis("C:\\WEB\\写真Ａ.GIF")) << bytes(sjis("写真Ａ.GIF"));
    }
    void fileNameOnly() {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, name);
        QCOMPARE(bytes(picture::fileNameOnly(path.toStdString())), name);
    }

    void asciiLowerCase_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("lowered");
        QTest::newRow("windows path") << QByteArray("C:\\WEB\\Photo.GIF") << QByteArray("c:\\web\\photo.gif");
        QTest::newRow("digits and signs") << QByteArray("A-Z_09@[`{") << QByteArray("a-z_09@[`{");
        // ア is 0x83 0x41: its trail byte is an "A" that must stay.
        QTest::newRow("trail byte in A..Z") << bytes(sjis("アイウ.GIF")) << bytes(sjis("アイウ.gif"));
        QTest::newRow("full-width capitals stay") << bytes(sjis("ＡＢＣ.Gif")) << bytes(sjis("ＡＢＣ.gif"));
        QTest::newRow("half-width katakana stay") << bytes(sjis("ｶﾞｿﾞｳX")) << bytes(sjis("ｶﾞｿﾞｳx"));
    }
    void asciiLowerCase() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, lowered);
        QCOMPARE(bytes(picture::asciiLowerCase(text.toStdString())), lowered);
    }

    void tagNameFollowsThePlatform_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<bool>("nameOnly");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("name only") << QByteArray("C:\\WEB\\Photo.GIF") << true << QByteArray("Photo.GIF");
        QTest::newRow("full path") << QByteArray("C:\\WEB\\Photo.GIF") << false << QByteArray("C:\\WEB\\Photo.GIF");
        QTest::newRow("linux full path") << QByteArray("/home/u/Web/Photo.GIF") << false
                                         << QByteArray("/home/u/Web/Photo.GIF");
    }
    void tagNameFollowsThePlatform() {
        QFETCH(QByteArray, path);
        QFETCH(bool, nameOnly);
        QFETCH(QByteArray, name);
        // Lower-cased only where file names ignore case.
        const QByteArray expected = picture::LowerCasesNames ? bytes(picture::asciiLowerCase(name.toStdString())) : name;
        QCOMPARE(bytes(picture::tagName(path.toStdString(), nameOnly)), expected);
#ifdef _WIN32
        QVERIFY(picture::LowerCasesNames);
#else
        QVERIFY(!picture::LowerCasesNames);
#endif
    }
};

QTEST_APPLESS_MAIN(PictureNameTest)
#include "tst_picturename.moc"
