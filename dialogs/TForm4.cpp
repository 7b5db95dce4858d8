#include "TForm4.h"

#include "DialogLook.h"
#include "ui_TForm4.h"

namespace vela {

TForm4::TForm4(std::string& FontSizeOpenText, std::string& FontSizeCloseText, QWidget* parent)
    : TagDialog(CloseBox::Present, parent), ui(std::make_unique<Ui::TForm4>()), FontSizeOpenText(FontSizeOpenText),
      FontSizeCloseText(FontSizeCloseText) {
    ui->setupUi(this);
    setPixelFontSize(*this, 13);
    setFixedSize(size());
    setCancelButton(ui->Button2);

    connect(ui->TrackBar1, &QSlider::valueChanged, this, &TForm4::TrackBar1Change);
    connect(ui->Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TForm4::Button2Click);
    FormCreate();
}

TForm4::~TForm4() = default;

void TForm4::FormCreate() { TrackBar1Change(); }

void TForm4::TrackBar1Change() {
    // The number runs against the slider: the left end is the largest size.
    ui->Label3->setText(QStringLiteral("SIZE=%1").arg(8 - ui->TrackBar1->value()));
}

void TForm4::Button1Click() {
    // Built from the label, so OK composes exactly what the user sees.
    FontSizeOpenText = "<FONT " + ui->Label3->text().toStdString() + ">";
    FontSizeCloseText = "</FONT>";
    accept();
}

void TForm4::Button2Click() {
    FontSizeOpenText.clear();
    done(Rejected);
}

} // namespace vela
