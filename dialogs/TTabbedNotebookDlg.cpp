#include "TTabbedNotebookDlg.h"

#include "ColourPalette.h"
#include "DialogLook.h"
#include "ui_TTabbedNotebookDlg.h"

namespace vela {

TTabbedNotebookDlg::TTabbedNotebookDlg(std::string& BodyColorText, QWidget* parent)
    : TagDialog(CloseBox::Present, parent), ui(std::make_unique<Ui::TTabbedNotebookDlg>()),
      BodyColorText(BodyColorText), textColour_(palette::black), backgroundColour_(palette::white) {
    ui->setupUi(this);
    setPixelFontSize(*this, 13);
    setFixedSize(size());
    useStandardButton(*ui->OKBtn, QDialogButtonBox::Ok);
    useStandardButton(*ui->CancelBtn, QDialogButtonBox::Cancel);
    setCancelButton(ui->CancelBtn);

    palette::wirePalettePanels(*this, [this](std::uint32_t colour) { PaletteClick(colour); });
    palette::paintPanel(*ui->Panel19, palette::white);
    palette::paintPanel(*ui->Panel2, textColour_);
    palette::paintPanel(*ui->Panel1, backgroundColour_);

    connect(ui->Panel19, &ClickPanel::clicked, this, &TTabbedNotebookDlg::Panel19Click);
    connect(ui->OKBtn, &QPushButton::clicked, this, &TTabbedNotebookDlg::OKBtnClick);
    connect(ui->CancelBtn, &QPushButton::clicked, this, &TTabbedNotebookDlg::CancelBtnClick);
}

TTabbedNotebookDlg::~TTabbedNotebookDlg() = default;

bool TTabbedNotebookDlg::textPageActive() const {
    return ui->TabbedNotebook1->currentWidget() == ui->textColourPage;
}

void TTabbedNotebookDlg::PaletteClick(std::uint32_t colour) {
    // Only the active page's swatch changes; a hidden one is shown again.
    QFrame* swatch = textPageActive() ? ui->Panel2 : ui->Panel1;
    (textPageActive() ? textColour_ : backgroundColour_) = colour;
    palette::paintPanel(*swatch, colour);
    swatch->show();
}

void TTabbedNotebookDlg::Panel19Click() {
    // The colour stays; the next palette click overwrites it.
    (textPageActive() ? ui->Panel2 : ui->Panel1)->hide();
}

void TTabbedNotebookDlg::OKBtnClick() {
    std::string text;
    if (!ui->Panel2->isHidden()) text += palette::colourAttribute("TEXT", textColour_);
    if (!ui->Panel1->isHidden()) text += palette::colourAttribute("BGCOLOR", backgroundColour_);
    BodyColorText = text;
    accept();
}

void TTabbedNotebookDlg::CancelBtnClick() {
    BodyColorText.clear();
    done(Rejected);
}

} // namespace vela
