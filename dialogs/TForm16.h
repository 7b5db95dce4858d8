#pragma once
// The one-line text field dialog: its boxes are the user's working values for
// the whole run, and OK composes them into a whole INPUT tag.

#include "TagDialog.h"

#include <memory>
#include <string>

namespace Ui {
class TForm16;
}

namespace vela {

class TForm16 : public TagDialog {
    Q_OBJECT
public:
    /// `InputFieldTagText` (CP932) receives the INPUT tag on OK and is emptied on Cancel.
    explicit TForm16(std::string& InputFieldTagText, QWidget* parent = nullptr);
    ~TForm16() override;

private:
    void Button1Click(); ///< OK of the text field dialog
    void Button2Click(); ///< Cancel of the text field dialog

    std::unique_ptr<Ui::TForm16> ui_;
    std::string& InputFieldTagText_;
};

} // namespace vela
