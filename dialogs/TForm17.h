#pragma once
// The multi-line text field dialog: its boxes are the user's working values
// for the whole run, and OK composes them into an opening TEXTAREA tag.

#include "TagDialog.h"

#include <memory>
#include <string>

namespace Ui {
class TForm17;
}

namespace vela {

class TForm17 : public TagDialog {
    Q_OBJECT
public:
    /// `TextAreaTagText` (CP932) receives the opening TEXTAREA tag on OK and is emptied on Cancel.
    explicit TForm17(std::string& TextAreaTagText, QWidget* parent = nullptr);
    ~TForm17() override;

private:
    void Button1Click(); ///< OK of the multi-line field dialog
    void Button2Click(); ///< Cancel of the multi-line field dialog

    std::unique_ptr<Ui::TForm17> ui_;
    std::string& TextAreaTagText_;
};

} // namespace vela
