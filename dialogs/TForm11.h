#pragma once
// The font colour dialog of the FONT tag. It owns the one swatch, which
// keeps its colour for the whole run.

#include "TagDialog.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Ui {
class TForm11;
}

namespace vela {

class TForm11 : public TagDialog {
    Q_OBJECT
public:
    /// OK writes the COLOR attribute with its leading blank into
    /// FontColorText; Cancel empties it.
    explicit TForm11(std::string& FontColorText, QWidget* parent = nullptr);
    ~TForm11() override;

private:
    void PaletteClick(std::uint32_t colour); // Panel3Click … Panel18Click: a palette panel
    void OKBtnClick();                       // OK of the font colour dialog
    void CancelBtnClick();                   // Cancel of the font colour dialog

    std::unique_ptr<Ui::TForm11> ui;
    std::string& FontColorText;
    std::uint32_t colour_;
};

} // namespace vela
