#pragma once
// Small pieces of the dialogs' look that .ui files cannot hold: fonts sized
// in pixels, and the toolkit's own OK and Cancel buttons.

#include <QDialogButtonBox>

class QPushButton;
class QWidget;

namespace vela {

/// Sets the widget's font size in pixels; children without a size of their
/// own follow it.
void setPixelFontSize(QWidget& widget, int pixels);

/// Gives a push button the caption and glyph of the toolkit's standard button.
void useStandardButton(QPushButton& button, QDialogButtonBox::StandardButton which);

} // namespace vela
