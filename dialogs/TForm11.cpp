#include "TForm11.h"

#include "ColourPalette.h"
#include "DialogLook.h"
#include "ui_TForm11.h"

namespace vela {

TForm11::TForm11(std::string& FontColorText, QWidget* parent)
    : TagDialog(CloseBox::None, parent), ui(std::make_unique<Ui::TForm11>()), FontColorText(FontColorText),
      colour_(palette::black) {
    ui->setupUi(this);
    setPixelFontSize(*this, 12);
    setFixedSize(size());
    useStandardButton(*ui->OKBtn, QDialogButtonBox::Ok);
    useStandardButton(*ui->CancelBtn, QDialogButtonBox::Cancel);
    setCancelButton(ui->CancelBtn);

    palette::wirePalettePanels(*this, [this](std::uint32_t colour) { PaletteClick(colour); });
    palette::paintPanel(*ui->Panel2, colour_);

    connect(ui->OKBtn, &QPushButton::clicked, this, &TForm11::OKBtnClick);
    connect(ui->CancelBtn, &QPushButton::clicked, this, &TForm11::CancelBtnClick);
}

TForm11::~TForm11() = default;

void TForm11::PaletteClick(std::uint32_t colour) {
    colour_ = colour;
    palette::paintPanel(*ui->Panel2, colour);
}

void TForm11::OKBtnClick() {
    FontColorText = palette::colourAttribute("COLOR", colour_);
    accept();
}

void TForm11::CancelBtnClick() {
    FontColorText.clear();
    done(Rejected);
}

} // namespace vela
