#pragma once
// Base of every modal dialog of the editor: the close rules in one place.
// A dialog without a close box ignores Alt+F4 and the window manager's close;
// Esc presses its cancelling button, and so does the close box where there is
// one: a user who dismisses a dialog expects nothing to be inserted, not the
// previous command's tag again.

#include <QDialog>

class QAbstractButton;

namespace vela {

class TagDialog : public QDialog {
    Q_OBJECT
public:
    enum class CloseBox { None, Present };
    explicit TagDialog(CloseBox closeBox, QWidget* parent = nullptr);

protected:
    /// The button Esc presses (Cancel, キャンセル). Without one, Esc closes
    /// a dialog that has a close box and does nothing in one that has none.
    void setCancelButton(QAbstractButton* button);
    /// The activation handler: runs each time the dialog is shown.
    virtual void activated() {}

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    CloseBox closeBox_;
    QAbstractButton* cancelButton_ = nullptr;
};

} // namespace vela
