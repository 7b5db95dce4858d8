// Every writer of user files goes through one writer; a write cut short must
// leave the old file byte-identical and no temporary file. The writer also
// keeps what the target is: a read-only file stays untouched (root or not), a
// link stays a link, other names of the file see the new content, mode and
// owner stay; where it writes in place, a failure puts the old content back.

#include "AppError.h"
#include "FileReplace.h"
#include "FileSizeLimit.h"
#include "IniProfile.h"
#include "Pane.h"
#include "UnprivilegedUser.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <map>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

using namespace vela;
using vela::test::FileSizeLimit;
using vela::test::UnprivilegedUser;

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

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const char* local(const QString& path) {
    static QByteArray bytes;
    bytes = QFile::encodeName(path);
    return bytes.constData();
}

struct stat statOf(const QString& path) {
    struct stat st {};
    ::stat(local(path), &st);
    return st;
}

enum class Target {
    ReadOnlyFile,     ///< no write bit
    OthersFile,       ///< 0644 of root, written by another user
    ReadOnlyFolder,   ///< a writable file in a folder that takes no new file
    NewInReadOnlyFolder,
    SymbolicLink,     ///< the name is a link to a file beside it
    HardLink,         ///< the file has a second name
    ModeAndOwner,     ///< 0640 of another user, written by root
    OwnerNotOurs,     ///< a writable file of root, written by another user
    HardLinkCutShort,
    ReadOnlyFolderCutShort,
};

bool refused(Target t) { return t == Target::ReadOnlyFile || t == Target::OthersFile || t == Target::NewInReadOnlyFolder; }
bool cutShort(Target t) { return t == Target::HardLinkCutShort || t == Target::ReadOnlyFolderCutShort; }
// Written in place (or not at all): the file keeps its inode.
bool keepsInode(Target t) { return t != Target::SymbolicLink && t != Target::ModeAndOwner && t != Target::NewInReadOnlyFolder; }

} // namespace

Q_DECLARE_METATYPE(Target)

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

    void targetKeepsWhatItIs_data() {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<Target>("target");
        QTest::addColumn<bool>("asUser");
        const struct {
            const char* name;
            Target target;
            bool asUser;
        } cases[] = {
            {"0444 file, root", Target::ReadOnlyFile, false},
            {"0444 file, user", Target::ReadOnlyFile, true},
            {"file of another user", Target::OthersFile, true},
            {"writable file in read-only folder", Target::ReadOnlyFolder, true},
            {"new file in read-only folder", Target::NewInReadOnlyFolder, true},
            {"symbolic link", Target::SymbolicLink, false},
            {"hard link", Target::HardLink, false},
            {"mode and owner", Target::ModeAndOwner, false},
            {"owner not ours", Target::OwnerNotOurs, true},
            {"hard link, cut short", Target::HardLinkCutShort, false},
            {"read-only folder, cut short", Target::ReadOnlyFolderCutShort, true},
        };
        for (const auto& [name, w] : writers())
            for (const auto& c : cases) QTest::addRow("%s, %s", qPrintable(name), c.name) << name << c.target << c.asUser;
    }
    void targetKeepsWhatItIs() {
        QFETCH(QString, writer);
        QFETCH(Target, target);
        QFETCH(bool, asUser);
        if (::geteuid() != 0) QSKIP("needs root: owners are given away and another user is taken on");
        const QByteArray old = "[SW]\r\nKEY=old\r\n";
        const std::string content(3000, 'a');
        // What the writer makes of the same old file where nothing stands in its way.
        QByteArray expected;
        {
            QTemporaryDir scratch;
            const QString file = scratch.filePath("page.kvd");
            writeFile(file, old);
            writers().at(writer)(file.toStdString(), content);
            expected = readAll(file);
        }

        QTemporaryDir dir;
        QVERIFY(::chmod(local(dir.path()), 0755) == 0);
        const QString place = dir.filePath("place");
        QVERIFY(QDir(dir.path()).mkdir("place"));
        QVERIFY(::chmod(local(place), 0777) == 0);
        const QString path = place + "/page.kvd";
        QString otherName; // the link's target or the second hard link
        if (target != Target::NewInReadOnlyFolder && target != Target::SymbolicLink) writeFile(path, old);
        switch (target) {
        case Target::ReadOnlyFile: QVERIFY(::chmod(local(path), 0444) == 0); break;
        case Target::OthersFile: QVERIFY(::chmod(local(path), 0644) == 0); break;
        case Target::ReadOnlyFolder:
        case Target::ReadOnlyFolderCutShort:
        case Target::OwnerNotOurs: QVERIFY(::chmod(local(path), 0666) == 0); break;
        case Target::SymbolicLink:
            otherName = place + "/real.kvd";
            writeFile(otherName, old);
            QVERIFY(::symlink("real.kvd", local(path)) == 0);
            break;
        case Target::HardLink:
        case Target::HardLinkCutShort:
            otherName = place + "/second.kvd";
            QVERIFY(::link(QFile::encodeName(path).constData(), local(otherName)) == 0);
            break;
        case Target::ModeAndOwner:
            QVERIFY(::chmod(local(path), 0640) == 0);
            QVERIFY(::chown(local(path), UnprivilegedUser::Nobody, UnprivilegedUser::Nobody) == 0);
            break;
        case Target::NewInReadOnlyFolder: break;
        }
        if (target == Target::ReadOnlyFolder || target == Target::ReadOnlyFolderCutShort ||
            target == Target::NewInReadOnlyFolder)
            QVERIFY(::chmod(local(place), 0555) == 0);
        const struct stat before = statOf(path);
        const QStringList names = QDir(place).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

        QString message;
        {
            std::optional<FileSizeLimit> limit;
            std::optional<UnprivilegedUser> user;
            if (cutShort(target)) limit.emplace(1024);
            if (asUser) {
                user.emplace();
                QVERIFY(user->ok());
            }
            try {
                writers().at(writer)(path.toStdString(), content);
            } catch (const AppError& e) {
                message = QString::fromUtf8(e.what());
            }
        }
        QCOMPARE(!message.isEmpty(), refused(target) || cutShort(target));
        if (refused(target)) QVERIFY2(message.contains(path), qPrintable(message));

        // Nothing left beside the file, and no name lost or added.
        QCOMPARE(QDir(place).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), names);
        if (target == Target::NewInReadOnlyFolder) return;
        const QByteArray now = readAll(path);
        QCOMPARE(now, refused(target) || cutShort(target) ? old : expected);
        if (!otherName.isEmpty()) QCOMPARE(readAll(otherName), now);
        if (target == Target::SymbolicLink) QVERIFY(QFileInfo(path).isSymLink());
        const struct stat after = statOf(path);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(after.st_gid, before.st_gid);
        if (keepsInode(target)) QCOMPARE(after.st_ino, before.st_ino);
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
