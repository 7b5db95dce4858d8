#include "DialogTagCommands.h"

#include "Cp932.h"
#include "PictureName.h"
#include "TForm11.h"
#include "TForm12.h"
#include "TForm13.h"
#include "TForm14.h"
#include "TForm15.h"
#include "TForm16.h"
#include "TForm17.h"
#include "TForm18.h"
#include "TForm4.h"
#include "TForm5.h"
#include "TForm9.h"
#include "TTabbedNotebookDlg.h"

#include <QDialog>
#include <QDir>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace vela {

namespace {
const char* const PictureFilter = "GIF files(*.gif)|*.gif|JPEG files(*.jpg)|*.jpg";
const char* const ImageTitle = "画像ファイルの選択";
const char* const WallpaperTitle = "壁紙にする画像ファイルの選択";
const char* const MessageCaption = "VELA-VOVUZEZU DOZA RODORA";
const char* const UnwritableName = "このファイルの名前には、シフトJISで書けない文字が含まれているため、"
                                   "タグに入れることができません。\n%1";

/// The digit of a tag text that is exactly `prefix` + one digit from `low`
/// to `high` + ">"; otherwise 0.
int levelOf(const std::string& text, const char* prefix, char low, char high) {
    const std::string p(prefix);
    if (text.size() != p.size() + 2 || text.compare(0, p.size(), p) != 0 || text.back() != '>') return 0;
    const char digit = text[p.size()];
    return digit >= low && digit <= high ? digit - '0' : 0;
}
} // namespace

DialogTagCommands::DialogTagCommands(EditorState& state, EditorHost& host, Services& services, QWidget& mainWindow)
    : m_state(state), m_host(host), m_services(services), m_mainWindow(mainWindow) {
    OpenDialog2.kind = FileDialog::Kind::Open;
    OpenDialog2.filter = PictureFilter;
    OpenDialog2.fileMustExist = false;

    DialogResults& r = m_state.Dialogs;
    // Parentless: each dialog is centred on the screen, not on the main window.
    m_bodyColours = std::make_unique<TTabbedNotebookDlg>(r.BodyColorText);
    m_fontColour = std::make_unique<TForm11>(r.FontColorText);
    m_fontSize = std::make_unique<TForm4>(r.FontSizeOpenText, r.FontSizeCloseText);
    m_heading = std::make_unique<TForm5>(m_state.PendingTag.OpenText, m_state.PendingTag.CloseText);
    m_marquee = std::make_unique<TForm9>(r.MarqueeBehaviorText, r.MarqueeDirectionText);
    m_imageWrap = std::make_unique<TForm15>(r.ImageAlignText);
    m_orderedList = std::make_unique<TForm14>(r.OrderedListText);
    m_inputField = std::make_unique<TForm16>(r.InputFieldTagText);
    m_textArea = std::make_unique<TForm17>(r.TextAreaTagText);
    m_selectButton = std::make_unique<TForm18>(r.SelectButtonText);
    m_frameSplit = std::make_unique<TForm12>(r.FrameColsText, r.FrameRowsText);
    m_frame = std::make_unique<TForm13>(r.FrameTagText);
}

DialogTagCommands::~DialogTagCommands() = default;

void DialogTagCommands::show(QDialog& dialog) {
    // A top-level dialog still belongs in front of the main window.
    dialog.winId();
    QWindow* owner = m_mainWindow.window()->windowHandle();
    if (QWindow* own = dialog.windowHandle(); own && owner) own->setTransientParent(owner);
    if (QScreen* screen = m_mainWindow.screen()) {
        QRect frame = dialog.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        dialog.move(frame.topLeft());
    }
    m_services.showModal(dialog);
}

DialogTagCommands::Picture DialogTagCommands::choosePicture(const char* title, std::string& name) {
    OpenDialog2.title = title;
    OpenDialog2.filter = PictureFilter;
    if (!m_services.executeFileDialog(OpenDialog2)) return Picture::Cancelled;
    std::string path;
    try {
        // Qt reports "/" on every system; a page made on Windows names the file with backslashes.
        const QString native = QDir::toNativeSeparators(QString::fromStdString(OpenDialog2.fileName));
        path = cp932::fromUtf8(native.toStdString());
    } catch (const cp932::ConversionError&) {
        // A "?" in its place would name a file that does not exist.
        const QString text = QString::fromUtf8(UnwritableName).arg(QString::fromStdString(OpenDialog2.fileName));
        m_services.messageBox(MessageCaption, text.toStdString(), MessageButtons::Ok, MessageIcon::Error);
        return Picture::Refused;
    }
    name = picture::tagName(path, m_state.ImageFileNameOnly == 1);
    return Picture::Chosen;
}

void DialogTagCommands::insert(std::string openText, std::string closeText) {
    m_state.PendingTag.OpenText = std::move(openText);
    m_state.PendingTag.CloseText = std::move(closeText);
    m_host.SetSelText();
}

void DialogTagCommands::Menu38Click() {
    show(*m_heading);
    // The dialog wrote PendingTag itself: OK the heading pair, Cancel or the close box an empty opening text.
    PendingTagState& tag = m_state.PendingTag;
    if (const int level = levelOf(tag.OpenText, "<H", '1', '6')) tag.HeadingLevel = level;
    if (!tag.OpenText.empty()) m_host.SetSelText();
}

void DialogTagCommands::Menu3bClick() {
    std::string openText = "<BODY";
    std::string picture;
    switch (choosePicture(WallpaperTitle, picture)) {
    case Picture::Chosen: openText += " BACKGROUND=\"" + picture + "\""; break;
    case Picture::Cancelled: break; // a BODY without background
    case Picture::Refused: return;
    }
    show(*m_bodyColours);
    openText += m_state.Dialogs.BodyColorText + ">";
    m_state.PendingTag.UseYellow = 1; // the BODY pair is a structure tag
    insert(std::move(openText), "</BODY>");
}

void DialogTagCommands::Menu39Click() {
    show(*m_fontSize);
    const DialogResults& r = m_state.Dialogs;
    if (r.FontSizeOpenText.empty()) return;
    // Size 1 gets no preview.
    if (const int level = levelOf(r.FontSizeOpenText, "<FONT SIZE=", '2', '7')) m_state.PendingTag.FontSizeLevel = level;
    insert(r.FontSizeOpenText, r.FontSizeCloseText);
}

void DialogTagCommands::MenuFontColorClick() {
    show(*m_fontColour);
    const std::string& colour = m_state.Dialogs.FontColorText;
    if (colour.empty()) return;
    insert("<FONT" + colour + ">", "</FONT>");
}

void DialogTagCommands::Menu3eClick() {
    show(*m_marquee);
    const DialogResults& r = m_state.Dialogs;
    if (r.MarqueeBehaviorText.empty()) return;
    insert("<MARQUEE BEHAVIOR=" + r.MarqueeBehaviorText + " DIRECTION=" + r.MarqueeDirectionText + ">", "</MARQUEE>");
}

void DialogTagCommands::Menu3aClick() {
    std::string picture;
    if (choosePicture(ImageTitle, picture) != Picture::Chosen) return;
    show(*m_imageWrap); // any of its buttons goes on; the third only drops the alignment
    insert("<IMG SRC=" + picture + m_state.Dialogs.ImageAlignText + " ALT=\"", "\">");
}

void DialogTagCommands::N11Click() {
    show(*m_inputField);
    if (m_state.Dialogs.InputFieldTagText.empty()) return;
    insert(m_state.Dialogs.InputFieldTagText, "");
}

void DialogTagCommands::N5Click() {
    show(*m_textArea);
    if (m_state.Dialogs.TextAreaTagText.empty()) return;
    insert(m_state.Dialogs.TextAreaTagText, "</TEXTAREA>");
}

void DialogTagCommands::R2Click() {
    show(*m_selectButton);
    if (m_state.Dialogs.SelectButtonText.empty()) return;
    insert("<INPUT TYPE=\"RADIO\" " + m_state.Dialogs.SelectButtonText, "");
}

void DialogTagCommands::C1Click() {
    show(*m_selectButton);
    if (m_state.Dialogs.SelectButtonText.empty()) return;
    insert("<INPUT TYPE=\"CHECKBOX\" " + m_state.Dialogs.SelectButtonText, "");
}

void DialogTagCommands::MenuFRAMESETClick() {
    show(*m_frameSplit);
    const DialogResults& r = m_state.Dialogs;
    if (r.FrameColsText == "C") return; // the dialog's cancel marker
    std::string openText = "<FRAMESET";
    if (!r.FrameColsText.empty()) openText += " " + r.FrameColsText;
    if (!r.FrameRowsText.empty()) openText += " " + r.FrameRowsText;
    insert(openText + ">", "</FRAMESET>");
}

void DialogTagCommands::KF1Click() {
    show(*m_frame);
    if (m_state.Dialogs.FrameTagText.empty()) return;
    insert(m_state.Dialogs.FrameTagText, "");
}

void DialogTagCommands::KO1Click() {
    show(*m_orderedList);
    if (m_state.Dialogs.OrderedListText.empty()) return;
    insert("<OL " + m_state.Dialogs.OrderedListText + ">", "</OL>");
}

CommandTable DialogTagCommands::commands() {
    auto h = [this](void (DialogTagCommands::*handler)()) { return [this, handler] { (this->*handler)(); }; };
    CommandTable t;
    t.menu = {
        {"Menu38", "Menu30", "見出し(&H)", h(&DialogTagCommands::Menu38Click)},
        {"Menu3b", "Menu30", "ボディ(&B)", h(&DialogTagCommands::Menu3bClick)},
        {"Menu39", "Menu_a", "フォントサイズ(&S)", h(&DialogTagCommands::Menu39Click)},
        {"MenuFontColor", "Menu_a", "フォントの色(&F)", h(&DialogTagCommands::MenuFontColorClick)},
        {"Menu3e", "Menu_a", "スクロール(&Q)", h(&DialogTagCommands::Menu3eClick)},
        {"Menu3a", "G1", "画像(&G)", h(&DialogTagCommands::Menu3aClick)},
        {"N11", "M1", "1行のみのテキスト入力フィールド(&T)", h(&DialogTagCommands::N11Click)},
        {"N5", "M1", "複数行のテキスト入力フィールド(&E)", h(&DialogTagCommands::N5Click)},
        {"R2", "M1", "ラジオボタン(&R)", h(&DialogTagCommands::R2Click)},
        {"C1", "M1", "チェックボックス(&C)", h(&DialogTagCommands::C1Click)},
        {"MenuFRAMESET", "MemuFRAME", "画面の分割(&S)", h(&DialogTagCommands::MenuFRAMESETClick)},
        {"KF1", "MemuFRAME", "表示するファイルと形式(&F)", h(&DialogTagCommands::KF1Click)},
        {"KO1", "KL2", "番号順リスト範囲(&O)", h(&DialogTagCommands::KO1Click)},
    };
    using P = ToolbarPage;
    // Each button shares its menu entry's action (SpeedButton20Click runs Menu38Click).
    t.buttons = {
        {"SpeedButton20", P::Tags, 11, 27, "見出し<Hnum></Hnum>", "見出し", ":/icons/heading.png", "Menu38"},
        {"SpeedButton21", P::Tags, 38, 27, "ボディ<BODY option></BODY>", "ボディ", ":/icons/body.png", "Menu3b"},
        {"SpeedButton14", P::Tags, 267, 27, "フォントサイズ<FONT SIZE=num></FONT>", "フォントサイズを変更する",
         ":/icons/fontsize.png", "Menu39"},
        {"SpeedButton28", P::Tags, 294, 27, "フォントの色<FONT COLOR=\"#rrggbb\"></FONT>", "フォント色の設定",
         ":/icons/fontcolor.png", "MenuFontColor"},
        {"SpeedButton25", P::Tags, 321, 27, "スクロールする文字<MARQUEE option></MARQUEE>", "スクロール",
         ":/icons/marquee.png", "Menu3e"},
        {"SpeedButton19", P::Tags, 469, 28, "画像の表示<IMG SRC=\"filename\" ALIGN=\"option\" ALT=\"text\">", "画像",
         ":/icons/image.png", "Menu3a"},
        {"SpeedButton36", P::FrameList, 11, 27, "画面の分割<FRAMESET option></FRAMESET>", "画面の分割",
         ":/icons/frameset.png", "MenuFRAMESET"},
        {"SpeedButton37", P::FrameList, 38, 27, "表示するファイルと形式<FRAME option>", "表示するファイルと形式",
         ":/icons/frame.png", "KF1"},
        {"SpeedButton34", P::FrameList, PlacedAtStartUp, 27, "番号順リスト範囲<OL option></OL>", "番号順リスト範囲",
         ":/icons/olist.png", "KO1"},
    };
    return t;
}

} // namespace vela
