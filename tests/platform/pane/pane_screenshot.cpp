// Renders the pane with tag-coloured Japanese text to a PNG, to look at.
// Usage: pane_screenshot <out.png>

#include "Cp932.h"
#include "Pane.h"

#include <QApplication>
#include <QFont>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The program maps the Windows font name to an installed Japanese Gothic at start.
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
    vela::Pane pane;
    auto put = [&](const char* utf8, vela::Color color) {
        pane.setSelColor(color);
        pane.setSelText(vela::cp932::fromUtf8(utf8));
    };
    put("<HTML>", 0x00FFFF);
    put("\r\n", 0xFFFFFF);
    put("<HEAD><TITLE>", 0xFFFF00);
    put("日本語のページ ｶﾀｶﾅ", 0xFFFFFF);
    put("</TITLE></HEAD>", 0xFFFF00);
    put("\r\n", 0xFFFFFF);
    put("<B>", 0xFFFF00);
    pane.setSelStyle(vela::FontStyle::Bold);
    put("太字の見出し", 0xFFFFFF);
    pane.setSelStyle(vela::FontStyle::None);
    put("</B>", 0xFFFF00);
    put("\r\n", 0xFFFFFF);
    put("<FONT SIZE=5>", 0xFFFF00);
    pane.setSelSize(18);
    put("大きな文字", 0xFFFFFF);
    pane.setSelSize(10);
    put("</FONT>", 0xFFFF00);
    put("\r\n表示・ソース・本文：全角と半角ｱｲｳが混ざった長い行は画面の幅で折り返されます。"
        "折り返しの位置は単語の境目でなくてもかまいません。\r\n", 0xFFFFFF);
    put("</HTML>", 0x00FFFF);
    QWidget* w = pane.widget();
    w->resize(520, 260);
    w->show();
    app.processEvents();
    return w->grab().save(QString::fromLocal8Bit(argc > 1 ? argv[1] : "pane.png")) ? 0 : 1;
}
