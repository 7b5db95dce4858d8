#include "TForm10.h"

#include "DialogLook.h"
#include "ui_TForm10.h"

namespace vela {

TForm10::TForm10(EditorState& state, QWidget* parent)
    : TagDialog(CloseBox::Present, parent), ui(std::make_unique<Ui::TForm10>()), m_state(state) {
    ui->setupUi(this);
    setPixelFontSize(*this, 12);
    setFixedSize(size());
    setCancelButton(ui->Button2);

    connect(ui->Button1, &QPushButton::clicked, this, &TForm10::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TForm10::Button2Click);
}

TForm10::~TForm10() = default;

void TForm10::FORMACTITATE() {
    ui->CheckBox1->setChecked(m_state.LineBreakAfterTag == 1);
    ui->CheckBox2->setChecked(m_state.AutoRefreshOnImport == 1);
    ui->CheckBox3->setChecked(m_state.ImageFileNameOnly == 1);
}

void TForm10::Button1Click() {
    m_state.LineBreakAfterTag = ui->CheckBox1->isChecked() ? 1 : 0;
    m_state.ReselectAfterTag = 1;
    m_state.AutoRefreshOnImport = ui->CheckBox2->isChecked() ? 1 : 0;
    m_state.ImageFileNameOnly = ui->CheckBox3->isChecked() ? 1 : 0;
    accept();
}

void TForm10::Button2Click() { done(Rejected); }

} // namespace vela
