#include "ClickPanel.h"

#include <QMouseEvent>

namespace vela {

ClickPanel::ClickPanel(QWidget* parent) : QLabel(parent) {}

void ClickPanel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void ClickPanel::mouseReleaseEvent(QMouseEvent* event) {
    // Like a button: releasing outside the panel takes the click back.
    bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click) emit clicked();
}

} // namespace vela
