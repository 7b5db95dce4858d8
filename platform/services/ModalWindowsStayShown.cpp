#include "ModalWindowsStayShown.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace vela {

ModalWindowsStayShown::ModalWindowsStayShown() {
    QApplication::instance()->installEventFilter(this);
}

bool ModalWindowsStayShown::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && watched->isWidgetType()) {
        auto* window = static_cast<QWidget*>(watched);
        if (window->isWindow() && window->isModal() && window->isMinimized()) {
            // After the state change has been handled: restoring inside it is undone by it.
            QTimer::singleShot(0, window, [window] {
                if (!window->isMinimized()) return;
                window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
                window->show();
                window->raise();
                window->activateWindow();
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vela
