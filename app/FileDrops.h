#pragma once
// Files dropped on the main window: an event filter that the window installs
// on itself and on the editing pane's viewport, so that a drag of local files
// opens them wherever it lands while every other drag (text) goes on to the
// widget under the pointer as before. The files open after the drop has
// finished, so a question they raise does not hold the dragging program.

#include <QObject>
#include <QStringList>

#include <functional>

class QMimeData;

namespace vela {

class FileDrops : public QObject {
public:
    using OpenFiles = std::function<void(const QStringList& paths)>;
    FileDrops(OpenFiles open, QObject* parent);

    /// Watches `target` for drags; its own drop handling stays for other data.
    void watch(QObject* target);

    /// The local files a drag carries, in its order; empty when it carries any other URL or none.
    static QStringList localFiles(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    OpenFiles m_open;
};

} // namespace vela
