#include "PromptedTagCommands.h"

#include "Cp932.h"
#include "Pane.h"
#include "Services.h"

namespace vela {
namespace {

constexpr Color White = 0xFFFFFF;

// The two prompts of the option commands share their text.
const char* const OptionPrompt = "サーバーに送られる文字列を入力して下さい";

} // namespace

PromptedTagCommands::PromptedTagCommands(EditorState& state, EditorHost& host, Pane& pane, Services& services)
    : m_state(state), m_host(host), m_pane(pane), m_services(services) {}

bool PromptedTagCommands::ask(const char* caption, const char* prompt, std::string& buffer) {
    return m_services.inputQuery(caption, prompt, buffer);
}

void PromptedTagCommands::insert(std::string openText, const char* closeText) {
    m_state.PendingTag.OpenText = std::move(openText);
    m_state.PendingTag.CloseText = cp932::fromUtf8(closeText);
    m_host.SetSelText();
}

void PromptedTagCommands::askAndInsert(const char* caption, const char* prompt, const char* before,
                                       const char* after, const char* closeText) {
    // A cancelled prompt leaves the preset in OpenText; every command sets both texts before inserting.
    if (!ask(caption, prompt, m_state.PendingTag.OpenText)) return;
    insert(cp932::fromUtf8(before) + m_state.PendingTag.OpenText + cp932::fromUtf8(after), closeText);
}

std::string PromptedTagCommands::optionPreset() const { return m_pane.selText() + cp932::fromUtf8("を選択"); }

void PromptedTagCommands::Menu36Click() {
    m_state.PendingTag.OpenText.clear();
    askAndInsert("他のURLにリンク", "リンク先を入力して下さい", "<A HREF=\"", "\">", "</A>");
}

void PromptedTagCommands::MENUKeyWordClick() {
    // A new keyword starts from nothing; the page-jump command offers what is entered here.
    m_state.LinkKeyword.clear();
    if (!ask("同ページ内リンクの為のキーワード設定", "キーワードを入力して下さい", m_state.LinkKeyword)) return;
    insert(cp932::fromUtf8("<A NAME=\"") + m_state.LinkKeyword + cp932::fromUtf8("\">"), "</A>");
}

void PromptedTagCommands::MenuPageJUMPClick() {
    if (!ask("同ページ内リンク", "リンク先キーワードを入力して下さい", m_state.LinkKeyword)) return;
    insert(cp932::fromUtf8("<A HREF=\"#") + m_state.LinkKeyword + cp932::fromUtf8("\">"), "</A>");
}

void PromptedTagCommands::Menu37Click() {
    m_state.PendingTag.OpenText = m_state.MailAddress;
    askAndInsert("メール送信", "メールアドレスを入力して下さい", "<A HREF=\"mailto:", "\">", "</A>");
}

void PromptedTagCommands::MenuBASEClick() {
    m_state.PendingTag.CloseText.clear();
    std::string window;
    // Cancel keeps the empty preset, so it and an empty answer both insert nothing.
    ask("リンク選択時のロード先ウインドウ", "ウィンドウの名前を入力して下さい", window);
    if (window.empty()) return;
    insert(cp932::fromUtf8("<BASE TARGET=\"") + window + cp932::fromUtf8("\">"), "");
}

void PromptedTagCommands::CGIC1Click() {
    m_state.PendingTag.OpenText.clear();
    askAndInsert("CGIを利用してﾌｫｰﾑの内容を転送", "CGIスクリプトのパスとスクリプト名を入力して下さい",
                 "<FORM ACTION=\"", "\" METHOD=\"POST\">", "</FORM>");
}

void PromptedTagCommands::M2Click() {
    insert(cp932::fromUtf8("<FORM ACTION=\"mailto:") + m_state.MailAddress + cp932::fromUtf8("\" METHOD=\"POST\">"),
           "</FORM>");
}

void PromptedTagCommands::N7Click() {
    m_state.PendingTag.OpenText = optionPreset();
    askAndInsert("デフォルトのメニュー", OptionPrompt, "<OPTION VALUE=\"", "\" SELECTED>", "");
}

void PromptedTagCommands::O1Click() {
    m_state.PendingTag.OpenText = optionPreset();
    askAndInsert("選択肢", OptionPrompt, "<OPTION VALUE=\"", "\">", "");
}

void PromptedTagCommands::S1Click() {
    m_state.PendingTag.OpenText = "RESET";
    askAndInsert("リセットボタン", "リセットボタンのキャプション名を入力して下さい", "<INPUT TYPE=\"RESET\" VALUE=\"",
                 "\">", "");
}

void PromptedTagCommands::S2Click() {
    m_state.PendingTag.OpenText = "SUBMIT";
    askAndInsert("転送ボタン", "転送ボタンのキャプション名を入力して下さい", "<INPUT TYPE=\"SUBMIT\" VALUE=\"",
                 "\">", "");
}

void PromptedTagCommands::N9Click() {
    // Plain text, not a tag: white, outside PendingTag, and no undo snapshot.
    m_pane.setSelColor(White);
    m_pane.setSelText(cp932::fromUtf8(dateTimeText(m_clock())));
}

CommandTable PromptedTagCommands::commands() {
    auto h = [this](void (PromptedTagCommands::*handler)()) { return [this, handler] { (this->*handler)(); }; };
    CommandTable t;
    t.menu = {
        {"Menu36", "Menu_b", "他のURLにリンク(&U)", h(&PromptedTagCommands::Menu36Click)},
        {"MENUKeyWord", "MenuDOPAGE", "リンク先キーワード(&K)", h(&PromptedTagCommands::MENUKeyWordClick)},
        {"MenuPageJUMP", "MenuDOPAGE", "リンク(&P)", h(&PromptedTagCommands::MenuPageJUMPClick)},
        {"Menu37", "Menu_b", "メール送信(&M)", h(&PromptedTagCommands::Menu37Click)},
        {"MenuBASE", "MemuFRAME", "リンク選択時のロード先ウィンドウを決めておく(&B)",
         h(&PromptedTagCommands::MenuBASEClick)},
        {"CGIC1", "F2", "CGIを利用してﾌｫｰﾑの内容を転送(&C)", h(&PromptedTagCommands::CGIC1Click)},
        {"M2", "F2", "ブラウザからﾌｫｰﾑの内容を転送(&M)", h(&PromptedTagCommands::M2Click)},
        {"N7", "L1", "デフォルトのメニュー(&D)", h(&PromptedTagCommands::N7Click)},
        {"O1", "L1", "選択肢(&O)", h(&PromptedTagCommands::O1Click)},
        {"S1", "M1", "リセットボタン(&B)", h(&PromptedTagCommands::S1Click)},
        {"S2", "M1", "転送ボタン(&S)", h(&PromptedTagCommands::S2Click)},
        {"N9", "Menu20", "日付と時刻(&N)", h(&PromptedTagCommands::N9Click)},
    };
    using P = ToolbarPage;
    // Each button shares its menu entry's action (SpeedButton16Click runs Menu36Click).
    t.buttons = {
        {"SpeedButton16", P::Tags, 355, 27, "他のURLにリンク<A HREF=\"url\"></A>", "他のURLにリンクする",
         ":/icons/link.png", "Menu36"},
        {"SpeedButton29", P::Tags, 382, 27, "リンク先キーワード<A NAME=\"key\"></A>",
         "同ページ内リンクの為のリンク先キーワードの設定", ":/icons/keyword.png", "MENUKeyWord"},
        {"SpeedButton30", P::Tags, 409, 27, "同ページ内リンク<A HREF=\"#key\"></A>", "同ページ内リンク",
         ":/icons/pagelink.png", "MenuPageJUMP"},
        {"SpeedButton22", P::Tags, 442, 27, "メール送信<A HREF=\"mailto:mailadd\"></A>", "メール送信",
         ":/icons/mail.png", "Menu37"},
        {"SpeedButton38", P::FrameList, 65, 27, "リンク選択時のロード先ウインドゥ<BASE TARGET=\"name\">",
         "リンク選択時のロード先ウインドゥを決めておく", ":/icons/basetarget.png", "MenuBASE"},
    };
    return t;
}

} // namespace vela
