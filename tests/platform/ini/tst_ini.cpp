// INI profile file: byte-exact golden rewrites, reading rules and write failures.
#include "AppError.h"
#include "IniProfile.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace vela;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

std::string local(const QString& path) { return QFile::encodeName(path).toStdString(); }

std::string sv(const QByteArray& bytes) { return bytes.toStdString(); }

mode_t modeOf(const QString& path) {
    struct stat st {};
    if (::stat(local(path).c_str(), &st) != 0) return 0;
    return st.st_mode & 07777;
}

QString expectedMessage(const QString& path) { return path + QString::fromUtf8(" に書き込めません"); }

// Runs `write` and checks it throws the write error for `path`.
template <typename Write> void expectWriteError(const QString& path, Write write) {
    try {
        write();
        QFAIL("the write did not fail");
    } catch (const AppError& e) {
        QCOMPARE(QString::fromUtf8(e.what()), expectedMessage(path));
    }
}

} // namespace

class TestIni : public QObject {
    Q_OBJECT
private slots:
    // Each case: a golden input file (none for "new_file"), the writes made in
    // order (section, key, value triples) and the golden result.
    void testWriteKeepsOtherBytes_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArrayList>("writes");
        auto row = [](const char* name, QByteArrayList writes) { QTest::newRow(name) << QString(name) << writes; };
        row("new_file", {"SW", "STI1", "0", "SW", "STI2", "1", "SW", "STI3", "0"});
        row("change_value", {"SW", "STI1", "2"});
        row("new_key_end_of_section", {"SW", "STI3", "1"});
        row("new_section", {"MAIL", "ADD", "me@example.jp"});
        row("case_insensitive", {"SW", "STI1", "1", "MAIL", "ADD", "new"});
        row("spaces_tabs", {"SW", "STI1", "1", "SW", "STI2", "1"});
        row("quoted_value", {"MAIL", "ADD", "new@x.jp"});
        row("comments_and_plain_lines", {"SW", "STI2", "1"});
        row("lf_only", {"SW", "STI1", "1", "SW", "STI2", "1", "MAIL", "ADD", "x"});
        row("cr_only", {"SW", "STI1", "1", "SW", "STI2", "1", "MAIL", "ADD", "x"});
        row("mixed_line_ends", {"SW", "STI2", "1"});
        row("duplicate_section", {"SW", "STI1", "1", "SW", "STI2", "1"});
        row("keys_before_first_section", {"SW", "STI1", "0"});
        row("bom", {"SW", "STI1", "1", "MAIL", "ADD", "x"});
        row("bom_only", {"SW", "STI1", "1"});
        row("no_final_line_end_change", {"SW", "STI1", "1"});
        row("no_final_line_end_new_key", {"SW", "STI2", "1"});
        row("no_final_line_end_new_section", {"MAIL", "ADD", "x"});
        row("header_only", {"SW", "STI1", "0"});
        row("empty_section", {"SW", "STI1", "0"});
        row("empty_value", {"MAIL", "ADD", "a@b", "MAIL", "X", ""});
        row("empty_file", {"MAIL", "ADD", ""});
        row("double_byte_names", {"\x83\x5d", "\x83\x41", "\x95\x5c"});
        row("unchanged_rewrite", {"SW", "STI1", "2"});
    }
    void testWriteKeepsOtherBytes() {
        QFETCH(QString, name);
        QFETCH(QByteArrayList, writes);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("MARVOK.INI");
        const QString input = test::dataFile("ini/" + name + ".in.ini");
        if (QFile::exists(input)) writeFile(path, readAll(input));

        try {
            for (qsizetype i = 0; i + 2 < writes.size(); i += 3)
                ini::writeString(local(path), sv(writes[i]), sv(writes[i + 1]), sv(writes[i + 2]));
        } catch (const AppError& e) {
            QFAIL(e.what());
        }

        const QByteArray expected = readAll(test::dataFile("ini/" + name + ".out.ini"));
        QVERIFY(!expected.isEmpty());
        QCOMPARE(readAll(path), expected);
        // Every value written reads back (the last write of a key wins).
        for (qsizetype i = 0; i + 2 < writes.size(); i += 3) {
            bool overwritten = false;
            for (qsizetype j = i + 3; j + 2 < writes.size(); j += 3)
                overwritten |= writes[j] == writes[i] && writes[j + 1] == writes[i + 1];
            if (!overwritten)
                QCOMPARE(ini::readString(local(path), sv(writes[i]), sv(writes[i + 1]), "ERROR"), sv(writes[i + 2]));
        }
        // The temporary file is gone.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"MARVOK.INI"});
    }

    void testReadString_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray base = "top=before\r\n[SW]\r\nSTI1=1\r\n[MAIL]\r\nADD=me@x.jp\r\n";
        QTest::newRow("plain") << base << QByteArray("MAIL") << QByteArray("ADD") << QByteArray("me@x.jp");
        QTest::newRow("section case") << base << QByteArray("mail") << QByteArray("ADD") << QByteArray("me@x.jp");
        QTest::newRow("key case") << base << QByteArray("MAIL") << QByteArray("aDd") << QByteArray("me@x.jp");
        QTest::newRow("names given with blanks") << base << QByteArray(" MAIL ") << QByteArray("\tADD")
                                                 << QByteArray("me@x.jp");
        QTest::newRow("missing key gives default") << base << QByteArray("SW") << QByteArray("ADD") << QByteArray("ERROR");
        QTest::newRow("missing section") << base << QByteArray("X") << QByteArray("ADD") << QByteArray("ERROR");
        QTest::newRow("key before first section") << base << QByteArray("") << QByteArray("top") << QByteArray("ERROR");
        QTest::newRow("empty value is not the default")
            << QByteArray("[MAIL]\r\nADD=\r\n") << QByteArray("MAIL") << QByteArray("ADD") << QByteArray("");
        QTest::newRow("stored ERROR") << QByteArray("[MAIL]\r\nADD=ERROR\r\n") << QByteArray("MAIL") << QByteArray("ADD")
                                      << QByteArray("ERROR");
        QTest::newRow("blanks trimmed") << QByteArray(" [ MAIL ] \r\n  ADD \t=  a b \t\r\n") << QByteArray("MAIL")
                                        << QByteArray("ADD") << QByteArray("a b");
        QTest::newRow("double quotes") << QByteArray("[M]\r\nK=\" a \"\r\n") << QByteArray("M") << QByteArray("K")
                                       << QByteArray(" a ");
        QTest::newRow("single quotes") << QByteArray("[M]\r\nK='x'\r\n") << QByteArray("M") << QByteArray("K")
                                       << QByteArray("x");
        QTest::newRow("unmatched quote kept") << QByteArray("[M]\r\nK=\"x'\r\n") << QByteArray("M") << QByteArray("K")
                                              << QByteArray("\"x'");
        QTest::newRow("lone quote kept") << QByteArray("[M]\r\nK=\"\r\n") << QByteArray("M") << QByteArray("K")
                                         << QByteArray("\"");
        QTest::newRow("value holds =") << QByteArray("[M]\r\nK=a=b\r\n") << QByteArray("M") << QByteArray("K")
                                       << QByteArray("a=b");
        QTest::newRow("comment not a key") << QByteArray("[M]\r\n;K=1\r\n") << QByteArray("M") << QByteArray(";K")
                                           << QByteArray("ERROR");
        QTest::newRow("line without =") << QByteArray("[M]\r\nK\r\n") << QByteArray("M") << QByteArray("K")
                                        << QByteArray("ERROR");
        QTest::newRow("first duplicate section wins")
            << QByteArray("[M]\r\nA=1\r\n[M]\r\nA=2\r\nB=3\r\n") << QByteArray("M") << QByteArray("B") << QByteArray("ERROR");
        QTest::newRow("first duplicate key wins") << QByteArray("[M]\r\nA=1\r\nA=2\r\n") << QByteArray("M")
                                                  << QByteArray("A") << QByteArray("1");
        QTest::newRow("bom before header") << QByteArray("\xEF\xBB\xBF[M]\nA=1\n") << QByteArray("M") << QByteArray("A")
                                           << QByteArray("1");
        QTest::newRow("cr only") << QByteArray("[M]\rA=1\rB=2") << QByteArray("M") << QByteArray("B") << QByteArray("2");
        QTest::newRow("lf only") << QByteArray("[M]\nA=1\nB=2\n") << QByteArray("M") << QByteArray("A") << QByteArray("1");
        QTest::newRow("cp932 value kept as bytes") << QByteArray("[M]\r\nA=\x95\x5c\x8e\xa6 \r\n") << QByteArray("M")
                                                   << QByteArray("A") << QByteArray("\x95\x5c\x8e\xa6");
        QTest::newRow("trail byte is not a letter") << QByteArray("[M]\r\n\x83\x61=1\r\n") << QByteArray("M")
                                                    << QByteArray("\x83\x41") << QByteArray("ERROR");
        QTest::newRow("] as trail byte in section") << QByteArray("[\x83\x5d]\r\nA=1\r\n") << QByteArray("\x83\x5d")
                                                    << QByteArray("A") << QByteArray("1");
    }
    void testReadString() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath("MARVOK.INI");
        writeFile(path, file);
        QCOMPARE(ini::readString(local(path), sv(section), sv(key), "ERROR"), sv(expected));
    }

    void testReadInt_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("zero") << QByteArray("0") << 0;
        QTest::newRow("one") << QByteArray("1") << 1;
        QTest::newRow("two stays two") << QByteArray("2") << 2;
        QTest::newRow("negative") << QByteArray("-1") << -1;
        QTest::newRow("plus sign") << QByteArray("+7") << 7;
        QTest::newRow("blanks around") << QByteArray("  12\t") << 12;
        QTest::newRow("quoted") << QByteArray("\"5\"") << 5;
        QTest::newRow("hex") << QByteArray("0x1F") << 31;
        QTest::newRow("hex upper prefix") << QByteArray("0XfF") << 255;
        QTest::newRow("hex 32-bit pattern") << QByteArray("0xFFFFFFFF") << -1;
        QTest::newRow("negative hex") << QByteArray("-0x10") << -16;
        QTest::newRow("int max") << QByteArray("2147483647") << 2147483647;
        QTest::newRow("int min") << QByteArray("-2147483648") << int(-2147483647 - 1);
        QTest::newRow("empty") << QByteArray("") << 99;
        QTest::newRow("text") << QByteArray("abc") << 99;
        QTest::newRow("trailing garbage") << QByteArray("12abc") << 99;
        QTest::newRow("inner blank") << QByteArray("1 2") << 99;
        QTest::newRow("bare 0x") << QByteArray("0x") << 99;
        QTest::newRow("bad hex digit") << QByteArray("0x1G") << 99;
        QTest::newRow("hex too wide") << QByteArray("0x100000000") << 99;
        QTest::newRow("decimal overflow") << QByteArray("2147483648") << 99;
        QTest::newRow("decimal underflow") << QByteArray("-2147483649") << 99;
        QTest::newRow("double sign") << QByteArray("--1") << 99;
        QTest::newRow("sign only") << QByteArray("-") << 99;
        QTest::newRow("huge") << QByteArray("99999999999999999999999") << 99;
    }
    void testReadInt() {
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath("MARVOK.INI");
        writeFile(path, "[SW]\r\nSTI1=" + value + "\r\n");
        QCOMPARE(ini::readInt(local(path), "SW", "STI1", 99), expected);
    }

    void testWriteIntRoundTrips() {
        QTemporaryDir dir;
        const std::string path = local(dir.filePath("MARVOK.INI"));
        for (int value : {0, 1, 2, -1, 2147483647, int(-2147483647 - 1)}) {
            ini::writeInt(path, "SW", "STI1", value);
            QCOMPARE(ini::readInt(path, "SW", "STI1", 99), value);
        }
        QCOMPARE(readAll(dir.filePath("MARVOK.INI")), QByteArray("[SW]\r\nSTI1=-2147483648\r\n"));
    }

    void testReadingNeverThrows() {
        QTemporaryDir dir;
        QCOMPARE(ini::readString(local(dir.filePath("none.ini")), "MAIL", "ADD", "ERROR"), std::string("ERROR"));
        QCOMPARE(ini::readInt(local(dir.filePath("none.ini")), "SW", "STI2", 1), 1);
        QCOMPARE(ini::readString(local(dir.path()), "MAIL", "ADD", "ERROR"), std::string("ERROR"));
        QCOMPARE(ini::readInt(local(dir.filePath("none/x.ini")), "SW", "STI1", 0), 0);
        const QString fifo = dir.filePath("fifo.ini");
        QVERIFY(::mkfifo(local(fifo).c_str(), 0644) == 0);
        QCOMPARE(ini::readString(local(fifo), "MAIL", "ADD", "ERROR"), std::string("ERROR"));
        expectWriteError(fifo, [&] { ini::writeString(local(fifo), "MAIL", "ADD", "x"); });
    }

    void testWriteFailureLeavesFilesAlone_data() {
        QTest::addColumn<QString>("relative");
        QTest::newRow("folder missing") << "missing/MARVOK.INI";
        QTest::newRow("parent is a file") << "plain.txt/MARVOK.INI";
        QTest::newRow("path is a folder") << "folder";
    }
    void testWriteFailureLeavesFilesAlone() {
        QFETCH(QString, relative);
        QTemporaryDir dir;
        writeFile(dir.filePath("plain.txt"), "keep");
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        const QString path = dir.filePath(relative);
        expectWriteError(path, [&] { ini::writeString(local(path), "SW", "STI1", "1"); });
        QCOMPARE(readAll(dir.filePath("plain.txt")), QByteArray("keep"));
        QVERIFY(QFileInfo(dir.filePath("folder")).isDir());
        QVERIFY(QDir(dir.filePath("folder")).isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"folder", "plain.txt"}));
    }

    // Names or values that would add lines or change the key's meaning are refused.
    void testStructureBreakingInputIsRefused_data() {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("value with CR LF") << QByteArray("MAIL") << QByteArray("ADD") << QByteArray("a\r\n[SW]");
        QTest::newRow("value with LF") << QByteArray("MAIL") << QByteArray("ADD") << QByteArray("a\nSTI1=1");
        QTest::newRow("value with NUL") << QByteArray("MAIL") << QByteArray("ADD") << QByteArray("a\0b", 3);
        QTest::newRow("key with =") << QByteArray("MAIL") << QByteArray("A=B") << QByteArray("x");
        QTest::newRow("key comment") << QByteArray("MAIL") << QByteArray(";ADD") << QByteArray("x");
        QTest::newRow("key bracket") << QByteArray("MAIL") << QByteArray("[ADD") << QByteArray("x");
        QTest::newRow("empty key") << QByteArray("MAIL") << QByteArray(" ") << QByteArray("x");
        QTest::newRow("empty section") << QByteArray("") << QByteArray("ADD") << QByteArray("x");
        QTest::newRow("section with ]") << QByteArray("MA]IL") << QByteArray("ADD") << QByteArray("x");
        QTest::newRow("section with CR") << QByteArray("MAIL\r") << QByteArray("ADD") << QByteArray("x");
    }
    void testStructureBreakingInputIsRefused() {
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        QTemporaryDir dir;
        const QString path = dir.filePath("MARVOK.INI");
        const QByteArray before = "[MAIL]\r\nADD=old\r\n";
        writeFile(path, before);
        expectWriteError(path, [&] { ini::writeString(local(path), sv(section), sv(key), sv(value)); });
        QCOMPARE(readAll(path), before);
    }

    void testReadOnlyFileIsNotReplaced() {
        // A file with no write bit is read-only even to root, whose writes the bits would not stop.
        QTemporaryDir dir;
        const QString path = dir.filePath("MARVOK.INI");
        const QByteArray before = "[SW]\r\nSTI1=0\r\n";
        writeFile(path, before);
        QVERIFY(::chmod(local(path).c_str(), 0444) == 0);
        expectWriteError(path, [&] { ini::writeInt(local(path), "SW", "STI1", 1); });
        QCOMPARE(readAll(path), before);
        QCOMPARE(modeOf(path), mode_t(0444));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"MARVOK.INI"});
    }

    void testReadOnlyFolder() {
        QTemporaryDir dir;
        const QString folder = dir.filePath("locked");
        QVERIFY(QDir(dir.path()).mkdir("locked"));
        const QString path = folder + "/MARVOK.INI";
        const QByteArray before = "[SW]\r\nSTI1=0\r\n";
        writeFile(path, before);
        // Root ignores the folder's mode bits; the immutable attribute stops root too, where the file system has it.
        bool locked = false;
        bool immutable = false;
        if (::geteuid() != 0) {
            locked = ::chmod(local(folder).c_str(), 0555) == 0;
        } else if (!QStandardPaths::findExecutable("chattr").isEmpty()) {
            immutable = QProcess::execute("chattr", {"+i", folder}) == 0;
            locked = immutable;
        }
        if (!locked) QSKIP("running as root without a usable chattr +i: the folder cannot be made read-only");
        auto unlock = qScopeGuard([&] {
            if (immutable) QProcess::execute("chattr", {"-i", folder});
            else ::chmod(local(folder).c_str(), 0755);
        });
        // The file itself is writable, so it is written in place; a new file cannot be made there.
        ini::writeInt(local(path), "SW", "STI1", 1);
        QCOMPARE(readAll(path), QByteArray("[SW]\r\nSTI1=1\r\n"));
        const QString other = folder + "/OTHER.INI";
        expectWriteError(other, [&] { ini::writeInt(local(other), "SW", "STI1", 1); });
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"MARVOK.INI"});
    }

    void testRewriteKeepsPermissionBits_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("0600") << 0600;
        QTest::newRow("0640") << 0640;
        QTest::newRow("0664") << 0664;
        QTest::newRow("0200 write only") << 0200;
    }
    void testRewriteKeepsPermissionBits() {
        QFETCH(int, mode);
        if (::geteuid() != 0 && !(mode & 0400)) QSKIP("the owner cannot read this file back without root");
        QTemporaryDir dir;
        const QString path = dir.filePath("MARVOK.INI");
        writeFile(path, "[SW]\r\nSTI1=0\r\n");
        QVERIFY(::chmod(local(path).c_str(), mode_t(mode)) == 0);
        ini::writeInt(local(path), "SW", "STI1", 1);
        QCOMPARE(modeOf(path), mode_t(mode));
        QCOMPARE(ini::readInt(local(path), "SW", "STI1", 0), 1);
    }

    void testNewFileTakesUmask() {
        QTemporaryDir dir;
        const QString path = dir.filePath("MARVOK.INI");
        const mode_t mask = ::umask(022);
        ini::writeInt(local(path), "SW", "STI1", 1);
        ::umask(mask);
        QCOMPARE(modeOf(path), mode_t(0644));
    }

    void testWriteThroughSymlinkKeepsLink() {
        QTemporaryDir dir;
        const QString real = dir.filePath("real.ini");
        const QString link = dir.filePath("MARVOK.INI");
        writeFile(real, "[SW]\r\nSTI1=0\r\n");
        QVERIFY(QFile::link(real, link));
        ini::writeInt(local(link), "SW", "STI1", 1);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readAll(real), QByteArray("[SW]\r\nSTI1=1\r\n"));
    }
};

QTEST_APPLESS_MAIN(TestIni)
#include "tst_ini.moc"
