#include "InputPrompt.h"

#include "Cp932.h"
#include "JapaneseUi.h"
#include "Services.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace vela {

QValidator::State Cp932Validator::validate(QString& input, int&) const {
    for (char32_t codePoint : input.toUcs4())
        if (!cp932::canEncode(codePoint)) return Invalid;
    return Acceptable;
}

QPoint InputPrompt::dialogUnitsToPixels(const QFont& font, int x, int y) {
    QFontMetrics metrics(font);
    // Rounded as MulDiv rounds, so sizes match the platform's own conversion.
    auto mulDiv = [](int value, int numerator, int denominator) {
        return (value * numerator * 2 + denominator) / (2 * denominator);
    };
    return {mulDiv(x, metrics.averageCharWidth(), 4), mulDiv(y, metrics.height(), 8)};
}

InputPrompt::InputPrompt(const std::string& utf8Caption, const std::string& utf8Prompt,
                         const std::string& presetCp932, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("InputPrompt"));
    setWindowTitle(QString::fromStdString(utf8Caption));
    setFont(japaneseUiFont(9));
    auto du = [this](int x, int y) { return dialogUnitsToPixels(font(), x, y); };

    label_ = new QLabel(QString::fromStdString(utf8Prompt), this);
    label_->setObjectName(QStringLiteral("Label"));
    label_->move(du(8, 8));
    label_->adjustSize();

    QString preset = QString::fromStdU16String(cp932::decode(presetCp932).text);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("Edit"));
    // A longer preset (e.g. read from the settings file) must not be cut off.
    edit_->setMaxLength(std::max<qsizetype>(kMaxLength, preset.size()));
    edit_->setValidator(new Cp932Validator(edit_));
    edit_->setText(preset);
    edit_->setGeometry(QRect(du(8, 19), QSize(du(164, 0).x(), std::max(du(0, 12).y(), edit_->sizeHint().height()))));

    QSize buttonSize(du(50, 0).x(), du(0, 14).y());
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("OkButton"));
    okButton_->setDefault(true);
    okButton_->setGeometry(QRect(du(38, 41), buttonSize));
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

    cancelButton_ = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancelButton_->setObjectName(QStringLiteral("CancelButton"));
    cancelButton_->setGeometry(QRect(du(92, 41), buttonSize));
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    QPoint client = du(180, 63);
    setFixedSize(client.x(), client.y());
    edit_->selectAll();
    edit_->setFocus();
}

void InputPrompt::showEvent(QShowEvent* event) {
    if (QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        QRect frame = frameGeometry();
        move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
    }
    edit_->setFocus();
    edit_->selectAll();
    QDialog::showEvent(event);
}

std::string InputPrompt::valueCp932() const {
    // The validator keeps the text encodable; encode() stays safe regardless.
    return cp932::encode(edit_->text().toStdU16String()).bytes;
}

bool runInputPrompt(Services& services, const std::string& utf8Caption, const std::string& utf8Prompt,
                    std::string& valueCp932) {
    InputPrompt prompt(utf8Caption, utf8Prompt, valueCp932, QApplication::activeWindow());
    if (services.showModal(prompt) != QDialog::Accepted) return false;
    valueCp932 = prompt.valueCp932();
    return true;
}

} // namespace vela
