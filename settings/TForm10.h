#pragma once
// The preferences dialog: three check boxes over the preference switches. It
// moves values between the boxes and EditorState only; writing the settings
// file is the preferences command's job.

#include "EditorState.h"
#include "TagDialog.h"

#include <memory>

namespace Ui {
class TForm10;
}

namespace vela {

class TForm10 : public TagDialog {
    Q_OBJECT
public:
    /// On each showing the boxes reflect the switches that are exactly 1;
    /// OK writes them back (and sets ReselectAfterTag to 1); Cancel, Esc and
    /// the close box change nothing.
    explicit TForm10(EditorState& state, QWidget* parent = nullptr);
    ~TForm10() override;

protected:
    void activated() override { FORMACTITATE(); }

private:
    void FORMACTITATE(); // activation of the preferences dialog
    void Button1Click(); // OK of the preferences dialog
    void Button2Click(); // Cancel of the preferences dialog

    std::unique_ptr<Ui::TForm10> ui;
    EditorState& m_state;
};

} // namespace vela
