// Every writer of user files goes through one replace-when-complete write; a
// write cut short must leave the old file byte-identical and no temporary file.

#include "AppError.h"
#include "FileReplace.h"
#include "FileSizeLimit.h"
#include "IniProfile.h"
#include "Pane.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <map>

using namespace vela;
using vela::test::FileSizeLimit;

namespace {

using Writer = std::function<void(const std::string& path, const std::string& content)>;

// Each writer gets the same content; the pane's RTF is larger than the text, which is fine.
const std::map<QString, Writer>& writers() {
    static const std::map<QString, Writer> all = {
        {"files", [](const std::string& p, const std::string& c) { files::writeFileOrThrow(p, c); }},
        {"pane rtf",
         [](const std::string& p, const std::string& c) {
             Pane pane;
             pane.setRuns({rtf::TextRun{c, {}}});
             pane.saveToFile(p, StreamFormat::Rtf);
         }},
        {"pane text",
         [](const std::string& p, const std::string& c) {
             Pane pane;
             pane.setRuns({rtf::TextRun{c, {}}});
             pane.saveToFile(p, StreamFormat::PlainText);
         }},
        {"ini", [](const std::string& p, const std::string& c) { ini::writeString(p, "SW", "KEY", c); }},
    };
    return all;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestFailedWrites : public QObject {
    Q_OBJECT

    void addWriterRows() {
        QTest::addColumn<QString>("writer");
        for (const auto& [name, w] : writers()) QTest::newRow(name.toUtf8().constData()) << name;
    }

private slots:
    void cutShortByFileSizeLimit_data() { addWriterRows(); }
    void cutShortByFileSizeLimit() {
        QFETCH(QString, writer);
        QTemporaryDir dir;
        const QString target = dir.filePath("old.kvd");
        const QByteArray old = "[SW]\r\nKEY=old\r\n";
        {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(old);
        }
        // Small enough that a buffered writer's flush would be the failing step.
        const std::string content(3000, 'a');
        bool threw = false;
        {
            FileSizeLimit limit(1024);
            try {
                writers().at(writer)(target.toStdString(), content);
            } catch (const AppError&) {
                threw = true;
            }
        }
        QVERIFY2(threw, "a cut-short write must be reported");
        QCOMPARE(readAll(target), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.kvd"});
    }

    void folderGoneOrTargetIsFolder_data() {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<bool>("targetIsFolder");
        for (const auto& [name, w] : writers()) {
            QTest::newRow(qPrintable(name + " folder gone")) << name << false;
            QTest::newRow(qPrintable(name + " folder at target")) << name << true;
        }
    }
    void folderGoneOrTargetIsFolder() {
        QFETCH(QString, writer);
        QFETCH(bool, targetIsFolder);
        QTemporaryDir dir;
        QString target;
        if (targetIsFolder) {
            target = dir.filePath("page.kvd");
            QVERIFY(QDir(dir.path()).mkdir("page.kvd"));
            QFile inner(target + "/keep");
            QVERIFY(inner.open(QIODevice::WriteOnly));
        } else {
            QVERIFY(QDir(dir.path()).mkdir("gone"));
            target = dir.filePath("gone/page.kvd");
            QVERIFY(QDir(dir.filePath("gone")).removeRecursively());
        }
        QVERIFY_THROWS_EXCEPTION(AppError, writers().at(writer)(target.toStdString(), "x"));
        if (targetIsFolder) {
            QVERIFY(QFileInfo(target).isDir());
            QVERIFY(QFile::exists(target + "/keep"));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
    }

    void messagesNameTheFile() {
        QTemporaryDir dir;
        const std::string target = dir.filePath("gone/x.htm").toStdString();
        try {
            files::writeFileOrThrow(target, "x");
            QFAIL("no error");
        } catch (const AppError& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QString::fromUtf8(cannotCreateFile(target).what()));
        }
    }
};

QTEST_MAIN(TestFailedWrites)
#include "tst_failedwrites.moc"
