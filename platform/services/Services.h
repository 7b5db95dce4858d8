#pragma once
// The platform services the editor's logic asks for: message boxes, the input
// prompt, file dialogs, modal windows, the desktop, printing and file deletion.
// QtServices serves the program; ScriptedServices serves the tests from queues
// and shows modal windows through the same code as the program.

#include <functional>
#include <string>

class QDialog;

namespace vela {

enum class MessageButtons { Ok, YesNoCancel, YesNo };
enum class MessageIcon { None, Error };
enum class MessageAnswer { Ok, Yes, No, Cancel };

/// One file dialog of the program (OpenDialog1, SaveDialog1, ...). It lives for
/// the run: commands set its default extension, filter and title right before
/// showing it, and it keeps the last chosen file name, which some commands use as state.
struct FileDialog {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    std::string defaultExt;     ///< without the dot, e.g. "kvd"; added only to a name typed without any extension
    std::string filter;         ///< "description|pattern|description|pattern..."
    std::string title;
    std::string fileName;       ///< the remembered file name (UTF-8), a full path once a file was chosen
    bool overwritePrompt = false; ///< save: ask before replacing an existing file
    bool fileMustExist = false;   ///< open: refuse names of missing files
};

class Services {
public:
    virtual ~Services() = default;

    /// A message box (UTF-8 texts); the answer names the button pressed.
    virtual MessageAnswer messageBox(const std::string& caption, const std::string& text, MessageButtons buttons,
                                     MessageIcon icon) = 0;

    /// The one-line input prompt: `value` is the preset (CP932) and, only when
    /// OK closed the prompt, the answer. Returns whether OK closed it.
    virtual bool inputQuery(const std::string& caption, const std::string& prompt, std::string& value) = 0;

    /// Shows the dialog; on a chosen file stores its full path in
    /// dialog.fileName, makes its folder the current directory and returns true.
    bool executeFileDialog(FileDialog& dialog);

    /// Shows a window modally (tag dialogs, preferences, About, splash) and
    /// returns its result code. Tests see the same dialog code run.
    virtual int showModal(QDialog& dialog) = 0;

    /// Opens a file with the desktop's associated program; failures are silent.
    virtual void openWithDesktop(const std::string& path) = 0;
    /// Opens the help file in the help viewer.
    virtual void showHelp(const std::string& helpFile) = 0;
    /// Prints CP932 text on the default printer; throws AppError.
    virtual void printText(const std::string& cp932Text, const std::string& jobTitle) = 0;
    /// Deletes a file (UTF-8 path); a missing file is no error, any other failure throws AppError.
    virtual void deleteFile(const std::string& path);

protected:
    /// The name the user chose in the dialog as typed (relative or absolute),
    /// or false when the dialog was cancelled.
    virtual bool chooseFile(const FileDialog& dialog, std::string& typedName) = 0;
};

/// The application's error report: caption, error icon, OK, and the text rule.
void showErrorReport(Services& services, const std::string& utf8Message);

/// Runs a command, start-up, activation, timer or close handler; any exception
/// it throws ends up in the error report and goes no further.
void runGuarded(Services& services, const std::function<void()>& handler);

} // namespace vela
