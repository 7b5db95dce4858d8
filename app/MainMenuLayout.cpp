#include "MainMenuLayout.h"

namespace vela {
namespace {

MenuNode item(const char* name) { return {name, {}, {}}; }
MenuNode separator() { return {"-", {}, {}}; }
MenuNode menu(const char* name, const char* caption, std::vector<MenuNode> children) {
    return {name, caption, std::move(children)};
}

std::vector<MenuNode> buildLayout() {
    return {
        menu("Menu10", "ﾌｧｲﾙ(&F)",
             {item("Menu11"), item("Menu12"), item("Menu13"), item("Menu14"), separator(), item("HTM1"),
              item("HTML1"), separator(), item("MenuPrint"), separator(), item("www"), separator(),
              item("Menu15")}),
        menu("Menu20", "編集(&E)",
             {item("Menu27"), item("R1"), item("KD1"), separator(), item("Menu21"), item("Menu22"), item("Menu23"),
              item("Menu24"), separator(), item("Menu25"), item("Menu26"), separator(), item("N9")}),
        menu("Menu40", "検索(&S)", {item("Memo41"), item("Menu42")}),
        menu("Menu30", "ﾀｸﾞ(&T)",
             {item("Menu31"), item("Menu38"), item("Menu3b"), item("KC1"), separator(), item("Menu3c"),
              item("Menu34"), item("MenuNOBR"), separator(),
              menu("Menu_a", "文字列操作(&A)",
                   {item("Menu32"), item("Menu33"), item("MenuU"), item("Menu35"), item("MenuRight"),
                    item("MenuPRE"), item("Menu39"), item("MenuFontColor"), item("Menu3e")}),
              menu("Menu_b", "ハイパーリンク(&Y)",
                   {item("Menu36"),
                    menu("MenuDOPAGE", "同ページ内リンク(&P)", {item("MENUKeyWord"), item("MenuPageJUMP")}),
                    item("Menu37")}),
              menu("G1", "画像(&G)", {item("Menu3a"), item("B1")}),
              menu("M1", "フォーム(&F)",
                   {menu("F2", "ﾌｫｰﾑ(&F)", {item("F1"), item("CGIC1"), item("M2")}), separator(), item("N11"),
                    item("N5"), menu("L1", "選択フィールド(&L)", {item("S3"), item("N7"), item("O1")}), separator(),
                    item("S1"), item("S2"), separator(), item("R2"), item("C1")}),
              menu("MemuFRAME", "フレーム(&M)", {item("MenuFRAMESET"), item("KF1"), item("MenuBASE")}),
              menu("KL2", "リスト(&L)", {item("KU1"), item("KO1"), separator(), item("KL3")}),
              item("Menu3d")}),
        menu("K1", "ｵﾌﾟｼｮﾝ(&O)", {item("KS1")}),
        menu("Menu50", "ﾍﾙﾌﾟ(&H)", {item("Menu51"), separator(), item("Menu52")}),
    };
}

} // namespace

const std::vector<MenuNode>& mainMenuLayout() {
    static const std::vector<MenuNode> layout = buildLayout();
    return layout;
}

} // namespace vela
