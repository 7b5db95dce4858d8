#pragma once
// The screen split dialog: its check boxes, up-down, scroll bar and the
// percentages in its labels stay as the user left them for the whole run; OK
// composes the COLS and ROWS attributes of a FRAMESET tag from the labels.

#include "TagDialog.h"
#include "UpDown.h"

#include <memory>
#include <string>

namespace Ui {
class TForm12;
}

namespace vela {

class TForm12 : public TagDialog {
    Q_OBJECT
public:
    /// On OK each receives its attribute, or empty for a group left unticked;
    /// Cancel writes the marker "C" to `FrameColsText` and empties `FrameRowsText`.
    TForm12(std::string& FrameColsText, std::string& FrameRowsText, QWidget* parent = nullptr);
    ~TForm12() override;

private:
    void CheckBox1Click();                    ///< "縦　割　り": enables the upper/lower group
    void CheckBox2Click();                    ///< "横　割　り": enables the left/right group
    void UpDown1Click(UpDown::Button button); ///< up-down of the upper/lower split
    void ScrollBar1Change();                  ///< scroll bar of the left/right split
    void Button1Click();                      ///< OK of the screen split dialog
    void Button2Click();                      ///< Cancel of the screen split dialog

    std::unique_ptr<Ui::TForm12> ui_;
    std::string& FrameColsText_;
    std::string& FrameRowsText_;
};

} // namespace vela
