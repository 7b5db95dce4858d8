#include "TForm14.h"

#include "Cp932Edit.h"
#include "DialogLook.h"
#include "ui_TForm14.h"

namespace vela {

TForm14::TForm14(std::string& OrderedListText, QWidget* parent)
    : TagDialog(CloseBox::None, parent), ui(std::make_unique<Ui::TForm14>()), OrderedListText(OrderedListText) {
    ui->setupUi(this);
    setPixelFontSize(*this, 12);
    setFixedSize(size());
    setCancelButton(ui->Button1);
    enterAsCp932(*ui->Edit1);

    connect(ui->RadioButton1, &QRadioButton::clicked, this, &TForm14::RadioButton1Click);
    connect(ui->RadioButton2, &QRadioButton::clicked, this, &TForm14::RadioButton2Click);
    connect(ui->RadioButton3, &QRadioButton::clicked, this, &TForm14::RadioButton3Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TForm14::Button2Click);
    connect(ui->Button1, &QPushButton::clicked, this, &TForm14::Button1Click);
}

TForm14::~TForm14() = default;

void TForm14::RadioButton1Click() { ui->Edit1->setEnabled(false); }

void TForm14::RadioButton2Click() {
    if (!ui->RadioButton2->isChecked()) return;
    ui->Edit1->setEnabled(true);
    ui->Edit1->setFocus();
}

void TForm14::RadioButton3Click() { ui->Edit1->setEnabled(false); }

void TForm14::Button2Click() {
    // The number goes in as typed: it is not checked and may be empty.
    if (ui->RadioButton2->isChecked())
        OrderedListText = "START=" + cp932TextOf(*ui->Edit1);
    else if (ui->RadioButton3->isChecked())
        OrderedListText = "CONTINUE";
    else
        OrderedListText = "START=1";

    if (ui->RadioButton4->isChecked())
        OrderedListText += " TYPE=A";
    else if (ui->RadioButton5->isChecked())
        OrderedListText += " TYPE=a";
    else if (ui->RadioButton6->isChecked())
        OrderedListText += " TYPE=i";
    else
        OrderedListText += " TYPE=1";
    accept();
}

void TForm14::Button1Click() {
    OrderedListText.clear();
    done(Rejected);
}

} // namespace vela
