// Faults met through the window's own commands, as a user meets them: a write
// cut short, a read-only folder, a folder that vanished after a dialog chose
// it, a folder where the file was; files that cannot be read or are not what
// their name says. A failure must be reported with the file's path, keep the
// old file and the document, and leave nothing behind.
#include "../documents/DocumentTestSupport.h"

#include "IniProfile.h"
#include "UserActions.h"

#include <QCheckBox>
#include <QFileInfo>

#include <map>
#include <optional>

#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vela;
using namespace vela::test;

namespace {

enum class Command { Save, SaveAs, Export, Preferences, MailAddress };
enum class Fault { CutShort, ReadOnlyFolder, FolderGone, FolderAtTarget };

/// Runs as the unprivileged user while it lives. Root ignores permission bits,
/// so a read-only folder only refuses a write under another identity; the
/// file-system uid follows the effective uid.
class UnprivilegedUser {
public:
    static constexpr uid_t Nobody = 65534;
    UnprivilegedUser() { ok_ = ::setegid(Nobody) == 0 && ::seteuid(Nobody) == 0; }
    ~UnprivilegedUser() {
        if (::seteuid(0) != 0 || ::setegid(0) != 0) qFatal("cannot take back the root identity");
        // A changed identity makes the process undumpable; the sanitizers' leak check needs it dumpable.
        ::prctl(PR_SET_DUMPABLE, 1);
    }
    UnprivilegedUser(const UnprivilegedUser&) = delete;
    UnprivilegedUser& operator=(const UnprivilegedUser&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

std::string title(MainWindowFixture& w) { return w.form->windowTitle().toStdString(); }

std::string textOfSourceDocument(const QString& path) {
    Pane reader;
    reader.loadFromFile(path.toStdString(), StreamFormat::Rtf);
    return reader.text();
}

std::string iniValue(const QString& path, const char* section, const char* key) {
    return ini::readString(path.toStdString(), section, key, "<none>");
}

/// Every entry of a folder with the bytes of its files ("<folder>" for a folder).
std::map<QString, QByteArray> contents(const QString& folder) {
    std::map<QString, QByteArray> all;
    for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        all[entry.fileName()] = entry.isDir() ? QByteArray("<folder>") : readAll(entry.filePath());
    return all;
}

QString folderOf(MainWindowFixture& w) { return QDir(w.dir.path()).filePath("place"); }

/// The preferences with "改行・段落タグ貼り付け後、改行する" set as given, closed with OK.
void expectPreferences(MainWindowFixture& w, bool lineBreak) {
    w.services.expectModal([lineBreak](QDialog& d) {
        user::setChecked(d, "CheckBox1", lineBreak);
        user::click(d, "Button1");
    });
}

/// Gives the window its files in the folder "place", which the dialogs make the
/// current one: the source document doc.kvd, the export page.htm and MARVOK.INI.
void writeFilesIntoPlace(MainWindowFixture& w) {
    // The unprivileged user must reach the folders; a temporary folder is its owner's alone.
    QVERIFY(QFile::setPermissions(w.dir.path(), QFile::permissions(w.dir.path()) | QFile::ReadOther |
                                                    QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup));
    QVERIFY(QDir(w.dir.path()).mkdir("place"));
    w.services.expectFileDialog(folderOf(w).toStdString() + "/doc");
    w.chooseMenuEntry("Menu14");
    w.services.expectFileDialog("page");
    w.chooseMenuEntry("HTML1");
    expectPreferences(w, false);
    w.chooseMenuEntry("KS1");
    w.services.expectPrompt("old@example.jp");
    w.chooseMenuEntry("Menu26");
    QVERIFY(w.services.verifyAllConsumed());
    QCOMPARE(QDir::currentPath(), folderOf(w));
    QCOMPARE(contents(folderOf(w)).size(), std::size_t(3));
}

QString targetName(Command command) {
    switch (command) {
    case Command::Save:
    case Command::SaveAs: return "doc.kvd";
    case Command::Export: return "page.htm";
    case Command::Preferences:
    case Command::MailAddress: return "MARVOK.INI";
    }
    return {};
}

bool writesSettings(Command command) { return command == Command::Preferences || command == Command::MailAddress; }

/// Queues what the user answers in the command's own dialogs.
void expectCommandDialogs(MainWindowFixture& w, Command command, bool targetExists) {
    switch (command) {
    case Command::Save: break;
    case Command::SaveAs:
    case Command::Export:
        w.services.expectFileDialog(command == Command::SaveAs ? "doc" : "page");
        if (targetExists) w.services.expectMessageBox(MessageAnswer::Yes); // replace it
        break;
    case Command::Preferences: expectPreferences(w, true); break;
    case Command::MailAddress: w.services.expectPrompt("new@example.jp"); break;
    }
}

void run(MainWindowFixture& w, Command command) {
    switch (command) {
    case Command::Save: w.clickButton("SpeedButton3", 0); break;
    case Command::SaveAs: w.chooseMenuEntry("Menu14"); break;
    case Command::Export: w.chooseMenuEntry("HTML1"); break;
    case Command::Preferences: w.chooseMenuEntry("KS1"); break;
    case Command::MailAddress: w.chooseMenuEntry("Menu26"); break;
    }
}

std::string expectedMessage(Command command, Fault fault, const std::string& target) {
    if (writesSettings(command)) return target + " に書き込めません";
    if (fault == Fault::CutShort) return "ｽﾄﾘｰﾑへの書き込みに失敗しました";
    return "ﾌｧｲﾙ " + target + " を作成できません";
}

enum class Load { Open, Import };
enum class Kind { Bytes, Unreadable, Folder, Pipe };

/// The bytes of a literal, NUL bytes included.
template <std::size_t N>
QByteArray bytesOf(const char (&literal)[N]) { return QByteArray(literal, N - 1); }

/// 64 KB of every byte value in a scrambled order, as an image or archive holds them.
QByteArray binaryBytes() {
    QByteArray bytes;
    for (int i = 0; i < 65536; ++i) bytes.append(char((i * 7919 + (i >> 8)) & 0xFF));
    return bytes;
}

} // namespace

Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Load)
Q_DECLARE_METATYPE(Kind)

class CommandFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY2(::geteuid() == 0, "the fault tests run as root"); }

    void testFailedWriteLosesNothing_data() {
        QTest::addColumn<Command>("command");
        QTest::addColumn<Fault>("fault");
        const std::pair<const char*, Command> commands[] = {{"save", Command::Save},
                                                            {"save as", Command::SaveAs},
                                                            {"html export", Command::Export},
                                                            {"preferences", Command::Preferences},
                                                            {"mail address", Command::MailAddress}};
        const std::pair<const char*, Fault> faults[] = {{"cut short", Fault::CutShort},
                                                        {"read-only folder", Fault::ReadOnlyFolder},
                                                        {"folder gone", Fault::FolderGone},
                                                        {"folder at target", Fault::FolderAtTarget}};
        for (const auto& [commandName, command] : commands)
            for (const auto& [faultName, fault] : faults)
                QTest::addRow("%s, %s", commandName, faultName) << command << fault;
    }
    void testFailedWriteLosesNothing() {
        QFETCH(Command, command);
        QFETCH(Fault, fault);
        MainWindowFixture w;
        writeFilesIntoPlace(w);
        if (QTest::currentTestFailed()) return;
        const QString place = folderOf(w);
        const QString target = QDir(place).filePath(targetName(command));

        // A change long enough that a cut-short write stops in the middle of it.
        w.select(16, 0);
        commitText(w, QString::fromUtf8("長い本文").repeated(2000));
        Pane& pane = w.form->pane();
        const std::string text = pane.text();
        const std::string titleBefore = title(w);
        const std::string sourceBefore = w.form->state().SourcePath;

        switch (fault) {
        case Fault::CutShort: break;
        case Fault::ReadOnlyFolder: QVERIFY(::chmod(place.toLocal8Bit().constData(), 0555) == 0); break;
        case Fault::FolderGone: QVERIFY(QDir(place).removeRecursively()); break;
        case Fault::FolderAtTarget:
            QVERIFY(QFile::remove(target));
            QVERIFY(QDir(place).mkdir(targetName(command)));
            w.writeFile("place/" + targetName(command) + "/keep", "kept");
            break;
        }
        const auto before = contents(place);
        expectCommandDialogs(w, command, fault != Fault::FolderGone);
        expectErrorReport(w, expectedMessage(command, fault, target.toStdString()));
        {
            // Smaller than every file the commands write, so each write fails after its first bytes.
            std::optional<FileSizeLimit> limit;
            std::optional<UnprivilegedUser> user;
            if (fault == Fault::CutShort) limit.emplace(16);
            if (fault == Fault::ReadOnlyFolder) {
                user.emplace();
                QVERIFY(user->ok());
            }
            run(w, command);
        }
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.services.messageBoxes().back().icon, MessageIcon::Error);

        // The old file (or the folder in its place) as it was, and no temporary file beside it.
        QVERIFY(contents(place) == before);
        QCOMPARE(QFileInfo::exists(place), fault != Fault::FolderGone);
        QCOMPARE(strayFiles(w, {"QOV.tmp", "QOV.tmp.lock"}).join(","), QString());
        // The document as it was, still marked changed, and no success shown.
        QCOMPARE(pane.text(), text);
        QVERIFY(pane.modified());
        QCOMPARE(title(w), titleBefore);
        QCOMPARE(w.form->state().SourcePath, sourceBefore);
        if (command == Command::Preferences) QCOMPARE(w.form->state().LineBreakAfterTag, 1);
        if (command == Command::MailAddress) QCOMPARE(w.form->state().MailAddress, std::string("new@example.jp"));

        // Nothing was lost: saved to a good folder, the document holds the text.
        const QString good = QDir(w.dir.path()).filePath("good.kvd");
        w.services.expectFileDialog(good.toStdString());
        w.chooseMenuEntry("Menu14");
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(textOfSourceDocument(good), text);
        QVERIFY(!pane.modified());
        QCOMPARE(w.form->state().SourcePath, good.toStdString());
        // The failed command works there too, with what the user chose before.
        const QString goodIni = QDir(w.dir.path()).filePath("MARVOK.INI");
        switch (command) {
        case Command::Save:
        case Command::SaveAs: break;
        case Command::Export:
            w.services.expectFileDialog(QDir(w.dir.path()).filePath("good.htm").toStdString());
            w.chooseMenuEntry("HTML1");
            QCOMPARE(readAll(QDir(w.dir.path()).filePath("good.htm")), QByteArray::fromStdString(text));
            break;
        case Command::Preferences:
            w.services.expectModal([](QDialog& d) {
                QVERIFY(d.findChild<QCheckBox*>("CheckBox1")->isChecked());
                user::click(d, "Button1");
            });
            w.chooseMenuEntry("KS1");
            QCOMPARE(iniValue(goodIni, "SW", "STI1"), std::string("1"));
            break;
        case Command::MailAddress:
            w.services.expectPromptCancelled();
            w.chooseMenuEntry("Menu26");
            QCOMPARE(w.services.prompts().back().preset, std::string("new@example.jp"));
            QCOMPARE(iniValue(goodIni, "MAIL", "ADD"), std::string("new@example.jp"));
            break;
        }
        QVERIFY(w.services.verifyAllConsumed());
    }

    void testBadFileRead_data() {
        QTest::addColumn<Load>("load");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("expectedText"); // a load that succeeds gives this text; empty: any text
        const QByteArray rtf = "{\\rtf1\\ansi text}";
        for (auto [name, load] : {std::pair{"open", Load::Open}, std::pair{"import", Load::Import}}) {
            QTest::addRow("%s, unreadable file", name) << load << Kind::Unreadable << rtf << QByteArray();
            QTest::addRow("%s, folder", name) << load << Kind::Folder << QByteArray() << QByteArray();
            QTest::addRow("%s, named pipe", name) << load << Kind::Pipe << QByteArray() << QByteArray();
            QTest::addRow("%s, binary file", name) << load << Kind::Bytes << binaryBytes() << QByteArray();
        }
        QTest::newRow("open, NUL in source document")
            << Load::Open << Kind::Bytes << bytesOf("{\\rtf1\\ansi ab\0cd\\par ef}") << QByteArray("abcd\r\nef");
        QTest::newRow("open, escaped NUL in source document")
            << Load::Open << Kind::Bytes << QByteArray("{\\rtf1\\ansi ab\\'00cd}") << bytesOf("ab\0cd");
        QTest::newRow("import, NUL in page")
            << Load::Import << Kind::Bytes << bytesOf("<P>a\0b</P>\r\n\0") << bytesOf("<P>a\0b</P>\r\n\0");
    }
    void testBadFileRead() {
        QFETCH(Load, load);
        QFETCH(Kind, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, expectedText);
        MainWindowFixture w;
        QVERIFY(QFile::setPermissions(w.dir.path(), QFile::permissions(w.dir.path()) | QFile::ExeOther));
        w.services.expectFileDialog(inDir(w, "doc.kvd").toStdString());
        w.chooseMenuEntry("Menu14");
        Pane& pane = w.form->pane();
        const std::string text = pane.text();
        const std::string titleBefore = title(w);
        const std::string sourceBefore = w.form->state().SourcePath;

        const QString file = inDir(w, load == Load::Open ? "in.kvd" : "in.htm");
        switch (kind) {
        case Kind::Bytes:
        case Kind::Unreadable:
            w.writeFile(QFileInfo(file).fileName(), bytes);
            if (kind == Kind::Unreadable) QVERIFY(QFile::setPermissions(file, {}));
            break;
        case Kind::Folder: QVERIFY(QDir(w.dir.path()).mkdir(QFileInfo(file).fileName())); break;
        case Kind::Pipe: QVERIFY(::mkfifo(file.toLocal8Bit().constData(), 0644) == 0); break;
        }
        const bool refused = kind != Kind::Bytes;
        w.services.expectFileDialog(file.toStdString());
        if (refused) expectErrorReport(w, "ﾌｧｲﾙ " + file.toStdString() + " は開けません");
        const std::size_t messagesBefore = w.services.messageBoxes().size();
        const bool replaces = !refused && expectedText.isEmpty();
        if (replaces) w.services.expectMessageBox(MessageAnswer::Ok, AppCaption); // "?" were counted
        {
            std::optional<UnprivilegedUser> user;
            if (kind == Kind::Unreadable) {
                user.emplace();
                QVERIFY(user->ok());
            }
            w.chooseMenuEntry(load == Load::Open ? "Menu12" : "HTM1");
        }
        QVERIFY(w.services.verifyAllConsumed());
        if (refused) {
            QCOMPARE(w.services.messageBoxes().back().icon, MessageIcon::Error);
            QCOMPARE(pane.text(), text);
            QCOMPARE(title(w), titleBefore);
            QCOMPARE(w.form->state().SourcePath, sourceBefore);
            QVERIFY(!pane.modified());
            return;
        }
        QCOMPARE(title(w), load == Load::Open ? AppCaption + " - " + file.toStdString() : AppCaption);
        QVERIFY(!pane.modified());
        const std::string loaded = pane.text();
        if (!replaces) {
            QCOMPARE(QByteArray::fromStdString(loaded), expectedText);
            QCOMPARE(w.services.messageBoxes().size(), messagesBefore);
        } else {
            // The count told is the number of characters that became "?" (0x3F is never a trail byte).
            const auto question = std::count(loaded.begin(), loaded.end(), '?') - bytes.count('?');
            QVERIFY(question > 0);
            QCOMPARE(w.services.messageBoxes().back().text,
                     "この文書で表示できない文字が " + std::to_string(question) +
                         " 個あり、「?」に置き換えました。\n保存すると元の文字は失われます。");
        }
        // Saved and read back, the text is whole: nothing stops at a NUL or a control byte.
        w.services.expectFileDialog(inDir(w, "copy.kvd").toStdString());
        w.chooseMenuEntry("Menu14");
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(QByteArray::fromStdString(textOfSourceDocument(inDir(w, "copy.kvd"))), QByteArray::fromStdString(loaded));
    }

    void testNewAfterTheFolderVanished() {
        MainWindowFixture w;
        writeFilesIntoPlace(w);
        if (QTest::currentTestFailed()) return;
        expectPreferences(w, true);
        w.chooseMenuEntry("KS1");
        typeText(w, "x");
        QVERIFY(QDir(folderOf(w)).removeRecursively());
        // The settings of a folder that is gone read as missing: the defaults, and no error.
        expectSaveQuestion(w, MessageAnswer::No);
        w.chooseMenuEntry("Menu11");
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(w.form->pane().text(), Template);
        QCOMPARE(title(w), AppCaption);
        QCOMPARE(w.form->state().SourcePath, std::string());
        QCOMPARE(w.form->state().LineBreakAfterTag, 0);
        QCOMPARE(w.form->state().MailAddress, std::string());
    }
};

QTEST_MAIN(CommandFaultsTest)
#include "tst_commandfaults.moc"
