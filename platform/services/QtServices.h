#pragma once
// The services of the running program: Qt message boxes, the input prompt,
// Qt's (non-native) file dialogs, the desktop and the default printer.

#include "Services.h"

#include <QPointer>

#include <functional>
#include <memory>

class QPrinter;
class QWidget;

namespace vela {

class HelpViewer;

/// Serves the program. Dialogs are parented to `owner` (the main window)
/// once it is set; until then to the active window.
class QtServices : public Services {
public:
    /// Gives the printer of a print job, or null when no default printer is set up.
    using PrinterLookup = std::function<std::unique_ptr<QPrinter>()>;

    /// `printerLookup` empty: the system's default printer.
    explicit QtServices(PrinterLookup printerLookup = {});
    ~QtServices() override;
    QtServices(const QtServices&) = delete;
    QtServices& operator=(const QtServices&) = delete;

    /// The window that owns the dialogs.
    void setOwner(QWidget* owner) { owner_ = owner; }

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
    QWidget* parentWidget() const;

    PrinterLookup printerLookup_;
    QWidget* owner_ = nullptr;
    /// The help window, created at the first help request; a child of the owner when there is one.
    QPointer<HelpViewer> helpViewer_;
};

/// The system's default printer, or null when there is none.
std::unique_ptr<QPrinter> defaultPrinter();

} // namespace vela
