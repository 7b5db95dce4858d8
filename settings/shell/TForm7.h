#pragma once
// The splash window: a borderless yellow window around the product picture.
// Owns Timer1, which ticks every 5000 ms from creation and closes the window
// at each tick; a tick while the window is hidden has no effect.

#include "TagDialog.h"

#include <memory>

class QLabel;
class QTimer;

namespace Ui {
class TForm7;
}

namespace vela {

class TForm7 : public TagDialog {
    Q_OBJECT
public:
    /// Creates the window hidden and starts its timer.
    explicit TForm7(QWidget* parent = nullptr);
    ~TForm7() override;

    /// Closes the window (ends its modal display) when it is showing.
    void Timer1Timer();

protected:
    void activated() override;

private:
    std::unique_ptr<Ui::TForm7> ui;
    QLabel* Image1 = nullptr; ///< the splash picture, drawn unscaled from its top-left corner
    QTimer* Timer1 = nullptr; ///< 5000 ms splash timer
};

} // namespace vela
