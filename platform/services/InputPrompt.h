#pragma once
// The one-line input prompt: caption, a label with the prompt text, one edit
// field and OK / ｷｬﾝｾﾙ, laid out in dialog units of the Japanese UI font.

#include <QDialog>
#include <QValidator>

#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vela {

class Services;

/// Writes each character code page 932 cannot hold as an HTML numeric
/// character reference ("&#xE9;") as it enters the box, so what the user types
/// always converts to the document's bytes and nothing is lost. An edit the
/// references would take past the box's maximum length is refused whole.
/// The JIS code points other programs use (U+301C 〜, ...) enter as the
/// characters CP932 holds them as (cp932::foldJisVariants).
class Cp932Validator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;

    /// Told (UTF-8 message) how many characters a box wrote as references;
    /// the main window says it in its status bar. One for the program: the
    /// boxes live in modal windows that know nothing of the main window.
    static void setNoticeHandler(std::function<void(const std::string& message)> handler);
};

/// The prompt window. Widgets are found by objectName: "Label", "Edit",
/// "OkButton", "CancelButton". Only OK accepts it.
class InputPrompt : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxLength = 255;

    /// `presetCp932` opens in the edit field, all of it selected.
    InputPrompt(const std::string& utf8Caption, const std::string& utf8Prompt, const std::string& presetCp932,
                QWidget* parent = nullptr);

    /// The edit field's text as CP932 bytes.
    std::string valueCp932() const;

    /// One dialog unit in pixels of `font`: x = average char width / 4, y = height / 8.
    static QPoint dialogUnitsToPixels(const QFont& font, int x, int y);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* label_;
    QLineEdit* edit_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

/// Shows the prompt through `services.showModal` (so tests drive the real
/// window) and, only when OK closed it, stores the answer in `valueCp932`.
bool runInputPrompt(Services& services, const std::string& utf8Caption, const std::string& utf8Prompt,
                    std::string& valueCp932);

} // namespace vela
