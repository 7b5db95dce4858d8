#pragma once
// The tag commands that compose their tag in a tag dialog, and the image and
// BODY commands that first let the user pick a picture. This subsystem owns
// the tag dialogs and the picture file dialog OpenDialog2: all are created
// once when the main window is built and live for the run, so every dialog
// opens as the user last left it. The dialogs write their results into the
// shared state (EditorState::Dialogs, and PendingTag for the heading).

#include "CommandTable.h"
#include "EditorHost.h"
#include "EditorState.h"
#include "Services.h"

#include <memory>
#include <string>

class QDialog;
class QWidget;

namespace vela {

class TTabbedNotebookDlg;
class TForm4;
class TForm5;
class TForm9;
class TForm11;
class TForm12;
class TForm13;
class TForm14;
class TForm15;
class TForm16;
class TForm17;
class TForm18;

class DialogTagCommands {
public:
    /// Creates the dialogs. They are top-level windows centred on the screen
    /// of `mainWindow`, which they stay in front of.
    DialogTagCommands(EditorState& state, EditorHost& host, Services& services, QWidget& mainWindow);
    ~DialogTagCommands();
    DialogTagCommands(const DialogTagCommands&) = delete;
    DialogTagCommands& operator=(const DialogTagCommands&) = delete;

    /// The menu entries and toolbar buttons of these commands.
    CommandTable commands();

    void Menu38Click();        ///< heading
    void Menu3bClick();        ///< BODY with background picture and colours
    void Menu39Click();        ///< font size
    void MenuFontColorClick(); ///< font colour
    void Menu3eClick();        ///< scrolling text (marquee)
    void Menu3aClick();        ///< image
    void N11Click();           ///< one-line text field
    void N5Click();            ///< multi-line text field
    void R2Click();            ///< radio button
    void C1Click();            ///< check box
    void MenuFRAMESETClick();  ///< screen split (frameset)
    void KF1Click();           ///< frame file and style
    void KO1Click();           ///< ordered list range

private:
    void show(QDialog& dialog);
    enum class Picture { Chosen, Cancelled, Refused };
    /// Shows OpenDialog2 with `title` and, when a file was chosen, gives its
    /// tag name (CP932). Refused: its path has characters CP932 cannot hold,
    /// and the user was told.
    Picture choosePicture(const char* title, std::string& name);
    void insert(std::string openText, std::string closeText);

    EditorState& m_state;
    EditorHost& m_host;
    Services& m_services;
    QWidget& m_mainWindow;

    FileDialog OpenDialog2; ///< picture file for the image and BODY commands
    std::unique_ptr<TTabbedNotebookDlg> m_bodyColours;
    std::unique_ptr<TForm11> m_fontColour;
    std::unique_ptr<TForm4> m_fontSize;
    std::unique_ptr<TForm5> m_heading;
    std::unique_ptr<TForm9> m_marquee;
    std::unique_ptr<TForm15> m_imageWrap;
    std::unique_ptr<TForm14> m_orderedList;
    std::unique_ptr<TForm16> m_inputField;
    std::unique_ptr<TForm17> m_textArea;
    std::unique_ptr<TForm18> m_selectButton;
    std::unique_ptr<TForm12> m_frameSplit;
    std::unique_ptr<TForm13> m_frame;
};

} // namespace vela
