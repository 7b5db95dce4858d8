#pragma once
// The font size dialog: a slider from "大きい" (SIZE=7) to "小さい" (SIZE=1)
// and the live preview of the size text. The slider keeps its position for
// the whole run.

#include "TagDialog.h"

#include <memory>
#include <string>

namespace Ui {
class TForm4;
}

namespace vela {

class TForm4 : public TagDialog {
    Q_OBJECT
public:
    /// OK writes "<FONT SIZE=n>" into FontSizeOpenText and "</FONT>" into
    /// FontSizeCloseText; Cancel empties only FontSizeOpenText; the close box
    /// writes nothing.
    TForm4(std::string& FontSizeOpenText, std::string& FontSizeCloseText, QWidget* parent = nullptr);
    ~TForm4() override;

private:
    void FormCreate();      // shows the start position's size text
    void TrackBar1Change(); // the size slider moved: new preview text
    void Button1Click();    // OK of the font size dialog
    void Button2Click();    // Cancel of the font size dialog

    std::unique_ptr<Ui::TForm4> ui;
    std::string& FontSizeOpenText;
    std::string& FontSizeCloseText;
};

} // namespace vela
