// Plain-text printing: the layout rules, and whole jobs on a PDF printer.
#include "AppError.h"
#include "Cp932.h"
#include "JapaneseUi.h"
#include "PlainTextPrinting.h"
#include "QtServices.h"
#include "TestSupport.h"

#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

using namespace vela;

namespace {
QStringList rowTexts(const std::vector<PrintedPage>& pages) {
    QStringList rows;
    for (const PrintedPage& page : pages)
        for (const PrintedRow& row : page) {
            QString text;
            for (const PrintedRun& run : row) text += run.text;
            rows << text;
        }
    return rows;
}
} // namespace

class TestPrinting : public QObject {
    Q_OBJECT
    QFont font = japaneseUiFont(10);

private slots:
    void testEveryLineOnceInOrder_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("empty pane") << "" << QStringList{};
        QTest::newRow("one line") << "abc" << QStringList{"abc"};
        QTest::newRow("empty lines kept") << "a\r\n\r\nb" << QStringList{"a", "", "b"};
        QTest::newRow("final break adds none") << "a\r\nb\r\n" << QStringList{"a", "b"};
        QTest::newRow("only a break") << "\r\n" << QStringList{""};
        QTest::newRow("lone cr and lf") << "a\rb\nc" << QStringList{"a", "b", "c"};
        QTest::newRow("japanese") << "<B>日本語</B>\r\nｶﾅ" << QStringList{"<B>日本語</B>", "ｶﾅ"};
    }
    void testEveryLineOnceInOrder() {
        QFETCH(QString, text);
        QFETCH(QStringList, rows);
        QFontMetricsF metrics(font);
        QCOMPARE(rowTexts(layoutPlainText(text, metrics, 10000, 10000)), rows);
    }

    void testLongLineContinuesOnNextRows() {
        QFontMetricsF metrics(font);
        QString line = QString(50, QLatin1Char('x')) + QString(30, QChar(0x5B57));
        qreal width = metrics.horizontalAdvance(QStringLiteral("xxxxxxxxxx")) + 1;
        auto pages = layoutPlainText(line, metrics, width, 100000);
        QStringList rows = rowTexts(pages);
        QVERIFY(rows.size() > 5);
        QCOMPARE(rows.join(QString()), line);
        for (const QString& row : rows) QVERIFY(metrics.horizontalAdvance(row) <= width);
        QCOMPARE(rows.first(), QStringLiteral("xxxxxxxxxx"));
    }

    void testTabsAdvanceToStopsOfEightAverageWidths() {
        QFontMetricsF metrics(font);
        qreal stop = 8 * metrics.averageCharWidth();
        auto pages = layoutPlainText(QStringLiteral("a\tb\t\tc"), metrics, 100 * stop, 10000);
        const PrintedRow& row = pages.at(0).at(0);
        QCOMPARE(row.size(), std::size_t(3));
        QCOMPARE(row[0].x, 0.0);
        QCOMPARE(row[1].x, stop);
        QCOMPARE(row[1].text, QStringLiteral("b"));
        QCOMPARE(row[2].x, 3 * stop);
    }

    void testFullPageContinuesOnNewPage() {
        QFontMetricsF metrics(font);
        QStringList lines;
        for (int i = 0; i < 25; ++i) lines << QString::number(i);
        auto pages = layoutPlainText(lines.join(QStringLiteral("\r\n")), metrics, 1000, 10 * metrics.lineSpacing());
        QCOMPARE(pages.size(), std::size_t(3));
        QCOMPARE(pages[0].size(), std::size_t(10));
        QCOMPARE(pages[2].size(), std::size_t(5));
        QCOMPARE(rowTexts(pages), lines);
    }

    void testPrintsOnPagedDevice() {
        QTemporaryDir tmp;
        const QString pdf = tmp.filePath(QStringLiteral("out.pdf"));
        {
            QPdfWriter writer(pdf);
            QString text;
            for (int i = 0; i < 200; ++i) text += QStringLiteral("行 %1\t日本語のテキスト\r\n").arg(i);
            printPlainText(writer, font, text);
        }
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray content = file.readAll();
        QVERIFY(content.startsWith("%PDF"));
        // 200 lines of 10 points need more than one A4 page, and every page is written.
        QVERIFY(content.count("/Type /Page\n") >= 3);
    }

    void testNoDefaultPrinter() {
        QtServices services([] { return std::unique_ptr<QPrinter>(); });
        try {
            services.printText("abc", "job");
            QFAIL("no error");
        } catch (const AppError& error) {
            QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("ﾃﾞﾌｫﾙﾄ ﾌﾟﾘﾝﾀが存在しません"));
        }
    }

    void testJobThroughServicesOnPdfPrinter() {
        QTemporaryDir tmp;
        const QString pdf = tmp.filePath(QStringLiteral("job.pdf"));
        QtServices services([pdf] {
            auto printer = std::make_unique<QPrinter>();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            return printer;
        });
        services.printText(cp932::fromUtf8("<HTML>\r\n日本語\r\n"), "page");
        QVERIFY(QFileInfo(pdf).size() > 0);
        // An empty pane still makes a job.
        QFile::remove(pdf);
        services.printText("", "page");
        QVERIFY(QFile::exists(pdf));
    }

    void testDeviceThatCannotStartIsAnError() {
        QtServices services([] {
            auto printer = std::make_unique<QPrinter>();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(QStringLiteral("/nonexistent-dir/x/job.pdf"));
            return printer;
        });
        QVERIFY_THROWS_EXCEPTION(AppError, services.printText("abc", "job"));
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
