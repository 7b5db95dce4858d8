#pragma once
// The frame dialog: composes one FRAME tag from a window name, a source URL,
// the scroll bar choice and the resizing choice. The two boxes are emptied at
// every opening; the choices stay as the user left them. Its timer polls the
// URL box for the whole run, shown or hidden, and enables OK by it.

#include "TagDialog.h"

#include <QTimer>

#include <memory>
#include <string>

namespace Ui {
class TForm13;
}

namespace vela {

class TForm13 : public TagDialog {
    Q_OBJECT
public:
    /// `FrameTagText` (CP932) receives the whole FRAME tag on OK and is emptied on Cancel.
    /// The 1000 ms poll starts here.
    explicit TForm13(std::string& FrameTagText, QWidget* parent = nullptr);
    ~TForm13() override;

protected:
    void activated() override { ACTV(); }

private:
    void ACTV();         ///< activation of the frame dialog: empties both boxes, focus to the name
    void Timer1Timer();  ///< poll of the URL box: OK only with a URL
    void Button1Click(); ///< OK of the frame dialog
    void Button2Click(); ///< Cancel of the frame dialog

    std::unique_ptr<Ui::TForm13> ui_;
    std::string& FrameTagText_;
    QTimer Timer1; ///< 1000 ms poll of the URL box
};

} // namespace vela
