#include "TForm9.h"

#include "DialogLook.h"
#include "ui_TForm9.h"

namespace vela {

TForm9::TForm9(std::string& MarqueeBehaviorText, std::string& MarqueeDirectionText, QWidget* parent)
    : TagDialog(CloseBox::Present, parent), ui(std::make_unique<Ui::TForm9>()),
      MarqueeBehaviorText(MarqueeBehaviorText), MarqueeDirectionText(MarqueeDirectionText) {
    ui->setupUi(this);
    setPixelFontSize(*this, 12);
    setFixedSize(size());
    setCancelButton(ui->Button2);

    connect(ui->Button1, &QPushButton::clicked, this, &TForm9::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TForm9::Button2Click);
}

TForm9::~TForm9() = default;

void TForm9::Button1Click() {
    if (ui->RadioButton2->isChecked())
        MarqueeBehaviorText = "ALTERNATE";
    else if (ui->RadioButton3->isChecked())
        MarqueeBehaviorText = "SLIDE";
    else
        MarqueeBehaviorText = "SCROLL";
    MarqueeDirectionText = ui->RadioButton5->isChecked() ? "RIGHT" : "LEFT";
    accept();
}

void TForm9::Button2Click() {
    MarqueeBehaviorText.clear();
    done(Rejected);
}

} // namespace vela
