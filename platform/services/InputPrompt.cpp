#include "InputPrompt.h"

#include "Cp932.h"
#include "JapaneseUi.h"
#include "PageEncoding.h"
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

namespace {
std::function<void(const std::string&)>& validatorNotice() {
    static std::function<void(const std::string&)> handler;
    return handler;
}
} // namespace

void Cp932Validator::setNoticeHandler(std::function<void(const std::string&)> handler) {
    validatorNotice() = std::move(handler);
}

QValidator::State Cp932Validator::validate(QString& input, int& pos) const {
    // Before and after the cursor apart, so the cursor stays after what was typed.
    std::u16string before = input.left(pos).toStdU16String();
    std::u16string after = input.mid(pos).toStdU16String();
    const std::size_t folded = cp932::foldJisVariants(before) + cp932::foldJisVariants(after);
    const std::size_t referenced = cp932::referenceUnencodable(before) + cp932::referenceUnencodable(after);
    if (folded + referenced == 0) return Acceptable;
    const auto* edit = qobject_cast<const QLineEdit*>(parent());
    if (edit && before.size() + after.size() > std::size_t(edit->maxLength())) return Invalid;
    input = QString::fromStdU16String(before + after);
    pos = int(before.size());
    if (referenced > 0 && validatorNotice()) validatorNotice()(encoding::referencesNotice(referenced));
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
    // The validator keeps the text encodable; references stay safe regardless.
    return cp932::encode(edit_->text().toStdU16String(), cp932::Unencodable::Reference).bytes;
}

bool runInputPrompt(Services& services, const std::string& utf8Caption, const std::string& utf8Prompt,
                    std::string& valueCp932) {
    InputPrompt prompt(utf8Caption, utf8Prompt, valueCp932, QApplication::activeWindow());
    if (services.showModal(prompt) != QDialog::Accepted) return false;
    valueCp932 = prompt.valueCp932();
    return true;
}

} // namespace vela
