#include "TForm7.h"

#include "ui_TForm7.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace vela {

namespace {
constexpr int SplashInterval = 5000;
}

TForm7::TForm7(QWidget* parent) : TagDialog(CloseBox::None, parent), ui(std::make_unique<Ui::TForm7>()) {
    ui->setupUi(this);
    Image1 = ui->Image1;
    // No border and no title bar; the window manager cannot close it either.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(318, 285);
    QPalette yellow = palette();
    yellow.setColor(QPalette::Window, QColor(255, 255, 0));
    setPalette(yellow);
    setAutoFillBackground(true);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(SplashInterval);
    connect(Timer1, &QTimer::timeout, this, &TForm7::Timer1Timer);
    Timer1->start();
}

TForm7::~TForm7() = default;

void TForm7::activated() {
    const QScreen* display = screen() ? screen() : QGuiApplication::primaryScreen();
    if (display) move(display->geometry().center() - rect().center());
}

void TForm7::Timer1Timer() {
    if (isVisible()) done(QDialog::Accepted);
}

} // namespace vela
