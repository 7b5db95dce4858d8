// Files that are not what their name says: the pane loads them without a
// crash and without cutting the text short, or refuses them with a message.

#include "AppError.h"
#include "Pane.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vela;

class TestBadInput : public QObject {
    Q_OBJECT

private slots:
    void loads_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("minimumTextBytes");
        QTest::newRow("NUL in text") << QByteArray("ab\0cd\0ef", 8) << int(StreamFormat::PlainText) << 8;
        QTest::newRow("NUL in rtf") << QByteArray("{\\rtf1 ab\0cd}", 13) << int(StreamFormat::Rtf) << 0;
        QByteArray binary;
        for (int i = 0; i < 65536; ++i) binary.append(char((i * 7919) & 0xFF));
        QTest::newRow("binary as html") << binary << int(StreamFormat::PlainText) << 1;
        QTest::newRow("deep rtf groups") << ("{\\rtf1 " + QByteArray(100000, '{') + "x")
                                         << int(StreamFormat::Rtf) << 0;
    }
    void loads() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, format);
        QFETCH(int, minimumTextBytes);
        QTemporaryDir dir;
        const QString path = dir.filePath("in.htm");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        Pane pane;
        try {
            pane.loadFromFile(path.toStdString(), StreamFormat(format));
        } catch (const AppError& e) {
            QVERIFY(!std::string(e.what()).empty());
            return;
        }
        QVERIFY(int(pane.text().size()) >= minimumTextBytes);
    }
};

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
