#include "TForm13.h"

#include "Cp932Edit.h"
#include "DialogLook.h"
#include "ui_TForm13.h"

namespace vela {

TForm13::TForm13(std::string& FrameTagText, QWidget* parent)
    : TagDialog(CloseBox::None, parent), ui_(std::make_unique<Ui::TForm13>()), FrameTagText_(FrameTagText) {
    ui_->setupUi(this);
    setPixelFontSize(*this, 12);
    for (QLineEdit* edit : {ui_->Edit1, ui_->Edit2}) enterAsCp932(*edit);
    setCancelButton(ui_->Button2);
    connect(ui_->Button1, &QPushButton::clicked, this, &TForm13::Button1Click);
    connect(ui_->Button2, &QPushButton::clicked, this, &TForm13::Button2Click);
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &TForm13::Timer1Timer);
    Timer1.start();
}

TForm13::~TForm13() = default;

void TForm13::ACTV() {
    ui_->Edit1->clear();
    ui_->Edit2->clear();
    ui_->Edit1->setFocus();
}

void TForm13::Timer1Timer() { ui_->Button1->setEnabled(!ui_->Edit2->text().isEmpty()); }

void TForm13::Button1Click() {
    std::string tag = "<FRAME SRC=\"" + cp932TextOf(*ui_->Edit2) + "\"";
    if (!ui_->Edit1->text().isEmpty()) tag += " NAME=\"" + cp932TextOf(*ui_->Edit1) + "\"";
    if (ui_->RadioButton1->isChecked())
        tag += " SCROLLING=\"YES\"";
    else if (ui_->RadioButton3->isChecked())
        tag += " SCROLLING=\"NO\"";
    else
        tag += " SCROLLING=\"AUTO\"";
    tag += ui_->CheckBox1->isChecked() ? " NORESIZE" : " RESIZE";
    FrameTagText_ = tag + ">";
    done(Accepted);
}

void TForm13::Button2Click() {
    FrameTagText_.clear();
    done(Rejected);
}

} // namespace vela
