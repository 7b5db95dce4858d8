#pragma once
// The text and background colour dialog of the BODY tag. It owns the two
// swatches (colour and whether it is specified) and the active page, which
// stay as the user left them for the whole run.

#include "TagDialog.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Ui {
class TTabbedNotebookDlg;
}

namespace vela {

class TTabbedNotebookDlg : public TagDialog {
    Q_OBJECT
public:
    /// OK writes the TEXT and BGCOLOR attributes (each with its leading blank,
    /// TEXT first, only for specified swatches) into BodyColorText; Cancel
    /// empties it; the close box leaves it alone.
    explicit TTabbedNotebookDlg(std::string& BodyColorText, QWidget* parent = nullptr);
    ~TTabbedNotebookDlg() override;

private:
    void PaletteClick(std::uint32_t colour); // Panel3Click … Panel18Click: a palette panel
    void Panel19Click();                     // "指定しない": the active page's colour is not specified
    void OKBtnClick();                       // OK of the body colour dialog
    void CancelBtnClick();                   // Cancel of the body colour dialog

    bool textPageActive() const;

    std::unique_ptr<Ui::TTabbedNotebookDlg> ui;
    std::string& BodyColorText;
    std::uint32_t textColour_;
    std::uint32_t backgroundColour_;
};

} // namespace vela
