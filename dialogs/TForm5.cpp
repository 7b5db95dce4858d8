#include "TForm5.h"

#include "DialogLook.h"
#include "ui_TForm5.h"

namespace vela {

TForm5::TForm5(std::string& OpenText, std::string& CloseText, QWidget* parent)
    : TagDialog(CloseBox::Present, parent), ui(std::make_unique<Ui::TForm5>()), OpenText(OpenText),
      CloseText(CloseText) {
    ui->setupUi(this);
    setPixelFontSize(*this, 13);
    setFixedSize(size());
    setCancelButton(ui->Button2);

    connect(ui->TrackBar1, &QSlider::valueChanged, this, &TForm5::TrackBar1Change);
    connect(ui->Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TForm5::Button2Click);
    FormCreate();
}

TForm5::~TForm5() = default;

void TForm5::FormCreate() { TrackBar1Change(); }

void TForm5::TrackBar1Change() { ui->Label2->setText(QStringLiteral("H%1").arg(ui->TrackBar1->value())); }

void TForm5::Button1Click() {
    // Built from the label, so OK composes exactly what the user sees.
    std::string level = ui->Label2->text().toStdString();
    OpenText = "<" + level + ">";
    CloseText = "</" + level + ">";
    accept();
}

void TForm5::Button2Click() {
    OpenText.clear();
    done(Rejected);
}

} // namespace vela
