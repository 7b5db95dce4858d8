#include "TagDialog.h"

#include <QAbstractButton>
#include <QCloseEvent>

namespace vela {

TagDialog::TagDialog(CloseBox closeBox, QWidget* parent) : QDialog(parent), closeBox_(closeBox) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (closeBox_ == CloseBox::Present) flags |= Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    setModal(true);
}

void TagDialog::setCancelButton(QAbstractButton* button) { cancelButton_ = button; }

void TagDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) activated();
}

void TagDialog::closeEvent(QCloseEvent* event) {
    // done() hides the dialog without a close event; a close event therefore
    // always comes from the close box, Alt+F4 or the window manager.
    event->ignore();
    if (closeBox_ == CloseBox::Present) reject();
}

void TagDialog::reject() {
    // QDialog routes Esc and the close box here.
    if (cancelButton_) {
        if (cancelButton_->isEnabled()) cancelButton_->click();
        return;
    }
    if (closeBox_ == CloseBox::Present) QDialog::reject();
}

} // namespace vela
