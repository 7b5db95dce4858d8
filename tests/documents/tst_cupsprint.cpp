// Printing from the main window on a real CUPS: a private cupsd whose default
// queue is raw and whose backend saves each job to a file, read back with pdftotext.
#include "PrintingServices.h"
#include "TestSupport.h"

#include "Cp932.h"
#include "TForm1.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace vela;

namespace {

const QStringList SystemBin{QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"), QStringLiteral("/usr/bin")};

bool writeFile(const QString& path, const QByteArray& text, QFile::Permissions permissions = {}) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) return false;
    file.close();
    return permissions == QFile::Permissions() || file.setPermissions(permissions);
}

/// A cupsd of our own, in its own folders, listening on a socket there; stopped by its PID.
class PrivateCups {
public:
    ~PrivateCups() {
        if (daemon_.state() == QProcess::NotRunning) return;
        daemon_.terminate();
        if (!daemon_.waitForFinished(5000)) daemon_.kill();
        daemon_.waitForFinished(2000);
    }

    /// Starts cupsd with a raw default queue whose jobs land in `output`; empty on success, else why not.
    QString start(const QString& root, const QString& output) {
        const QString cupsd = QStandardPaths::findExecutable(QStringLiteral("cupsd"), SystemBin);
        lpadmin_ = QStandardPaths::findExecutable(QStringLiteral("lpadmin"), SystemBin);
        if (cupsd.isEmpty() || lpadmin_.isEmpty()) return QStringLiteral("cupsd or lpadmin is not installed");
        QDir dir(root);
        for (const char* sub : {"spool", "cache", "state", "log", "out", "serverbin/backend"})
            if (!dir.mkpath(QString::fromLatin1(sub))) return QStringLiteral("cannot make the CUPS folders");
        // Backends run as the lp user: they must reach the folders.
        const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                          QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        QFile::setPermissions(root, open);
        QFile::setPermissions(dir.filePath("out"), open | QFile::WriteGroup | QFile::WriteOther);
        for (const char* sub : {"filter", "daemon", "cgi-bin", "notifier", "monitor", "driver"}) {
            const QString system = QStringLiteral("/usr/lib/cups/") + QString::fromLatin1(sub);
            if (QFileInfo::exists(system)) QFile::link(system, dir.filePath(QStringLiteral("serverbin/") + sub));
        }
        // Writes the job under a temporary name first, so a reader never sees half a job.
        const QByteArray backend = "#!/bin/sh\n"
                                   "[ $# -eq 0 ] && { echo 'file velafile \"Unknown\" \"Saves jobs to a file\"'; exit 0; }\n"
                                   "out=\"${DEVICE_URI#velafile:}\"\n"
                                   "if [ -n \"$6\" ]; then cat \"$6\" > \"$out.part\"; else cat > \"$out.part\"; fi"
                                   " && mv \"$out.part\" \"$out\"\n";
        const QString socket = dir.filePath("cups.sock");
        const QByteArray config = "Listen " + socket.toUtf8() +
                                  "\nLogLevel info\n<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                  "<Policy default>\n  <Limit All>\n    Order allow,deny\n    Allow all\n  </Limit>\n"
                                  "</Policy>\n";
        const QByteArray r = root.toUtf8();
        const QByteArray files = "ServerRoot " + r + "\nServerBin " + r + "/serverbin\nRequestRoot " + r +
                                 "/spool\nTempDir " + r + "/spool\nCacheDir " + r + "/cache\nStateDir " + r +
                                 "/state\nErrorLog " + r + "/log/error_log\nAccessLog " + r +
                                 "/log/access_log\nPageLog " + r + "/log/page_log\nSandboxing Relaxed\n";
        if (!writeFile(dir.filePath("serverbin/backend/velafile"), backend, open) ||
            !writeFile(dir.filePath("cupsd.conf"), config) || !writeFile(dir.filePath("cups-files.conf"), files))
            return QStringLiteral("cannot write the CUPS configuration");

        daemon_.setProcessChannelMode(QProcess::MergedChannels);
        daemon_.start(cupsd, {"-f", "-c", dir.filePath("cupsd.conf"), "-s", dir.filePath("cups-files.conf")});
        if (!daemon_.waitForStarted(5000)) return QStringLiteral("cupsd did not start");
        QDeadlineTimer deadline(10000);
        while (!QFileInfo::exists(socket) && daemon_.state() == QProcess::Running && !deadline.hasExpired())
            QTest::qWait(50);
        if (!QFileInfo::exists(socket))
            return QStringLiteral("cupsd did not come up: ") + QString::fromLocal8Bit(daemon_.readAll());
        // Every CUPS client of this process, Qt's print support included, talks to this cupsd.
        qputenv("CUPS_SERVER", socket.toUtf8());
        if (!admin({"-p", "velatest", "-E", "-v", "velafile:" + output, "-m", "raw"}) || !admin({"-d", "velatest"}))
            return QStringLiteral("lpadmin could not set up the queue: ") + lastError_;
        return {};
    }

private:
    bool admin(const QStringList& arguments) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(lpadmin_, arguments);
        const bool ok = process.waitForFinished(15000) && process.exitStatus() == QProcess::NormalExit &&
                        process.exitCode() == 0;
        lastError_ = QString::fromLocal8Bit(process.readAll());
        return ok;
    }

    QProcess daemon_;
    QString lpadmin_;
    QString lastError_;
};

} // namespace

class CupsPrintTest : public QObject {
    Q_OBJECT

private slots:
    void testPrintCommandOnDefaultCupsQueue() {
        VELA_REQUIRE_TOOL(vela::test::havePdfToText(), "pdftotext (poppler-utils) is not installed");
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString output = root.filePath("out/job.pdf");
        PrivateCups cups;
        const QString problem = cups.start(root.path(), output);
        VELA_REQUIRE_TOOL(problem.isEmpty(), qPrintable(problem));

        const QString previous = QDir::currentPath();
        QDir::setCurrent(root.path());
        {
            vela::test::PrintingServices services; // the system's default printer, as the program uses
            TForm1 form(services);
            const QStringList lines{"<HTML>", "<HEAD>", "<TITLE>日本語のページ</TITLE>", "</HEAD>", "",
                                    "<BODY>ｶﾀｶﾅと漢字</BODY>", "</HTML>"};
            form.pane().clear();
            form.pane().setSelText(cp932::fromUtf8(lines.join("\r\n").toStdString()));
            form.commandAction("MenuPrint")->trigger();
            QVERIFY2(services.messageBoxes().empty(),
                     services.messageBoxes().empty() ? "" : services.messageBoxes().front().text.c_str());

            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(output), 30000);
            bool ok = false;
            const QStringList printed = vela::test::pdfLines(output, &ok);
            QVERIFY(ok);
            QCOMPARE(printed, lines);
        }
        QDir::setCurrent(previous);
    }
};

QTEST_MAIN(CupsPrintTest)
#include "tst_cupsprint.moc"
