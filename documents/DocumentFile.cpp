#include "DocumentFile.h"

#include "AppError.h"
#include "Pane.h"
#include "Rtf.h"

#include <QFileInfo>
#include <QSaveFile>

namespace vela {
namespace {

void replaceFile(const std::string& path, const std::string& bytes) {
    const QString name = QString::fromStdString(path);
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) throw cannotCreateFile(QFileInfo(name).absoluteFilePath().toStdString());
    // QSaveFile::commit() ignores a failing flush of its write buffer (a full
    // disk would leave a truncated file in place), so flush and check first.
    if (file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) || !file.flush()) {
        file.cancelWriting(); // the temporary file goes with `file`
        throw streamWriteFailed();
    }
    if (!file.commit()) throw streamWriteFailed();
}

} // namespace

void writeSourceDocument(const Pane& pane, const std::string& path) { replaceFile(path, rtf::write(pane.runs())); }

void writePlainText(const Pane& pane, const std::string& path) { replaceFile(path, pane.text()); }

} // namespace vela
