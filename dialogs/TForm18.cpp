#include "TForm18.h"

#include "Cp932Edit.h"
#include "DialogLook.h"
#include "ui_TForm18.h"

namespace vela {

TForm18::TForm18(std::string& SelectButtonText, QWidget* parent)
    : TagDialog(CloseBox::None, parent), ui_(std::make_unique<Ui::TForm18>()), SelectButtonText_(SelectButtonText) {
    ui_->setupUi(this);
    setPixelFontSize(*this, 12);
    for (QLineEdit* edit : {ui_->Edit1, ui_->Edit2}) enterAsCp932(*edit);
    setCancelButton(ui_->Button2);
    connect(ui_->Button1, &QPushButton::clicked, this, &TForm18::Button1Click);
    connect(ui_->Button2, &QPushButton::clicked, this, &TForm18::Button2Click);
}

TForm18::~TForm18() = default;

void TForm18::Button1Click() {
    // Unchecked, the blank before ">" stays: "... VALUE=\"\" >".
    const std::string checkMark = ui_->CheckBox1->isChecked() ? "CHECKED" : "";
    SelectButtonText_ = "NAME=\"" + cp932TextOf(*ui_->Edit1) + "\" VALUE=\"" + cp932TextOf(*ui_->Edit2) + "\" " +
                        checkMark + ">";
    done(Accepted);
}

void TForm18::Button2Click() {
    SelectButtonText_.clear();
    done(Rejected);
}

} // namespace vela
