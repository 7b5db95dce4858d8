#include "FileDrops.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace vela {

FileDrops::FileDrops(OpenFiles open, QObject* parent) : QObject(parent), m_open(std::move(open)) {}

void FileDrops::watch(QObject* target) {
    if (auto* widget = qobject_cast<QWidget*>(target)) widget->setAcceptDrops(true);
    target->installEventFilter(this);
}

QStringList FileDrops::localFiles(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) return {};
        paths << url.toLocalFile();
    }
    return paths;
}

bool FileDrops::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (localFiles(drag->mimeData()).isEmpty()) break;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList paths = localFiles(drop->mimeData());
        if (paths.isEmpty()) break;
        drop->acceptProposedAction();
        QTimer::singleShot(0, this, [this, paths] { m_open(paths); });
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vela
