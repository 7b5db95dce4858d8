#include "TForm14.h"

#include "Cp932.h"
#include "DialogLook.h"
#include "ui_TForm14.h"

#include <QValidator>

namespace vela {

namespace {
// Keeps characters that code page 932 cannot hold out of the number box, so
// what the user sees is what goes into the document.
class Cp932Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (char32_t c : input.toStdU32String())
            if (!cp932::canEncode(c)) return Invalid;
        return Acceptable;
    }
};
} // namespace

TForm14::TForm14(std::string& OrderedListText, QWidget* parent)
    : TagDialog(CloseBox::None, parent), ui(std::make_unique<Ui::TForm14>()), OrderedListText(OrderedListText) {
    ui->setupUi(this);
    setPixelFontSize(*this, 12);
    setFixedSize(size());
    setCancelButton(ui->Button1);
    ui->Edit1->setValidator(new Cp932Validator(ui->Edit1));

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
        OrderedListText = "START=" + cp932::encode(ui->Edit1->text().toStdU16String()).bytes;
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
