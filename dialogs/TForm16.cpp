#include "TForm16.h"

#include "Cp932Edit.h"
#include "DialogLook.h"
#include "ui_TForm16.h"

namespace vela {

TForm16::TForm16(std::string& InputFieldTagText, QWidget* parent)
    : TagDialog(CloseBox::None, parent), ui_(std::make_unique<Ui::TForm16>()), InputFieldTagText_(InputFieldTagText) {
    ui_->setupUi(this);
    setPixelFontSize(*this, 12);
    for (QLineEdit* edit : {ui_->Edit1, ui_->Edit2, ui_->Edit3, ui_->Edit4}) enterAsCp932(*edit);
    setCancelButton(ui_->Button2);
    connect(ui_->Button1, &QPushButton::clicked, this, &TForm16::Button1Click);
    connect(ui_->Button2, &QPushButton::clicked, this, &TForm16::Button2Click);
}

TForm16::~TForm16() = default;

void TForm16::Button1Click() {
    // The attribute order is fixed and differs from the order of the boxes.
    const std::string type = ui_->CheckBox1->isChecked() ? "PASSWORD" : "TEXT";
    InputFieldTagText_ = "<INPUT TYPE=\"" + type + "\" SIZE=\"" + cp932TextOf(*ui_->Edit3) + "\" VALUE=\"" +
                         cp932TextOf(*ui_->Edit2) + "\" NAME=\"" + cp932TextOf(*ui_->Edit1) + "\" MAXLENGTH=\"" +
                         cp932TextOf(*ui_->Edit4) + "\">";
    done(Accepted);
}

void TForm16::Button2Click() {
    InputFieldTagText_.clear();
    done(Rejected);
}

} // namespace vela
