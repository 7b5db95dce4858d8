#pragma once
// The heading dialog: a slider from "大見出し" (H1) to H6 and the live
// preview of the heading name. The slider keeps its position for the whole run.

#include "TagDialog.h"

#include <memory>
#include <string>

namespace Ui {
class TForm5;
}

namespace vela {

class TForm5 : public TagDialog {
    Q_OBJECT
public:
    /// Writes the pending tag's texts directly: OK sets "<Hn>" and "</Hn>";
    /// Cancel empties only OpenText; the close box writes nothing.
    TForm5(std::string& OpenText, std::string& CloseText, QWidget* parent = nullptr);
    ~TForm5() override;

private:
    void FormCreate();      // shows the start position's heading name
    void TrackBar1Change(); // the heading slider moved: new preview text
    void Button1Click();    // OK of the heading dialog
    void Button2Click();    // Cancel of the heading dialog

    std::unique_ptr<Ui::TForm5> ui;
    std::string& OpenText;
    std::string& CloseText;
};

} // namespace vela
