// Faults met through the window's own commands, as a user meets them: a write
// cut short, a read-only file or folder, a folder that vanished after a dialog
// chose it, a folder where the file was; files that cannot be read or are not
// what their name says; a source file another program changed; the recovery
// copies an editor that was killed left behind. A failure must be reported
// with the file's path, keep the old file and the document, and leave nothing behind.
#include "../documents/DocumentTestSupport.h"

#include "IniProfile.h"
#include "RecoveryFile.h"
#include "UnprivilegedUser.h"
#include "UserActions.h"

#include "FileReplace.h"
#include "RecoveryCopy.h"
#include "Rtf.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileInfo>

#include <map>
#include <optional>

#include <csignal>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vela;
using namespace vela::test;

namespace {

enum class Command { Save, SaveAs, Export, Preferences, MailAddress };
enum class Fault { CutShort, ReadOnlyFile, ReadOnlyFolder, NewInReadOnlyFolder, FolderGone, FolderAtTarget };

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

/// What another program does to the source file while the editor has it open.
enum class Change { None, Content, TimeOnly, SameSizeTimeSetBack, RenamedOver, Deleted };

/// The question Save asks about a source file that another program changed.
void expectChangedQuestion(MainWindowFixture& w, const QString& file, MessageAnswer answer) {
    w.services.expectMessageBox(answer, std::string("確認"),
                                "ファイル " + file.toStdString() + " は他のプログラムによって変更されています。上書きしますか？");
}

void changeSourceFile(const QString& file, Change change) {
    const QByteArray path = QFile::encodeName(file);
    struct stat st {};
    QVERIFY(::stat(path.constData(), &st) == 0);
    switch (change) {
    case Change::None: break;
    case Change::Content: {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("{\\rtf1\\ansi written by another program}");
        break;
    }
    case Change::TimeOnly: {
        const timespec times[2] = {st.st_atim, {st.st_mtim.tv_sec - 60, st.st_mtim.tv_nsec}};
        QVERIFY(::utimensat(AT_FDCWD, path.constData(), times, 0) == 0);
        break;
    }
    case Change::SameSizeTimeSetBack: {
        // Another program that rewrites the file at the same size and puts its time back: only the change time moves.
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite));
        const QByteArray bytes = f.readAll();
        f.seek(0);
        f.write(QByteArray(bytes.size(), ' '));
        f.close();
        const timespec times[2] = {st.st_atim, st.st_mtim};
        QVERIFY(::utimensat(AT_FDCWD, path.constData(), times, 0) == 0);
        break;
    }
    case Change::RenamedOver: {
        // The same bytes and the same time under a new inode, as an editor that saves by renaming leaves them.
        const QString copy = file + ".new";
        QVERIFY(QFile::copy(file, copy));
        const timespec times[2] = {st.st_atim, st.st_mtim};
        QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(copy).constData(), times, 0) == 0);
        QVERIFY(::rename(QFile::encodeName(copy).constData(), path.constData()) == 0);
        break;
    }
    case Change::Deleted: QVERIFY(QFile::remove(file)); break;
    }
}

QString recoveryFolder(MainWindowFixture& w) { return QDir(w.stateHome()).filePath("vela"); }

/// What an editor that was killed leaves: its copy, with no editor holding its lock.
enum class Leftover { Copy, OlderCopyToo, Empty, CutShort, Garbage, NotRtf, BrokenAndCopy, LiveEditorsOnly };

} // namespace

Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Load)
Q_DECLARE_METATYPE(Kind)
Q_DECLARE_METATYPE(Change)
Q_DECLARE_METATYPE(Leftover)

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
        // The read-only file is refused to root as well; the read-only folder's file is root's, so
        // the other user may not write it in place either; a new file cannot be made there at all.
        const std::pair<const char*, Fault> faults[] = {{"cut short", Fault::CutShort},
                                                        {"0444 file", Fault::ReadOnlyFile},
                                                        {"read-only folder", Fault::ReadOnlyFolder},
                                                        {"new file in read-only folder", Fault::NewInReadOnlyFolder},
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
        case Fault::ReadOnlyFile: QVERIFY(::chmod(target.toLocal8Bit().constData(), 0444) == 0); break;
        case Fault::NewInReadOnlyFolder: QVERIFY(QFile::remove(target)); [[fallthrough]];
        case Fault::ReadOnlyFolder: QVERIFY(::chmod(place.toLocal8Bit().constData(), 0555) == 0); break;
        case Fault::FolderGone: QVERIFY(QDir(place).removeRecursively()); break;
        case Fault::FolderAtTarget:
            QVERIFY(QFile::remove(target));
            QVERIFY(QDir(place).mkdir(targetName(command)));
            w.writeFile("place/" + targetName(command) + "/keep", "kept");
            break;
        }
        const auto before = contents(place);
        expectCommandDialogs(w, command, fault != Fault::FolderGone && fault != Fault::NewInReadOnlyFolder);
        // Making the file read-only moved its change time, as another program's doing: Save asks first.
        if (command == Command::Save && fault == Fault::ReadOnlyFile) expectChangedQuestion(w, target, MessageAnswer::Yes);
        expectErrorReport(w, expectedMessage(command, fault, target.toStdString()));
        {
            // Smaller than every file the commands write, so each write fails after its first bytes.
            std::optional<FileSizeLimit> limit;
            std::optional<UnprivilegedUser> user;
            if (fault == Fault::CutShort) limit.emplace(16);
            if (fault == Fault::ReadOnlyFolder || fault == Fault::NewInReadOnlyFolder) {
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

    void testSourceFileChangedByAnotherProgram_data() {
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("opened");  // read by Open rather than written by Save As
        QTest::addColumn<bool>("toolbar"); // saved with SpeedButton3 rather than Menu13
        QTest::addColumn<MessageAnswer>("answer");
        QTest::newRow("unchanged") << Change::None << false << false << MessageAnswer::Ok;
        QTest::newRow("content, yes") << Change::Content << false << false << MessageAnswer::Yes;
        QTest::newRow("content, no") << Change::Content << false << false << MessageAnswer::No;
        QTest::newRow("content after open, toolbar, no") << Change::Content << true << true << MessageAnswer::No;
        QTest::newRow("time only, toolbar, yes") << Change::TimeOnly << false << true << MessageAnswer::Yes;
        QTest::newRow("renamed over after open, no") << Change::RenamedOver << true << false << MessageAnswer::No;
        QTest::newRow("same size, time set back, no") << Change::SameSizeTimeSetBack << false << false << MessageAnswer::No;
        // Nothing of the other program's is left to lose: Save writes the file again without asking.
        QTest::newRow("deleted") << Change::Deleted << false << false << MessageAnswer::Ok;
    }
    void testSourceFileChangedByAnotherProgram() {
        QFETCH(Change, change);
        QFETCH(bool, opened);
        QFETCH(bool, toolbar);
        QFETCH(MessageAnswer, answer);
        MainWindowFixture w;
        const QString file = inDir(w, "doc.kvd");
        if (opened) w.writeFile("doc.kvd", "{\\rtf1\\ansi first}");
        w.services.expectFileDialog(file.toStdString());
        w.chooseMenuEntry(opened ? "Menu12" : "Menu14");
        typeText(w, "typed");
        changeSourceFile(file, change);
        const bool asks = answer != MessageAnswer::Ok;
        const QByteArray onDisk = readAll(file);
        Pane& pane = w.form->pane();
        const int undoBefore = w.form->state().UndoAvailable;
        auto save = [&] {
            if (toolbar)
                w.clickButton("SpeedButton3", 0);
            else
                w.chooseMenuEntry("Menu13");
        };
        if (asks) expectChangedQuestion(w, file, answer);
        save();
        QVERIFY(w.services.verifyAllConsumed());
        if (answer == MessageAnswer::No) {
            // Nothing written and nothing changed: the document still waits to be saved.
            QCOMPARE(readAll(file), onDisk);
            QVERIFY(pane.modified());
            QCOMPARE(w.form->state().UndoAvailable, undoBefore);
            QCOMPARE(w.form->state().SourcePath, file.toStdString());
            // Asked again at the next Save, which Yes then writes.
            expectChangedQuestion(w, file, MessageAnswer::Yes);
            save();
            QVERIFY(w.services.verifyAllConsumed());
        }
        QCOMPARE(textOfSourceDocument(file), pane.text());
        QVERIFY(!pane.modified());
        // What Save wrote is what it compares with next: no question for the editor's own write.
        typeText(w, "more");
        save();
        QVERIFY(w.services.verifyAllConsumed());
        QCOMPARE(textOfSourceDocument(file), pane.text());
    }

    void testRecoveryAtStart_data() {
        QTest::addColumn<Leftover>("leftover");
        QTest::addColumn<MessageAnswer>("answer"); // Ok: no question
        QTest::newRow("copy, yes") << Leftover::Copy << MessageAnswer::Yes;
        QTest::newRow("copy, no") << Leftover::Copy << MessageAnswer::No;
        QTest::newRow("two copies, yes takes the newer") << Leftover::OlderCopyToo << MessageAnswer::Yes;
        QTest::newRow("only copies of running editors") << Leftover::LiveEditorsOnly << MessageAnswer::Ok;
        QTest::newRow("empty") << Leftover::Empty << MessageAnswer::Ok;
        QTest::newRow("cut short") << Leftover::CutShort << MessageAnswer::Ok;
        QTest::newRow("garbage") << Leftover::Garbage << MessageAnswer::Ok;
        QTest::newRow("not rtf") << Leftover::NotRtf << MessageAnswer::Ok;
        QTest::newRow("broken and a copy, yes") << Leftover::BrokenAndCopy << MessageAnswer::Yes;
    }
    void testRecoveryAtStart() {
        QFETCH(Leftover, leftover);
        QFETCH(MessageAnswer, answer);
        MainWindowFixture w;
        // A saved document, then coloured, unsaved work: the window keeps a copy once typing pauses.
        const QString file = inDir(w, "doc.kvd");
        w.services.expectFileDialog(file.toStdString());
        w.chooseMenuEntry("Menu14");
        w.select(16, 0);
        commitText(w, QString::fromUtf8("復元する本文"));
        typeText(w, " text");
        w.select(16, 17);
        w.chooseMenuEntry("Menu32"); // bold: cyan tags around it
        Pane& live = w.form->pane();
        const std::string text = live.text();
        const rtf::RunList runs = live.runs();
        QVERIFY(live.modified());
        const QString folder = recoveryFolder(w);
        QTRY_COMPARE_WITH_TIMEOUT(QDir(folder).entryList({"*.kvr"}, QDir::Files).size(), qsizetype(1), 10000);
        w.form->documents().recoveryCopy().waitForWriter();
        const QString liveCopy = QDir(folder).filePath(QDir(folder).entryList({"*.kvr"}, QDir::Files).first());
        QByteArray copy = readAll(liveCopy);
        QVERIFY(!copy.isEmpty());
        // The drafts are the user's alone.
        QCOMPARE(QFile::permissions(liveCopy), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        QCOMPARE(QFileInfo(folder).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());

        // The killed editors' files, named as editors name them; nobody holds their locks.
        const QString dead = QDir(folder).filePath("1-dead.kvr");
        const QString older = QDir(folder).filePath("2-older.kvr");
        const QString broken = QDir(folder).filePath("3-broken.kvr");
        auto put = [](const QString& path, const QByteArray& bytes) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        switch (leftover) {
        case Leftover::Copy: put(dead, copy); break;
        case Leftover::OlderCopyToo: {
            put(dead, copy);
            // Taken a minute earlier, of another document.
            auto content = recovery::decode(copy.toStdString());
            QVERIFY(content);
            content->savedAtMs -= 60000;
            content->sourcePath = inDir(w, "other.kvd").toStdString();
            put(older, QByteArray::fromStdString(recovery::encode(*content)));
            break;
        }
        case Leftover::Empty: put(broken, {}); break;
        case Leftover::CutShort: put(broken, copy.left(copy.size() / 2)); break;
        case Leftover::Garbage: put(broken, binaryBytes()); break;
        case Leftover::NotRtf: {
            auto content = recovery::decode(copy.toStdString());
            QVERIFY(content);
            content->rtf = "plain words";
            put(broken, QByteArray::fromStdString(recovery::encode(*content)));
            break;
        }
        case Leftover::BrokenAndCopy:
            put(broken, copy.left(copy.size() - 1));
            put(dead, copy);
            break;
        case Leftover::LiveEditorsOnly: break;
        }
        const bool hasBroken = QFile::exists(broken);
        if (hasBroken)
            w.services.expectMessageBox(MessageAnswer::Ok, AppCaption,
                                        "復元用のファイル " + broken.toStdString() + " は壊れていて読めません。" +
                                            broken.toStdString() + ".broken に移しました。");
        if (answer != MessageAnswer::Ok) w.services.expectMessageBox(answer, std::string("確認"));

        // The next editor starts while the first one still runs: it must leave the first one's copy alone.
        TForm1 next(w.services);
        next.show();
        next.activateWindow();
        QTRY_COMPARE(next.state().FirstActivation, 1);
        QVERIFY(w.services.verifyAllConsumed());
        if (answer != MessageAnswer::Ok) {
            // The question names the document Yes brings back: the newest copy's.
            const QString question = QString::fromStdString(w.services.messageBoxes().back().text);
            QVERIFY2(question.startsWith("保存されていない文書が残っています。復元しますか？\n" + file + "（"), qPrintable(question));
        }
        QVERIFY(QFile::exists(liveCopy));
        QCOMPARE(readAll(liveCopy), copy);
        if (hasBroken) {
            QVERIFY(!QFile::exists(broken));
            QVERIFY(QFile::exists(broken + ".broken"));
        }
        Pane& pane = next.pane();
        if (answer != MessageAnswer::Yes) {
            // No deletes the copies; without a readable one there was nothing to ask.
            QVERIFY(!QFile::exists(dead));
            QCOMPARE(pane.text(), Template);
            QVERIFY(!pane.modified());
            QCOMPARE(next.state().SourcePath, std::string());
            return;
        }
        // Yes: the newest copy as an unsaved document of its source file, colours included.
        QCOMPARE(pane.text(), text);
        QVERIFY(pane.runs() == runs);
        QVERIFY(pane.modified());
        QCOMPARE(next.state().SourcePath, file.toStdString());
        QCOMPARE(next.windowTitle().toStdString(), AppCaption + " - " + file.toStdString());
        QCOMPARE(next.state().UndoAvailable, 0);
        // The copy is now the new editor's own; an older one stays for a later start.
        QVERIFY(!QFile::exists(dead));
        QCOMPARE(QFile::exists(older), leftover == Leftover::OlderCopyToo);
        const QString own = QString::fromStdString(next.documents().recoveryCopy().path());
        QCOMPARE(readAll(own), copy);
        // Saved, the document needs no copy any more; the file it was saved from had not changed.
        auto* save = next.findChild<QToolButton*>("SpeedButton3");
        QVERIFY(save && save->isVisible());
        QTest::mouseClick(save, Qt::LeftButton);
        QVERIFY(w.services.verifyAllConsumed());
        QVERIFY(!pane.modified());
        QCOMPARE(textOfSourceDocument(file), text);
        next.documents().recoveryCopy().waitForWriter();
        QVERIFY(!QFile::exists(own));
    }

    void testKilledWriteInPlaceIsReportedAtStart() {
        MainWindowFixture w;
        // A big document with a second name: Save writes it in place.
        const QString file = inDir(w, "big.kvd");
        const QByteArray old(12 << 20, 'o');
        w.writeFile("big.kvd", old);
        const QByteArray path = QFile::encodeName(file);
        QVERIFY(::link(path.constData(), QFile::encodeName(inDir(w, "second.kvd")).constData()) == 0);
        struct stat before {};
        QVERIFY(::stat(path.constData(), &before) == 0);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            try {
                files::writeFileOrThrow(file.toStdString(), std::string(12 << 20, 'n'));
            } catch (...) {
            }
            ::_exit(0);
        }
        // Killed at the first change of the file's modification time, while it is being written.
        bool exited = false;
        for (struct stat now = before; !exited && now.st_mtim.tv_sec == before.st_mtim.tv_sec &&
                                       now.st_mtim.tv_nsec == before.st_mtim.tv_nsec;) {
            ::stat(path.constData(), &now);
            exited = ::waitpid(child, nullptr, WNOHANG) == child;
        }
        if (!exited) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
        const QStringList copies = QDir(w.dir.path()).entryList({".vela-*.old"}, QDir::Files | QDir::Hidden);
        QCOMPARE(copies.size(), qsizetype(1));
        const QString copy = inDir(w, copies.first());
        QVERIFY(readAll(copy) == old);

        // The next start names the file and the copy, and leaves the copy where it is.
        w.services.expectMessageBox(MessageAnswer::Ok, AppCaption,
                                    "ファイル " + file.toStdString() +
                                        " への書き込みが中断されました。ファイルは壊れているかもしれません。元の内容は " +
                                        copy.toStdString() + " に残してあります。");
        TForm1 next(w.services);
        next.show();
        next.activateWindow();
        QTRY_COMPARE(next.state().FirstActivation, 1);
        QVERIFY(w.services.verifyAllConsumed());
        QVERIFY(readAll(copy) == old);
    }

    void testPlantedSnapshotLinkIsNotFollowed() {
        MainWindowFixture w;
        // A shared sticky folder, where another user made the snapshot's name a link to a file of ours.
        QVERIFY(QFile::setPermissions(w.dir.path(), QFile::permissions(w.dir.path()) | QFile::ExeOther));
        const QString shared = inDir(w, "shared");
        QVERIFY(QDir().mkdir(shared));
        QVERIFY(::chmod(QFile::encodeName(shared).constData(), 01777) == 0);
        const QString mine = inDir(w, "mine.kvd");
        w.writeFile("mine.kvd", "mine");
        const QString planted = QDir(shared).filePath("QOV.tmp");
        {
            UnprivilegedUser user;
            QVERIFY(user.ok());
            QVERIFY(::symlink(QFile::encodeName(mine).constData(), QFile::encodeName(planted).constData()) == 0);
        }
        QVERIFY(QDir::setCurrent(shared));
        TForm1 next(w.services);
        next.show();
        next.activateWindow();
        QTRY_COMPARE(next.state().FirstActivation, 1);
        // The snapshot took the next free name; the link and our file are as they were.
        QCOMPARE(next.state().UndoFilePath, QDir(shared).filePath("QOV-2.tmp").toStdString());
        QVERIFY(QFile::exists(QDir(shared).filePath("QOV-2.tmp")));
        QVERIFY(QFileInfo(planted).isSymLink());
        QCOMPARE(readAll(mine), QByteArray("mine"));
    }

    void testEnterSnapshotFailingAfterTheKeyIsReportedAndUndone() {
        // The snapshot of an Enter is written after the key: its failure must still be
        // reported, and undo must still give the page as it was before the line break.
        MainWindowFixture w;
        Pane& pane = w.form->pane();
        w.select(16, 0);
        typeText(w, "abc");
        w.select(17, 2);
        const std::string text = pane.text();
        const rtf::RunList runs = rtf::normalize(pane.runs());
        expectErrorReport(w, "ｽﾄﾘｰﾑへの書き込みに失敗しました");
        {
            FileSizeLimit limit(16);
            QTest::keyClick(pane.widget(), Qt::Key_Return);
            QCOMPARE(pane.text(), text.substr(0, 17) + "\r\n" + text.substr(19));
            QTRY_COMPARE(w.services.messageBoxes().size(), std::size_t(1));
        }
        QVERIFY(w.services.verifyAllConsumed());
        w.chooseMenuEntry("Menu27");
        QCOMPARE(pane.text(), text);
        QVERIFY(rtf::normalize(pane.runs()) == runs);
        QCOMPARE(pane.selStart(), 17);
        QCOMPARE(pane.selLength(), 2);
        QCOMPARE(strayFiles(w, {"QOV.tmp", "QOV.tmp.lock"}).join(","), QString());
    }

    void testSteadyTypingIsRecoveredAfterAKill() {
        MainWindowFixture w;
        const QString folder = recoveryFolder(w);
        // A key every 1.2 s: typing never pauses long enough for the copy that waits for a pause.
        QElapsedTimer typing;
        typing.start();
        while (QDir(folder).entryList({"*.kvr"}, QDir::Files).isEmpty() &&
               typing.elapsed() < recovery::RecoveryCopy::MaxIntervalMs + 10000) {
            w.select(16, 0);
            typeText(w, "k");
            QTest::qWait(1200);
        }
        const QStringList copies = QDir(folder).entryList({"*.kvr"}, QDir::Files);
        QCOMPARE(copies.size(), qsizetype(1));
        w.form->documents().recoveryCopy().waitForWriter();
        const std::string typed = w.form->pane().text();
        // As a killed editor would leave it: the copy under a name nobody holds.
        QVERIFY(QFile::copy(QDir(folder).filePath(copies.first()), QDir(folder).filePath("1-dead.kvr")));
        w.services.expectMessageBox(MessageAnswer::Yes, std::string("確認"));
        TForm1 next(w.services);
        next.show();
        next.activateWindow();
        QTRY_COMPARE(next.state().FirstActivation, 1);
        QVERIFY(w.services.verifyAllConsumed());
        // All but the keys typed after the copy was taken.
        const std::string restored = next.pane().text();
        QVERIFY2(restored.find("kkkkkkkkkkkkkkkkkkkk") != std::string::npos, restored.c_str());
        QVERIFY(typed.starts_with(restored.substr(0, 16)));
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
