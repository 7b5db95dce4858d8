#include "UnbuiltCommands.h"

namespace vela {

CommandTable unbuiltCommands() {
    CommandTable t;
    t.menu = {
        {"Menu38", "Menu30", "見出し(&H)", {}},
        {"Menu3b", "Menu30", "ボディ(&B)", {}},
        {"Menu39", "Menu_a", "フォントサイズ(&S)", {}},
        {"MenuFontColor", "Menu_a", "フォントの色(&F)", {}},
        {"Menu3e", "Menu_a", "スクロール(&Q)", {}},
        {"Menu3a", "G1", "画像(&G)", {}},
        {"N11", "M1", "1行のみのテキスト入力フィールド(&T)", {}},
        {"N5", "M1", "複数行のテキスト入力フィールド(&E)", {}},
        {"R2", "M1", "ラジオボタン(&R)", {}},
        {"C1", "M1", "チェックボックス(&C)", {}},
        {"MenuFRAMESET", "MemuFRAME", "画面の分割(&S)", {}},
        {"KF1", "MemuFRAME", "表示するファイルと形式(&F)", {}},
        {"KO1", "KL2", "番号順リスト範囲(&O)", {}},
    };
    using P = ToolbarPage;
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
