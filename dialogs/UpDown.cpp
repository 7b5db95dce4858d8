#include "UpDown.h"

#include <QKeyEvent>
#include <QToolButton>

#include <algorithm>

namespace vela {

UpDown::UpDown(QWidget* parent) : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    setFocusPolicy(Qt::ClickFocus);
    for (QToolButton* arrow : {up_, down_}) {
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setObjectName(QStringLiteral("up"));
    down_->setObjectName(QStringLiteral("down"));
    connect(up_, &QToolButton::clicked, this, [this] { step(Button::Up); });
    connect(down_, &QToolButton::clicked, this, [this] { step(Button::Down); });
}

void UpDown::setMinimum(int value) {
    minimum_ = value;
    setPosition(position_);
}

void UpDown::setMaximum(int value) {
    maximum_ = value;
    setPosition(position_);
}

void UpDown::setPosition(int value) { position_ = std::clamp(value, minimum_, std::max(minimum_, maximum_)); }

void UpDown::step(Button button) {
    setPosition(button == Button::Up ? position_ + increment_ : position_ - increment_);
    emit clicked(button);
}

void UpDown::resizeEvent(QResizeEvent*) {
    const int upperHeight = height() / 2;
    up_->setGeometry(0, 0, width(), upperHeight);
    down_->setGeometry(0, upperHeight, width(), height() - upperHeight);
}

void UpDown::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up) {
        step(Button::Up);
    } else if (event->key() == Qt::Key_Down) {
        step(Button::Down);
    } else {
        QWidget::keyPressEvent(event);
    }
}

} // namespace vela
