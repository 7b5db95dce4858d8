// Draws the 16 × 16 toolbar pictures in the 16-colour palette and writes them
// as PNG files into the folder given on the command line. Run once by hand
// (target vela_icongen) when a picture changes; the PNG files are committed.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>
#include <map>

namespace {

// The 16 colours of the classic palette.
const QColor Black(0, 0, 0), Maroon(128, 0, 0), Green(0, 128, 0), Olive(128, 128, 0), Navy(0, 0, 128),
    Purple(128, 0, 128), Teal(0, 128, 128), Grey(128, 128, 128), Silver(192, 192, 192), Red(255, 0, 0),
    Lime(0, 255, 0), Yellow(255, 255, 0), Blue(0, 0, 255), Fuchsia(255, 0, 255), Aqua(0, 255, 255),
    White(255, 255, 255);

using Painter = std::function<void(QPainter&)>;

void px(QPainter& p, int x, int y, const QColor& c) {
    p.setPen(c);
    p.drawPoint(x, y);
}
void hline(QPainter& p, int x1, int x2, int y, const QColor& c) {
    p.setPen(c);
    p.drawLine(x1, y, x2, y);
}
void vline(QPainter& p, int x, int y1, int y2, const QColor& c) {
    p.setPen(c);
    p.drawLine(x, y1, x, y2);
}
void box(QPainter& p, int x, int y, int w, int h, const QColor& border, const QColor& fill) {
    p.fillRect(x, y, w, h, fill);
    p.setPen(border);
    p.drawRect(x, y, w - 1, h - 1);
}

// A sheet of paper with its top-right corner folded.
void page(QPainter& p, int x, int y, int w, int h) {
    const int fold = 3;
    p.fillRect(x, y, w - fold, h, White);
    p.fillRect(x, y + fold, w, h - fold, White);
    p.setPen(Black);
    p.drawLine(x, y, x + w - fold - 1, y);
    p.drawLine(x, y, x, y + h - 1);
    p.drawLine(x, y + h - 1, x + w - 1, y + h - 1);
    p.drawLine(x + w - 1, y + fold, x + w - 1, y + h - 1);
    p.drawLine(x + w - fold - 1, y, x + w - 1, y + fold);
    p.drawLine(x + w - fold - 1, y, x + w - fold - 1, y + fold);
    p.drawLine(x + w - fold - 1, y + fold, x + w - 1, y + fold);
}

// Grey text lines on a page.
void textLines(QPainter& p, int x1, int x2, int y1, int y2, const QColor& c = Grey) {
    for (int y = y1; y <= y2; y += 2) hline(p, x1, x2, y, c);
}

void letter(QPainter& p, const QString& text, const QRect& rect, const QColor& color, int pixelSize, bool bold,
            bool italic = false, bool underline = false) {
    QFont font("DejaVu Sans");
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
    p.setPen(color);
    p.drawText(rect, Qt::AlignCenter, text);
}

void folder(QPainter& p) {
    box(p, 1, 4, 6, 3, Black, Yellow);
    box(p, 1, 5, 13, 9, Black, Olive);
    QPolygon front({QPoint(3, 8), QPoint(15, 8), QPoint(13, 13), QPoint(1, 13)});
    p.setPen(Black);
    p.setBrush(Yellow);
    p.drawPolygon(front);
    p.setBrush(Qt::NoBrush);
}

void disk(QPainter& p) {
    box(p, 1, 1, 14, 14, Black, Navy);
    box(p, 4, 1, 8, 6, Black, White);
    p.fillRect(9, 2, 2, 4, Navy);
    box(p, 3, 9, 10, 6, Black, Silver);
    hline(p, 5, 10, 11, Grey);
}

void printer(QPainter& p) {
    box(p, 4, 1, 8, 6, Black, White);
    textLines(p, 5, 10, 3, 5);
    box(p, 1, 6, 14, 7, Black, Silver);
    hline(p, 2, 13, 7, White);
    px(p, 12, 9, Lime);
    box(p, 3, 11, 10, 4, Black, White);
}

void globe(QPainter& p, const QRect& r) {
    p.setPen(Black);
    p.setBrush(Aqua);
    p.drawEllipse(r);
    p.setBrush(Green);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRect(r.x() + 2, r.y() + 2, r.width() / 2, r.height() / 3));
    p.drawEllipse(QRect(r.x() + r.width() / 2, r.y() + r.height() / 2, r.width() / 3, r.height() / 3));
    p.setBrush(Qt::NoBrush);
    p.setPen(Blue);
    p.drawLine(r.center().x(), r.top() + 1, r.center().x(), r.bottom() - 1);
}

void envelope(QPainter& p, int x, int y, int w, int h) {
    box(p, x, y, w, h, Black, White);
    p.setPen(Black);
    p.drawLine(x, y, x + w / 2, y + h / 2);
    p.drawLine(x + w - 1, y, x + w / 2, y + h / 2);
}

void arrowRight(QPainter& p, int x, int y, const QColor& c) {
    hline(p, x, x + 5, y, c);
    hline(p, x, x + 5, y + 1, c);
    p.setPen(c);
    p.setBrush(c);
    p.drawPolygon(QPolygon({QPoint(x + 5, y - 3), QPoint(x + 8, y), QPoint(x + 8, y + 1), QPoint(x + 5, y + 4)}));
    p.setBrush(Qt::NoBrush);
}

void chain(QPainter& p, const QColor& c) {
    p.setPen(QPen(c, 2));
    p.drawRoundedRect(QRect(1, 6, 8, 5), 2, 2);
    p.drawRoundedRect(QRect(7, 6, 8, 5), 2, 2);
}

std::map<QString, Painter> pictures() {
    std::map<QString, Painter> m;
    m["new"] = [](QPainter& p) {
        page(p, 3, 1, 10, 14);
        px(p, 13, 1, Yellow), px(p, 14, 0, Yellow), px(p, 15, 2, Yellow);
    };
    m["open"] = [](QPainter& p) {
        folder(p);
        arrowRight(p, 8, 2, Green);
    };
    m["save"] = [](QPainter& p) { disk(p); };
    m["htmlimport"] = [](QPainter& p) {
        page(p, 6, 1, 9, 13);
        letter(p, "<>", QRect(6, 3, 9, 8), Blue, 7, true);
        arrowRight(p, 0, 11, Green);
    };
    m["htmlexport"] = [](QPainter& p) {
        page(p, 2, 1, 9, 13);
        letter(p, "<>", QRect(2, 3, 9, 8), Blue, 7, true);
        arrowRight(p, 7, 11, Red);
    };
    m["print"] = [](QPainter& p) { printer(p); };
    m["browser"] = [](QPainter& p) {
        box(p, 0, 1, 16, 14, Black, White);
        p.fillRect(1, 2, 14, 2, Navy);
        globe(p, QRect(4, 5, 8, 8));
    };
    m["undo"] = [](QPainter& p) {
        p.setPen(QPen(Navy, 2));
        p.drawArc(QRect(3, 4, 10, 9), 90 * 16, -200 * 16);
        p.setPen(Navy);
        p.setBrush(Navy);
        p.drawPolygon(QPolygon({QPoint(1, 4), QPoint(7, 1), QPoint(7, 8)}));
        p.setBrush(Qt::NoBrush);
    };
    m["cut"] = [](QPainter& p) {
        p.setPen(QPen(Grey, 1));
        p.drawLine(5, 1, 10, 9);
        p.drawLine(10, 1, 5, 9);
        p.setPen(QPen(Navy, 1));
        p.drawEllipse(QRect(1, 9, 5, 5));
        p.drawEllipse(QRect(9, 9, 5, 5));
        px(p, 7, 6, Black);
    };
    m["copy"] = [](QPainter& p) {
        page(p, 1, 1, 8, 10);
        textLines(p, 2, 6, 4, 9);
        page(p, 6, 5, 9, 11);
        textLines(p, 7, 12, 9, 14, Navy);
    };
    m["paste"] = [](QPainter& p) {
        box(p, 1, 2, 11, 13, Black, Olive);
        box(p, 4, 1, 5, 3, Black, Silver);
        page(p, 6, 6, 9, 10);
        textLines(p, 7, 12, 10, 14, Navy);
    };
    m["delete"] = [](QPainter& p) {
        p.setPen(QPen(Red, 2));
        p.drawLine(3, 3, 12, 12);
        p.drawLine(12, 3, 3, 12);
    };
    m["mailaddress"] = [](QPainter& p) {
        envelope(p, 0, 4, 13, 9);
        box(p, 9, 9, 7, 7, Black, Yellow);
        letter(p, "@", QRect(9, 9, 7, 7), Red, 7, true);
    };
    m["help"] = [](QPainter& p) {
        box(p, 2, 1, 11, 14, Black, Teal);
        vline(p, 4, 2, 13, Aqua);
        letter(p, "?", QRect(5, 2, 8, 12), Yellow, 11, true);
    };
    m["heading"] = [](QPainter& p) {
        letter(p, "H", QRect(0, 0, 11, 15), Navy, 13, true);
        letter(p, "1", QRect(9, 6, 7, 10), Red, 8, true);
    };
    m["body"] = [](QPainter& p) {
        page(p, 2, 1, 12, 14);
        p.fillRect(3, 2, 8, 2, Yellow);
        textLines(p, 4, 11, 6, 13, Navy);
    };
    m["linebreak"] = [](QPainter& p) {
        p.setPen(QPen(Navy, 2));
        p.drawLine(12, 2, 12, 9);
        p.drawLine(12, 9, 5, 9);
        p.setPen(Navy);
        p.setBrush(Navy);
        p.drawPolygon(QPolygon({QPoint(2, 9), QPoint(6, 5), QPoint(6, 13)}));
        p.setBrush(Qt::NoBrush);
    };
    m["paragraph"] = [](QPainter& p) { letter(p, QString(QChar(0x00B6)), QRect(0, 0, 16, 16), Navy, 15, true); };
    m["bold"] = [](QPainter& p) { letter(p, "B", QRect(0, 0, 16, 16), Black, 15, true); };
    m["italic"] = [](QPainter& p) { letter(p, "I", QRect(0, 0, 16, 16), Navy, 15, true, true); };
    m["underline"] = [](QPainter& p) {
        letter(p, "U", QRect(0, -1, 16, 14), Black, 13, true);
        hline(p, 3, 12, 14, Blue);
        hline(p, 3, 12, 15, Blue);
    };
    m["center"] = [](QPainter& p) {
        const int w[] = {12, 8, 12, 6, 10};
        for (int i = 0; i < 5; ++i) hline(p, (16 - w[i]) / 2, (16 - w[i]) / 2 + w[i] - 1, 3 + i * 2, Black);
        vline(p, 7, 1, 14, Red);
    };
    m["right"] = [](QPainter& p) {
        const int w[] = {12, 8, 12, 6, 10};
        for (int i = 0; i < 5; ++i) hline(p, 14 - w[i], 13, 3 + i * 2, Black);
        vline(p, 14, 1, 14, Red);
    };
    m["fontsize"] = [](QPainter& p) {
        letter(p, "A", QRect(0, 4, 8, 11), Navy, 9, true);
        letter(p, "A", QRect(6, 0, 10, 16), Navy, 15, true);
    };
    m["fontcolor"] = [](QPainter& p) {
        letter(p, "A", QRect(0, -2, 16, 14), Black, 13, true);
        p.fillRect(1, 12, 14, 3, Red);
    };
    m["marquee"] = [](QPainter& p) {
        box(p, 0, 3, 16, 10, Black, Navy);
        letter(p, "ABC", QRect(1, 4, 14, 8), Yellow, 7, true);
        arrowRight(p, 2, 14, Red);
    };
    m["link"] = [](QPainter& p) { chain(p, Blue); };
    m["keyword"] = [](QPainter& p) {
        p.setPen(QPen(Navy, 2));
        p.drawLine(7, 2, 7, 13);
        p.drawLine(3, 4, 11, 4);
        p.drawArc(QRect(2, 6, 11, 8), 180 * 16, 180 * 16);
        box(p, 5, 0, 5, 3, Navy, Yellow);
    };
    m["pagelink"] = [](QPainter& p) {
        page(p, 0, 0, 10, 14);
        textLines(p, 2, 7, 3, 11);
        p.setPen(QPen(Blue, 1));
        p.drawArc(QRect(7, 3, 8, 9), 90 * 16, -180 * 16);
        p.setBrush(Blue);
        p.drawPolygon(QPolygon({QPoint(8, 12), QPoint(11, 9), QPoint(11, 14)}));
        p.setBrush(Qt::NoBrush);
    };
    m["mail"] = [](QPainter& p) {
        envelope(p, 1, 3, 14, 10);
        arrowRight(p, 6, 13, Red);
    };
    m["image"] = [](QPainter& p) {
        box(p, 1, 2, 14, 12, Black, Aqua);
        p.setPen(Qt::NoPen);
        p.setBrush(Green);
        p.drawPolygon(QPolygon({QPoint(2, 12), QPoint(6, 6), QPoint(10, 12)}));
        p.drawPolygon(QPolygon({QPoint(7, 12), QPoint(11, 8), QPoint(14, 12)}));
        p.setBrush(Yellow);
        p.drawEllipse(QRect(10, 3, 3, 3));
        p.setBrush(Qt::NoBrush);
    };
    m["clearwrap"] = [](QPainter& p) {
        box(p, 1, 1, 6, 6, Black, Aqua);
        hline(p, 8, 14, 2, Black);
        hline(p, 8, 14, 4, Black);
        hline(p, 8, 14, 6, Black);
        p.setPen(QPen(Red, 1));
        p.drawLine(10, 8, 10, 11);
        p.drawLine(10, 11, 3, 11);
        p.drawLine(3, 11, 5, 9);
        p.drawLine(3, 11, 5, 13);
        hline(p, 1, 14, 14, Black);
    };
    m["hrule"] = [](QPainter& p) {
        textLines(p, 2, 13, 2, 4);
        p.fillRect(0, 7, 16, 2, Grey);
        hline(p, 0, 15, 7, Silver);
        textLines(p, 2, 13, 11, 13);
    };
    m["frameset"] = [](QPainter& p) {
        box(p, 0, 1, 16, 14, Black, White);
        p.fillRect(1, 2, 14, 2, Navy);
        vline(p, 5, 4, 13, Black);
        hline(p, 6, 14, 8, Black);
        p.fillRect(1, 4, 4, 10, Silver);
    };
    m["frame"] = [](QPainter& p) {
        box(p, 0, 1, 16, 14, Black, Silver);
        box(p, 5, 4, 10, 10, Red, White);
        textLines(p, 7, 12, 6, 12, Navy);
    };
    m["basetarget"] = [](QPainter& p) {
        p.setPen(Red);
        p.setBrush(White);
        p.drawEllipse(QRect(1, 1, 14, 14));
        p.setBrush(Red);
        p.drawEllipse(QRect(4, 4, 8, 8));
        p.setBrush(White);
        p.drawEllipse(QRect(6, 6, 4, 4));
        p.setBrush(Qt::NoBrush);
    };
    m["ulist"] = [](QPainter& p) {
        for (int i = 0; i < 3; ++i) {
            p.fillRect(1, 2 + i * 5, 3, 3, Navy);
            hline(p, 6, 14, 3 + i * 5, Black);
        }
    };
    m["olist"] = [](QPainter& p) {
        for (int i = 0; i < 3; ++i) {
            letter(p, QString::number(i + 1), QRect(0, i * 5, 5, 6), Navy, 6, true);
            hline(p, 6, 14, 3 + i * 5, Black);
        }
    };
    m["listitem"] = [](QPainter& p) {
        p.fillRect(1, 6, 4, 4, Red);
        hline(p, 7, 14, 7, Black);
        hline(p, 7, 12, 9, Grey);
    };
    return m;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: vela_icongen <output folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (const auto& [name, paint] : pictures()) {
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        paint(painter);
        painter.end();
        if (!image.save(out.filePath(name + ".png"))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
