#pragma once
// The ordered-list range dialog: the first number (from 1, a given number,
// or continuing the previous list) and the numbering style of an OL. Its
// choices and number text stay as the user left them for the whole run.

#include "TagDialog.h"

#include <memory>
#include <string>

namespace Ui {
class TForm14;
}

namespace vela {

class TForm14 : public TagDialog {
    Q_OBJECT
public:
    /// OK writes a start part and a type part into OrderedListText, e.g.
    /// "START=1 TYPE=1" or "CONTINUE TYPE=a"; Cancel empties it.
    explicit TForm14(std::string& OrderedListText, QWidget* parent = nullptr);
    ~TForm14() override;

private:
    void RadioButton1Click(); // "1から": the number box is not needed
    void RadioButton2Click(); // "番号を指定する": type the first number
    void RadioButton3Click(); // "直前の番号順リストの続き": the number box is not needed
    void Button2Click();      // OK of the ordered-list dialog
    void Button1Click();      // Cancel of the ordered-list dialog

    std::unique_ptr<Ui::TForm14> ui;
    std::string& OrderedListText;
};

} // namespace vela
