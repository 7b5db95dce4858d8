#include "Services.h"

#include "AppError.h"
#include "FileDialogRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vela {

namespace {
const char* const kApplicationTitle = "VELA-VOVUZEZU DOZA RODORA";

std::string withPath(const char* pattern, const QString& path) {
    QString text = QString::fromUtf8(pattern);
    text.replace(QStringLiteral("%s"), QDir::toNativeSeparators(path));
    return text.toStdString();
}
} // namespace

bool Services::executeFileDialog(FileDialog& dialog) {
    // Like the Windows dialogs, a refused name (missing file, overwrite
    // declined) brings the dialog back instead of ending the command.
    for (;;) {
        std::string typed;
        if (!chooseFile(dialog, typed)) return false;
        if (typed.empty()) return false;
        QString path = resolveTypedName(dialog, typed);
        QFileInfo chosen(path);
        std::string caption = fileDialogCaption(dialog).toStdString();
        if (dialog.kind == FileDialog::Kind::Open && dialog.fileMustExist && !chosen.isFile()) {
            messageBox(caption, withPath("%s\nファイルが見つかりません。", path), MessageButtons::Ok,
                       MessageIcon::None);
            continue;
        }
        if (dialog.kind == FileDialog::Kind::Save && dialog.overwritePrompt && chosen.exists()) {
            MessageAnswer answer = messageBox(caption, withPath("%s は既に存在します。\n上書きしますか?", path),
                                              MessageButtons::YesNo, MessageIcon::None);
            if (answer != MessageAnswer::Yes) continue;
        }
        dialog.fileName = path.toStdString();
        QDir::setCurrent(chosen.absolutePath());
        return true;
    }
}

void Services::deleteFile(const std::string& path) {
    QString name = QString::fromStdString(path);
    QFileInfo info(name);
    if (!info.exists() && !info.isSymLink()) return;
    QFile file(name);
    if (!file.remove()) throw AppError(withPath("ﾌｧｲﾙ %s を削除できません", info.absoluteFilePath()));
}

void showErrorReport(Services& services, const std::string& utf8Message) {
    services.messageBox(kApplicationTitle, errorReportText(utf8Message), MessageButtons::Ok, MessageIcon::Error);
}

void runGuarded(Services& services, const std::function<void()>& handler) {
    std::string message;
    try {
        handler();
        return;
    } catch (const std::exception& error) {
        message = error.what();
    } catch (...) {
        message = "不明なエラーが発生しました";
    }
    // The report itself must not let anything escape into the event loop.
    try {
        showErrorReport(services, message);
    } catch (...) {
    }
}

} // namespace vela
