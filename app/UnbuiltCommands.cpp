#include "UnbuiltCommands.h"

namespace vela {

CommandTable unbuiltCommands() {
    CommandTable t;
    t.menu = {
        {"Menu11", "Menu10", "新規作成(&N)", {}},
        {"Menu12", "Menu10", "開く(&O)", {}},
        {"Menu13", "Menu10", "上書き保存(&S)", {}},
        {"Menu14", "Menu10", "名前を付けて保存(&A)", {}},
        {"HTM1", "Menu10", "HTMLファイルの読み込み(&H)", {}},
        {"HTML1", "Menu10", "HTMLファイルの作成(&C)", {}},
        {"Menu15", "Menu10", "終了(&X)", {}},
        {"Menu26", "Menu20", "メールアドレスの登録(&M)", {}},
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
        {"KS1", "K1", "環境設定(&S)", {}},
    };
    using P = ToolbarPage;
    t.buttons = {
        {"SpeedButton1", P::Basic, 11, 27, "新規作成", "新規作成", ":/icons/new.png", "Menu11"},
        {"SpeedButton2", P::Basic, 38, 27, "ファイルを開く", "ファイルを開く", ":/icons/open.png", "Menu12"},
        // Save chooses between Save and Save As: its builder gives it a handler of its own.
        {"SpeedButton3", P::Basic, 65, 27, "保存", "編集中の内容を.kvdファイルに保存する", ":/icons/save.png", "Menu13"},
        {"SpeedButton32", P::Basic, 97, 27, "HTMLファイルの読み込み", "既存のHTMLファイルを読み込む",
         ":/icons/htmlimport.png", "HTM1"},
        {"SpeedButton31", P::Basic, 124, 27, "HTMLファイルの作成", "HTMLファイル(*.htm)の作成",
         ":/icons/htmlexport.png", "HTML1"},
        {"SpeedButton10", P::Basic, 372, 27, "メールアドレスの登録", "メールアドレスを登録する",
         ":/icons/mailaddress.png", "Menu26"},
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
