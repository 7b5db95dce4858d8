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

#include "TestSupport.h"

#include "OldContentCopy.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <map>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
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

QByteArray aclOf(const QString& path) {
    QProcess getfacl;
    getfacl.start("getfacl", {"-c", path});
    getfacl.waitForFinished();
    return getfacl.readAllStandardOutput();
}

/// XDG_STATE_HOME while it lives.
class StateHome {
public:
    explicit StateHome(const QString& folder) : m_previous(qgetenv("XDG_STATE_HOME")) {
        qputenv("XDG_STATE_HOME", QFile::encodeName(folder));
    }
    ~StateHome() { qputenv("XDG_STATE_HOME", m_previous); }

private:
    QByteArray m_previous;
};

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
    AclEntry,         ///< an ACL entry shuts one user out
    UserAttribute,    ///< a user.* extended attribute
    DanglingLink,     ///< a link into a folder that is gone
    LinkLoop,         ///< a link to itself
    OthersLinkInSharedFolder, ///< another user's link in a sticky world-writable folder
    LongName,         ///< 246 bytes and ".kvd": a temporary name built on it would be too long
};

bool refused(Target t) {
    return t == Target::ReadOnlyFile || t == Target::OthersFile || t == Target::NewInReadOnlyFolder ||
           t == Target::DanglingLink || t == Target::LinkLoop || t == Target::OthersLinkInSharedFolder;
}
bool isLink(Target t) {
    return t == Target::SymbolicLink || t == Target::DanglingLink || t == Target::LinkLoop ||
           t == Target::OthersLinkInSharedFolder;
}
bool cutShort(Target t) { return t == Target::HardLinkCutShort || t == Target::ReadOnlyFolderCutShort; }
// Written in place (or not at all): the file keeps its inode.
bool keepsInode(Target t) {
    return !isLink(t) && t != Target::ModeAndOwner && t != Target::NewInReadOnlyFolder && t != Target::AclEntry &&
           t != Target::UserAttribute && t != Target::LongName;
}

QByteArray attribute(const QString& path, const char* name) {
    char value[256];
    const ssize_t n = ::getxattr(local(path), name, value, sizeof value);
    return n < 0 ? QByteArray("<none>") : QByteArray(value, int(n));
}

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
            {"acl entry", Target::AclEntry, false},
            {"user attribute", Target::UserAttribute, false},
            {"link into a folder that is gone", Target::DanglingLink, false},
            {"link loop", Target::LinkLoop, false},
            {"another user's link in a shared folder", Target::OthersLinkInSharedFolder, false},
            {"250-byte name", Target::LongName, false},
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
        const QString path = place + (target == Target::LongName ? "/" + QString(246, 'n') + ".kvd" : "/page.kvd");
        QString otherName; // the link's target or the second hard link
        if (target != Target::NewInReadOnlyFolder && !isLink(target)) writeFile(path, old);
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
        case Target::AclEntry:
            VELA_REQUIRE_TOOL(QProcess::execute("setfacl", {"-m", "u:nobody:---", path}) == 0,
                              "setfacl (package acl) and a file system with ACLs are needed");
            break;
        case Target::UserAttribute:
            VELA_REQUIRE_TOOL(::setxattr(local(path), "user.origin", "kept", 4, 0) == 0,
                              "a file system with user.* extended attributes is needed");
            break;
        case Target::DanglingLink: QVERIFY(::symlink("gone/page.kvd", local(path)) == 0); break;
        case Target::LinkLoop: QVERIFY(::symlink("page.kvd", local(path)) == 0); break;
        case Target::OthersLinkInSharedFolder:
            otherName = dir.filePath("mine.kvd");
            writeFile(otherName, old);
            QVERIFY(::chmod(local(place), 01777) == 0);
            QVERIFY(::symlink(local(otherName), local(path)) == 0);
            QVERIFY(::lchown(local(path), UnprivilegedUser::Nobody, UnprivilegedUser::Nobody) == 0);
            break;
        case Target::NewInReadOnlyFolder:
        case Target::LongName: break;
        }
        if (target == Target::ReadOnlyFolder || target == Target::ReadOnlyFolderCutShort ||
            target == Target::NewInReadOnlyFolder)
            QVERIFY(::chmod(local(place), 0555) == 0);
        const struct stat before = statOf(path);
        const QStringList names = QDir(place).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        const QString links = isLink(target) ? QFile::symLinkTarget(path) : QString();
        const QByteArray acl = target == Target::AclEntry ? aclOf(path) : QByteArray();
        // The state folder takes the record of a write in place; the other user must be able to write it.
        const QString state = dir.filePath("state");
        QVERIFY(QDir(dir.path()).mkdir("state"));
        if (asUser) QVERIFY(::chown(local(state), UnprivilegedUser::Nobody, UnprivilegedUser::Nobody) == 0);
        StateHome stateHome(state);

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

        // Nothing left beside the file or in the state folder, and no name lost or added.
        QCOMPARE(QDir(place).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), names);
        QCOMPARE(QDir(state + "/vela").entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
        if (isLink(target)) QCOMPARE(QFile::symLinkTarget(path), links);
        if (target == Target::AclEntry) QCOMPARE(aclOf(path), acl);
        if (target == Target::UserAttribute) QCOMPARE(attribute(path, "user.origin"), QByteArray("kept"));
        if (target == Target::NewInReadOnlyFolder || target == Target::DanglingLink || target == Target::LinkLoop) return;
        const QByteArray now = readAll(path);
        QCOMPARE(now, refused(target) || cutShort(target) ? old : expected);
        if (!otherName.isEmpty()) QCOMPARE(readAll(otherName), now);
        if (isLink(target)) QVERIFY(QFileInfo(path).isSymLink());
        const struct stat after = statOf(path);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(after.st_gid, before.st_gid);
        if (keepsInode(target)) QCOMPARE(after.st_ino, before.st_ino);
    }

    void failedRestoreSaysWhereTheOldContentIs() {
        QProcess probe;
        probe.start("strace", {"-V"});
        VELA_REQUIRE_TOOL(probe.waitForFinished() && probe.exitCode() == 0,
                          "strace (package strace) is needed to make writes fail");
        QTemporaryDir dir;
        const QString path = dir.filePath("page.kvd");
        const QByteArray old = "old content";
        writeFile(path, old);
        // A second name: the file is written in place.
        QVERIFY(::link(local(path), QFile::encodeName(dir.filePath("second.kvd")).constData()) == 0);
        const QString state = dir.filePath("state");
        // The disk fails every write of the file after the first megabyte, putting the old content back included.
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_STATE_HOME", state);
        // Under the sanitizers: the leak checker refuses to run under a tracer and ends the child unheard.
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":detect_leaks=0");
        child.setProcessEnvironment(env);
        child.start("strace", {"-f", "-o", "/dev/null", "-e", "inject=pwrite64:error=EIO:when=2+",
                               QCoreApplication::applicationFilePath(), "--write", path, QString::number(3 << 20)});
        QVERIFY(child.waitForFinished(60000));
        const QStringList copies = QDir(dir.path()).entryList({".vela-*.old"}, QDir::Files | QDir::Hidden);
        QCOMPARE(copies.size(), qsizetype(1));
        const QString copy = dir.filePath(copies.first());
        QCOMPARE(readAll(copy), old);
        QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()),
                 QString::fromStdString(files::damagedFileMessage(path.toStdString(), copy.toStdString())));
        // The next start is told too.
        StateHome home(state);
        const auto interrupted = files::interruptedWrites();
        QCOMPARE(interrupted.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(interrupted.front().target), path);
        QCOMPARE(QString::fromStdString(interrupted.front().copy), copy);
    }

    void temporaryFilesOfAKilledSaveGo() {
        QTemporaryDir dir;
        const QString path = dir.filePath("page.kvd");
        writeFile(path, "old");
        auto plant = [&](const QString& name, time_t age, uid_t owner) {
            const QString file = dir.filePath(name);
            writeFile(file, "half");
            const time_t then = ::time(nullptr) - age;
            const timespec times[2] = {{then, 0}, {then, 0}};
            QVERIFY(::utimensat(AT_FDCWD, local(file), times, 0) == 0);
            QVERIFY(::chown(local(file), owner, owner) == 0);
        };
        plant(".vela-0badf00d.tmp", 120, 0);                           // ours, from a killed save
        plant(".page.kvd.123456.tmp", 120, 0);                         // ours, as earlier versions named them
        plant(".vela-12345678.tmp", 0, 0);                             // a save that may still go on
        plant(".vela-87654321.tmp", 120, UnprivilegedUser::Nobody);    // another user's
        files::writeFileOrThrow(path.toStdString(), "new");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({".vela-12345678.tmp", ".vela-87654321.tmp", "page.kvd"}));
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

int main(int argc, char** argv) {
    // The child failedRestoreSaysWhereTheOldContentIs starts: one write, its error message on stdout.
    if (argc == 4 && std::string_view(argv[1]) == "--write") {
        try {
            files::writeFileOrThrow(argv[2], std::string(std::stoul(argv[3]), 'n'));
        } catch (const AppError& e) {
            std::fputs(e.what(), stdout);
            return 1;
        }
        return 0;
    }
    QApplication app(argc, argv);
    TestFailedWrites test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_failedwrites.moc"
