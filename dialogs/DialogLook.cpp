#include "DialogLook.h"

#include <QPushButton>

namespace vela {

void setPixelFontSize(QWidget& widget, int pixels) {
    QFont font = widget.font();
    font.setPixelSize(pixels);
    widget.setFont(font);
}

void useStandardButton(QPushButton& button, QDialogButtonBox::StandardButton which) {
    // The button box knows the translated caption and whether the style
    // shows glyphs on dialog buttons.
    QDialogButtonBox box;
    QPushButton* standard = box.addButton(which);
    button.setText(standard->text());
    button.setIcon(standard->icon());
}

} // namespace vela
