#include "TForm12.h"

#include "Cp932.h"
#include "Cp932Edit.h"
#include "DialogLook.h"
#include "ui_TForm12.h"

#include <QCheckBox>
#include <QScrollBar>

namespace vela {

namespace {
constexpr int kPercentStep = 5;
}

TForm12::TForm12(std::string& FrameColsText, std::string& FrameRowsText, QWidget* parent)
    : TagDialog(CloseBox::None, parent), ui_(std::make_unique<Ui::TForm12>()), FrameColsText_(FrameColsText),
      FrameRowsText_(FrameRowsText) {
    ui_->setupUi(this);
    setPixelFontSize(*this, 12);
    setCancelButton(ui_->Button2);
    connect(ui_->CheckBox1, &QCheckBox::toggled, this, &TForm12::CheckBox1Click);
    connect(ui_->CheckBox2, &QCheckBox::toggled, this, &TForm12::CheckBox2Click);
    connect(ui_->UpDown1, &UpDown::clicked, this, &TForm12::UpDown1Click);
    connect(ui_->ScrollBar1, &QScrollBar::valueChanged, this, &TForm12::ScrollBar1Change);
    connect(ui_->Button1, &QPushButton::clicked, this, &TForm12::Button1Click);
    connect(ui_->Button2, &QPushButton::clicked, this, &TForm12::Button2Click);
}

TForm12::~TForm12() = default;

void TForm12::CheckBox1Click() {
    const bool on = ui_->CheckBox1->isChecked();
    for (QWidget* control : {static_cast<QWidget*>(ui_->UpDown1), static_cast<QWidget*>(ui_->Label2),
                             static_cast<QWidget*>(ui_->Label5)})
        control->setEnabled(on);
}

void TForm12::CheckBox2Click() {
    const bool on = ui_->CheckBox2->isChecked();
    for (QWidget* control : {static_cast<QWidget*>(ui_->ScrollBar1), static_cast<QWidget*>(ui_->Label8),
                             static_cast<QWidget*>(ui_->Label11)})
        control->setEnabled(on);
}

void TForm12::UpDown1Click(UpDown::Button) {
    const int position = ui_->UpDown1->position();
    ui_->Label2->setNum(position);
    ui_->Label5->setNum(100 - position);
}

void TForm12::ScrollBar1Change() {
    // Dragging or the wheel could stop between steps; the percentages stay multiples of 5.
    const int position = ui_->ScrollBar1->value();
    const int offset = position - ui_->ScrollBar1->minimum();
    const int snapped = ui_->ScrollBar1->minimum() + (offset + kPercentStep / 2) / kPercentStep * kPercentStep;
    if (snapped != position) {
        ui_->ScrollBar1->setValue(snapped);
        return;
    }
    // The scroll bar's own value belongs to the right-hand label.
    ui_->Label11->setNum(position);
    ui_->Label8->setNum(100 - position);
}

void TForm12::Button1Click() {
    FrameColsText_.clear();
    FrameRowsText_.clear();
    if (ui_->CheckBox1->isChecked())
        FrameColsText_ = cp932::fromUtf8(
            QStringLiteral("COLS=\"%1%,%2%\"").arg(ui_->Label2->text(), ui_->Label5->text()).toStdString());
    if (ui_->CheckBox2->isChecked())
        FrameRowsText_ = cp932::fromUtf8(
            QStringLiteral("ROWS=\"%1%,%2%\"").arg(ui_->Label8->text(), ui_->Label11->text()).toStdString());
    done(Accepted);
}

void TForm12::Button2Click() {
    // An empty FrameColsText is a valid OK result, so Cancel needs a marker of its own.
    FrameColsText_.assign(1, 'C'); // not = "C": GCC 12 warns falsely there (-Wrestrict)
    FrameRowsText_.clear();
    done(Rejected);
}

} // namespace vela
