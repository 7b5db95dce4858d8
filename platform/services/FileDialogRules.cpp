#include "FileDialogRules.h"

#include "CurrentDirectory.h"
#include "Services.h"

#include <QDir>
#include <QFileInfo>

namespace vela {

QString fileDialogFolder(const FileDialog& dialog) {
    if (!dialog.fileName.empty()) {
        QFileInfo remembered(QString::fromStdString(dialog.fileName));
        if (remembered.absoluteDir().exists()) return remembered.absolutePath();
    }
    // Not QDir::currentPath(): it is empty once the folder was removed, and a
    // name typed then would resolve against the root folder.
    return QString::fromStdString(files::currentDirectory());
}

QString withDefaultExtension(const QString& path, const QString& defaultExt) {
    if (defaultExt.isEmpty()) return path;
    // Only the last component counts: "dir.x/page" has no extension.
    qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (path.indexOf(QLatin1Char('.'), slash + 1) >= 0) return path;
    return path + QLatin1Char('.') + defaultExt;
}

QString resolveTypedName(const FileDialog& dialog, const std::string& typedName) {
    QString typed = QDir::fromNativeSeparators(QString::fromStdString(typedName));
    QString full = QDir::cleanPath(QDir(fileDialogFolder(dialog)).absoluteFilePath(typed));
    return withDefaultExtension(full, QString::fromStdString(dialog.defaultExt));
}

QStringList qtNameFilters(const std::string& filter) {
    QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1].trimmed();
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        QString description = parts[i].trimmed();
        if (pattern.isEmpty()) continue;
        // Qt takes the patterns from the parentheses at the end; a description that already ends with
        // them is shown as written, any other gets them added.
        const QString inParentheses = QLatin1Char('(') + pattern + QLatin1Char(')');
        if (description.endsWith(inParentheses))
            filters << description;
        else
            filters << (description.isEmpty() ? pattern : description) + QLatin1Char(' ') + inParentheses;
    }
    return filters;
}

QString fileDialogCaption(const FileDialog& dialog) {
    if (!dialog.title.empty()) return QString::fromStdString(dialog.title);
    return dialog.kind == FileDialog::Kind::Save ? QStringLiteral("名前を付けて保存") : QStringLiteral("開く");
}

} // namespace vela
