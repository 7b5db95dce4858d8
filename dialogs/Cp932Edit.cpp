#include "Cp932Edit.h"

#include "Cp932.h"

#include <QLineEdit>

namespace vela {

QValidator::State Cp932Validator::validate(QString& input, int&) const {
    // toUcs4 turns a lone surrogate into U+FFFD, which CP932 cannot hold either.
    for (char32_t codePoint : input.toUcs4())
        if (!cp932::canEncode(codePoint)) return Invalid;
    return Acceptable;
}

void acceptOnlyCp932(QLineEdit& edit) { edit.setValidator(new Cp932Validator(&edit)); }

std::string cp932TextOf(const QLineEdit& edit) { return cp932::fromUtf8(edit.text().toStdString()); }

void setFontPixelSize(QWidget& dialog, int pixels) {
    QFont font = dialog.font();
    font.setPixelSize(pixels);
    dialog.setFont(font);
}

} // namespace vela
