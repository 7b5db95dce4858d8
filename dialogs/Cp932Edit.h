#pragma once
// Edit boxes whose text goes into the document: they take only characters
// that code page 932 can hold, and hand their text over as CP932 bytes.

#include <QValidator>

#include <string>

class QLineEdit;

namespace vela {

/// Refuses any input holding a character CP932 cannot hold, so typing,
/// pasting and dropping such a character leave the box unchanged.
class Cp932Validator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

/// Installs a Cp932Validator on the box.
void acceptOnlyCp932(QLineEdit& edit);

/// The box's text as CP932 bytes.
std::string cp932TextOf(const QLineEdit& edit);

/// Gives the dialog its font height in pixels, whatever the screen's dpi.
void setFontPixelSize(QWidget& dialog, int pixels);

} // namespace vela
