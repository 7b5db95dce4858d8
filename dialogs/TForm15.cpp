#include "TForm15.h"

#include "DialogLook.h"
#include "ui_TForm15.h"

// The picture lives in a static library, so its resource is registered by hand.
static void registerDialogPictures() { Q_INIT_RESOURCE(DialogPictures); }

namespace vela {

TForm15::TForm15(std::string& ImageAlignText, QWidget* parent)
    : TagDialog(CloseBox::None, parent), ui(std::make_unique<Ui::TForm15>()), ImageAlignText(ImageAlignText) {
    registerDialogPictures();
    ui->setupUi(this);
    setPixelFontSize(*this, 12);
    setPixelFontSize(*ui->Label1, 15);
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);
    setAutoFillBackground(true);
    setCancelButton(ui->Button3);

    connect(ui->Button2, &QPushButton::clicked, this, &TForm15::Button2Click);
    connect(ui->Button1, &QPushButton::clicked, this, &TForm15::Button1Click);
    connect(ui->Button3, &QPushButton::clicked, this, &TForm15::Button3Click);
}

TForm15::~TForm15() = default;

// The alignment names the image's side, not the text's.
void TForm15::Button2Click() {
    ImageAlignText = " ALIGN=\"RIGHT\"";
    accept();
}

void TForm15::Button1Click() {
    ImageAlignText = " ALIGN=\"LEFT\"";
    accept();
}

void TForm15::Button3Click() {
    ImageAlignText.clear();
    done(Rejected);
}

} // namespace vela
