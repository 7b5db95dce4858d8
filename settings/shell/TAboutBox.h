#pragma once
// The About box: product name, version, credits, the logo and the program
// icon, all fixed. Lives for the run and shows the same content every time.

#include "TagDialog.h"

#include <memory>

class QPushButton;

namespace Ui {
class TAboutBox;
}

namespace vela {

class TAboutBox : public TagDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    ~TAboutBox() override;

    /// OK of the About box: closes it.
    void OKButtonClick();

protected:
    void activated() override;

private:
    std::unique_ptr<Ui::TAboutBox> ui;
    QPushButton* OKButton = nullptr; ///< OK of the About box
};

} // namespace vela
