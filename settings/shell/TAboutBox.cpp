#include "TAboutBox.h"

#include "JapaneseUi.h"
#include "ui_TAboutBox.h"

#include <QGuiApplication>
#include <QScreen>

namespace vela {

namespace {
QFont gothicPixels(int pixels, bool bold) {
    QFont font = japaneseUiFont(10);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}
} // namespace

TAboutBox::TAboutBox(QWidget* parent) : TagDialog(CloseBox::Present, parent), ui(std::make_unique<Ui::TAboutBox>()) {
    ui->setupUi(this);
    OKButton = ui->OKButton;
    setFixedSize(324, 234);
    // Pixel sizes as laid out, whatever the screen's font size.
    setFont(gothicPixels(13, false));
    ui->ProductName->setFont(gothicPixels(15, true));
    ui->Version->setFont(gothicPixels(13, true));
    ui->Comments->setFont(gothicPixels(13, true));
    QPalette navy = ui->Comments->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    ui->Comments->setPalette(navy);
    for (QLabel* label : {ui->ProductName, ui->Version}) {
        QPalette black = label->palette();
        black.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(black);
    }
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::activated() {
    OKButton->setFocus();
    const QScreen* display = screen() ? screen() : QGuiApplication::primaryScreen();
    if (display) move(display->geometry().center() - rect().center());
}

void TAboutBox::OKButtonClick() { done(QDialog::Accepted); }

} // namespace vela
