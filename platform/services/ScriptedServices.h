#pragma once
// The services of the tests: message boxes, prompts and file dialogs answer
// from queues the test fills; modal windows are the real dialogs, shown and
// run as in the program while a queued script acts on them as a user would.
// Calls to the desktop, help and printer are recorded instead of made.

#include "Services.h"

#include <QStringList>

#include <deque>
#include <optional>
#include <vector>

namespace vela {

class ScriptedServices : public Services {
public:
    /// Acts on a shown dialog through vela::user; runs once the dialog is shown.
    using Script = std::function<void(QDialog&)>;

    struct MessageBoxCall {
        std::string caption;
        std::string text;
        MessageButtons buttons;
        MessageIcon icon;
        MessageAnswer answer;
    };
    struct PromptCall {
        std::string caption;
        std::string prompt;
        std::string preset;  ///< CP932, as the prompt opened with it
        bool accepted = false;
        std::string value;   ///< CP932, the caller's value afterwards
    };
    struct FileDialogCall {
        FileDialog shown;    ///< the dialog's settings as it was shown
        std::optional<std::string> typed; ///< empty when cancelled
    };
    struct PrintCall {
        std::string cp932Text;
        std::string jobTitle;
    };

    ScriptedServices() = default;
    /// Checks that every queued answer was used (verifyAllConsumed).
    ~ScriptedServices() override;
    ScriptedServices(const ScriptedServices&) = delete;
    ScriptedServices& operator=(const ScriptedServices&) = delete;

    /// The next message box is answered with `answer`; a caption or text
    /// given here must match what is shown.
    void expectMessageBox(MessageAnswer answer, std::optional<std::string> caption = {},
                          std::optional<std::string> text = {});
    /// The next prompt gets `answerCp932` typed over its preset and OK clicked.
    void expectPrompt(const std::string& answerCp932);
    /// The next prompt is closed with Esc.
    void expectPromptCancelled();
    /// The next file dialog gets `typedName` typed (relative or absolute) and accepted.
    void expectFileDialog(const std::string& typedName);
    void expectFileDialogCancelled();
    /// The next modal window is shown and `script` acts on it.
    void expectModal(Script script);
    /// printText throws AppError(`utf8Message`) from now on, as a failing printer does.
    void failPrintingWith(const std::string& utf8Message) { printFailure_ = utf8Message; }

    const std::vector<MessageBoxCall>& messageBoxes() const { return messageBoxes_; }
    const std::vector<PromptCall>& prompts() const { return prompts_; }
    const std::vector<FileDialogCall>& fileDialogs() const { return fileDialogs_; }
    const std::vector<std::string>& openedWithDesktop() const { return opened_; }
    const std::vector<std::string>& helpShown() const { return help_; }
    const std::vector<PrintCall>& printed() const { return printed_; }

    /// Every failure so far: unexpected dialogs, answers left unused (once
    /// verified), mismatched texts, scripts that left their dialog open.
    const QStringList& failures() const { return failures_; }
    /// Records what is still queued as failures; true when nothing failed.
    /// Failures are reported to Qt Test as they happen unless reporting is off.
    bool verifyAllConsumed();
    /// Off: failures are only recorded (for testing this class itself).
    void setReportToQTest(bool report) { reportToQTest_ = report; }

    MessageAnswer messageBox(const std::string& caption, const std::string& text, MessageButtons buttons,
                             MessageIcon icon) override;
    bool inputQuery(const std::string& caption, const std::string& prompt, std::string& value) override;
    int showModal(QDialog& dialog) override;
    void openWithDesktop(const std::string& path) override;
    void showHelp(const std::string& helpFile) override;
    void printText(const std::string& cp932Text, const std::string& jobTitle) override;

protected:
    bool chooseFile(const FileDialog& dialog, std::string& typedName) override;

private:
    struct ExpectedMessage {
        MessageAnswer answer;
        std::optional<std::string> caption;
        std::optional<std::string> text;
    };
    void fail(const QString& message);
    int runScripted(QDialog& dialog, const Script& script);

    std::deque<ExpectedMessage> messageQueue_;
    std::deque<std::optional<std::string>> promptQueue_;
    std::deque<std::optional<std::string>> fileQueue_;
    std::deque<Script> modalQueue_;
    std::optional<Script> promptScript_;
    std::optional<std::string> printFailure_;

    std::vector<MessageBoxCall> messageBoxes_;
    std::vector<PromptCall> prompts_;
    std::vector<FileDialogCall> fileDialogs_;
    std::vector<std::string> opened_;
    std::vector<std::string> help_;
    std::vector<PrintCall> printed_;

    QStringList failures_;
    bool reportToQTest_ = true;
    bool reported_ = false;
};

} // namespace vela
