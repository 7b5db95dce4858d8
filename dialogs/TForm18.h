#pragma once
// The selection button dialog, shared by the radio button and check box
// commands: its boxes are the user's working values for the whole run, and OK
// composes the attribute tail of the INPUT tag whose start the command adds.

#include "TagDialog.h"

#include <memory>
#include <string>

namespace Ui {
class TForm18;
}

namespace vela {

class TForm18 : public TagDialog {
    Q_OBJECT
public:
    /// `SelectButtonText` (CP932) receives the attributes and the closing ">"
    /// on OK and is emptied on Cancel.
    explicit TForm18(std::string& SelectButtonText, QWidget* parent = nullptr);
    ~TForm18() override;

private:
    void Button1Click(); ///< OK of the selection button dialog
    void Button2Click(); ///< Cancel of the selection button dialog

    std::unique_ptr<Ui::TForm18> ui_;
    std::string& SelectButtonText_;
};

} // namespace vela
