#pragma once
// The rules the file dialogs share, whichever implementation shows them:
// how a typed name becomes a full path and how our filter text reads in Qt.

#include <QString>
#include <QStringList>

#include <string>

namespace vela {

struct FileDialog;

/// The folder a dialog starts in and resolves relative names against: the
/// remembered file's folder, else the current directory.
QString fileDialogFolder(const FileDialog& dialog);

/// `path` with "." + `defaultExt` appended when its last component has no
/// extension at all; unchanged when `defaultExt` is empty.
QString withDefaultExtension(const QString& path, const QString& defaultExt);

/// The full, cleaned path of a name typed in `dialog`, default extension applied.
QString resolveTypedName(const FileDialog& dialog, const std::string& typedName);

/// "description|pattern|..." as Qt name filters: the description as written
/// when it ends with "(pattern)", else "description (pattern)"; ";" between
/// patterns becomes a blank. A trailing description without a pattern is dropped.
QStringList qtNameFilters(const std::string& filter);

/// The caption the dialog shows: its title, or the platform default title.
QString fileDialogCaption(const FileDialog& dialog);

} // namespace vela
