#include "DirectTagCommands.h"

#include "Cp932.h"

namespace vela {

DirectTagCommands::DirectTagCommands(EditorState& state, EditorHost& host) : m_state(state), m_host(host) {}

void DirectTagCommands::insertPair(const char* openText, const char* closeText) {
    m_state.PendingTag.OpenText = cp932::fromUtf8(openText);
    m_state.PendingTag.CloseText = cp932::fromUtf8(closeText);
    m_host.SetSelText();
}

void DirectTagCommands::insertSingleWithLineBreak(const char* tag) {
    m_state.PendingTag.OpenText.clear();
    m_state.PendingTag.CloseText = cp932::fromUtf8(tag);
    if (m_state.LineBreakAfterTag == 1) {
        m_state.PendingTag.NoReselect = 1;
        m_state.PendingTag.CloseText += "\r\n";
    }
    m_host.SetSelText();
}

void DirectTagCommands::Menu31Click() { insertPair("<TITLE>", "</TITLE>"); }
void DirectTagCommands::KC1Click() { insertPair("<!--", "-->"); }
void DirectTagCommands::Menu3cClick() { insertSingleWithLineBreak("<BR>"); }
void DirectTagCommands::Menu34Click() { insertSingleWithLineBreak("<P>"); }
void DirectTagCommands::MenuNOBRClick() { insertPair("<NOBR>", "</NOBR>"); }

void DirectTagCommands::Menu32Click() {
    m_state.PendingTag.Bold = 1;
    insertPair("<B>", "</B>");
}

void DirectTagCommands::Menu33Click() {
    m_state.PendingTag.Italic = 1;
    insertPair("<I>", "</I>");
}

void DirectTagCommands::MenuUClick() {
    m_state.PendingTag.Underline = 1;
    insertPair("<U>", "</U>");
}

void DirectTagCommands::Menu35Click() { insertPair("<CENTER>", "</CENTER>"); }
void DirectTagCommands::MenuRightClick() { insertPair("<DIV ALIGN=\"RIGHT\">", "</DIV>"); }
void DirectTagCommands::MenuPREClick() { insertPair("<PRE>", "</PRE>"); }
void DirectTagCommands::B1Click() { insertSingleWithLineBreak("<BR CLEAR>"); }
void DirectTagCommands::F1Click() { insertPair("<FORM>", "</FORM>"); }
void DirectTagCommands::S3Click() { insertPair("<SELECT>", "</SELECT>"); }
void DirectTagCommands::KU1Click() { insertPair("<UL>", "</UL>"); }
void DirectTagCommands::KL3Click() { insertPair("<LI>", ""); }
void DirectTagCommands::Menu3dClick() { insertPair("", "<HR>"); }

CommandTable DirectTagCommands::commands() {
    auto h = [this](void (DirectTagCommands::*handler)()) { return [this, handler] { (this->*handler)(); }; };
    CommandTable t;
    t.menu = {
        {"Menu31", "Menu30", "タイトル(&T)", h(&DirectTagCommands::Menu31Click)},
        {"KC1", "Menu30", "ブラウザに表示されないコメント(&C)", h(&DirectTagCommands::KC1Click)},
        {"Menu3c", "Menu30", "改行(&R)", h(&DirectTagCommands::Menu3cClick)},
        {"Menu34", "Menu30", "段落(&P)", h(&DirectTagCommands::Menu34Click)},
        {"MenuNOBR", "Menu30", "改行しないで一行で表示(&N)", h(&DirectTagCommands::MenuNOBRClick)},
        {"Menu32", "Menu_a", "ボールド(&B)", h(&DirectTagCommands::Menu32Click)},
        {"Menu33", "Menu_a", "イタリック(&I)", h(&DirectTagCommands::Menu33Click)},
        {"MenuU", "Menu_a", "アンダーライン(&U)", h(&DirectTagCommands::MenuUClick)},
        {"Menu35", "Menu_a", "センタリング(&C)", h(&DirectTagCommands::Menu35Click)},
        {"MenuRight", "Menu_a", "右揃え(&R)", h(&DirectTagCommands::MenuRightClick)},
        {"MenuPRE", "Menu_a", "HTMLドキュメントの空白や改行をそのまま表示(&P)", h(&DirectTagCommands::MenuPREClick)},
        {"B1", "G1", "テキストの回り込み解除(&B)", h(&DirectTagCommands::B1Click)},
        {"F1", "F2", "ﾌｫｰﾑの表示(&F)", h(&DirectTagCommands::F1Click)},
        {"S3", "L1", "選択肢範囲(&S)", h(&DirectTagCommands::S3Click)},
        {"KU1", "KL2", "マーク付リスト範囲(&U)", h(&DirectTagCommands::KU1Click)},
        {"KL3", "KL2", "リスト(&L)", h(&DirectTagCommands::KL3Click)},
        {"Menu3d", "Menu30", "水平線(&L)", h(&DirectTagCommands::Menu3dClick)},
    };
    using P = ToolbarPage;
    // Each button runs its menu entry's command (SpeedButton11Click calls Menu32Click).
    t.buttons = {
        {"SpeedButton15", P::Tags, 71, 27, "改行<BR>", "改行", ":/icons/linebreak.png", "Menu3c"},
        {"SpeedButton24", P::Tags, 98, 27, "段落<P>", "段落", ":/icons/paragraph.png", "Menu34"},
        {"SpeedButton11", P::Tags, 132, 27, "ボールド<B></B>", "ボールド", ":/icons/bold.png", "Menu32"},
        {"SpeedButton12", P::Tags, 159, 27, "イタリック<I></I>", "イタリック", ":/icons/italic.png", "Menu33"},
        {"SpeedButton23", P::Tags, 186, 27, "アンダーライン<U></U>", "アンダーライン", ":/icons/underline.png", "MenuU"},
        {"SpeedButton13", P::Tags, 213, 27, "センタリング<CENTER></CENTER>", "センタリング", ":/icons/center.png",
         "Menu35"},
        {"SpeedButton27", P::Tags, 240, 27, "右揃え<DIV ALIGN=\"RIGHT\"></DIV>", "右揃え", ":/icons/right.png",
         "MenuRight"},
        {"SpeedButton39", P::Tags, 497, 28, "テキストの回り込みを解除<BR CLEAR>", "テキストの回り込みを解除する",
         ":/icons/clearwrap.png", "B1"},
        {"SpeedButton18", P::Tags, 530, 27, "水平線<HR>", "水平線", ":/icons/hrule.png", "Menu3d"},
        {"SpeedButton33", P::FrameList, PlacedAtStartUp, 27, "マーク付リスト範囲<UL></UL>", "マーク付リスト範囲",
         ":/icons/ulist.png", "KU1"},
        {"SpeedButton35", P::FrameList, PlacedAtStartUp, 27, "リスト<LI>", "リスト", ":/icons/listitem.png", "KL3"},
    };
    return t;
}

} // namespace vela
