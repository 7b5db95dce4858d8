#include "TForm17.h"

#include "Cp932Edit.h"
#include "DialogLook.h"
#include "ui_TForm17.h"

namespace vela {

TForm17::TForm17(std::string& TextAreaTagText, QWidget* parent)
    : TagDialog(CloseBox::None, parent), ui_(std::make_unique<Ui::TForm17>()), TextAreaTagText_(TextAreaTagText) {
    ui_->setupUi(this);
    setPixelFontSize(*this, 12);
    for (QLineEdit* edit : {ui_->Edit1, ui_->Edit2, ui_->Edit3}) enterAsCp932(*edit);
    setCancelButton(ui_->Button2);
    connect(ui_->Button1, &QPushButton::clicked, this, &TForm17::Button1Click);
    connect(ui_->Button2, &QPushButton::clicked, this, &TForm17::Button2Click);
}

TForm17::~TForm17() = default;

void TForm17::Button1Click() {
    // Only the name is quoted; the row and column counts go in bare.
    TextAreaTagText_ = "<TEXTAREA NAME=\"" + cp932TextOf(*ui_->Edit1) + "\" ROWS=" + cp932TextOf(*ui_->Edit2) +
                       " COLS=" + cp932TextOf(*ui_->Edit3) + ">";
    done(Accepted);
}

void TForm17::Button2Click() {
    TextAreaTagText_.clear();
    done(Rejected);
}

} // namespace vela
