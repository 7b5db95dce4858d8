// Draws the splash picture, the About logo, the program icon and the OK
// glyph into the folder given as the first argument (resources/pictures).
// Run once after changing a drawing; the PNG files are committed.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const char* const JapaneseFamily = "IPAGothic";

QFont font(const char* family, int pixels, bool bold = false) {
    QFont f(QString::fromUtf8(family));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

/// The sail mark of the program: a quill-like sail over two waves.
void drawMark(QPainter& p, const QRectF& box, const QColor& sail, const QColor& wave) {
    const qreal w = box.width(), h = box.height();
    QPainterPath s;
    s.moveTo(box.left() + w * 0.50, box.top() + h * 0.06);
    s.cubicTo(box.left() + w * 0.86, box.top() + h * 0.30, box.left() + w * 0.88, box.top() + h * 0.56,
              box.left() + w * 0.84, box.top() + h * 0.66);
    s.lineTo(box.left() + w * 0.50, box.top() + h * 0.66);
    s.closeSubpath();
    QPainterPath s2;
    s2.moveTo(box.left() + w * 0.44, box.top() + h * 0.18);
    s2.lineTo(box.left() + w * 0.44, box.top() + h * 0.66);
    s2.lineTo(box.left() + w * 0.14, box.top() + h * 0.66);
    s2.closeSubpath();
    p.setPen(QPen(Qt::black, std::max<qreal>(1, w / 32)));
    p.setBrush(sail);
    p.drawPath(s);
    p.setBrush(sail.darker(125));
    p.drawPath(s2);
    p.setPen(QPen(wave, std::max<qreal>(1.5, w / 14), Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 2; ++i) {
        const qreal y = box.top() + h * (0.76 + 0.14 * i);
        QPainterPath wv;
        wv.moveTo(box.left() + w * 0.08, y);
        wv.cubicTo(box.left() + w * 0.30, y - h * 0.08, box.left() + w * 0.45, y + h * 0.08, box.left() + w * 0.62, y);
        wv.cubicTo(box.left() + w * 0.75, y - h * 0.06, box.left() + w * 0.85, y + h * 0.04, box.left() + w * 0.94, y);
        p.drawPath(wv);
    }
}

QImage splash() {
    QImage image(316, 280, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 280);
    sky.setColorAt(0, QColor(0, 32, 96));
    sky.setColorAt(1, QColor(0, 96, 160));
    p.fillRect(image.rect(), sky);
    drawMark(p, QRectF(98, 18, 120, 120), QColor(255, 255, 255), QColor(0, 255, 255));
    p.setPen(QColor(255, 255, 0));
    p.setFont(font("DejaVu Sans", 26, true));
    p.drawText(QRect(0, 146, 316, 34), Qt::AlignCenter, QStringLiteral("VELA-VOVUZEZU"));
    p.setPen(Qt::white);
    p.setFont(font("DejaVu Sans", 17, true));
    p.drawText(QRect(0, 180, 316, 24), Qt::AlignCenter, QStringLiteral("DOZA RODORA"));
    p.setFont(font(JapaneseFamily, 15));
    p.setPen(QColor(0, 255, 255));
    p.drawText(QRect(0, 214, 316, 22), Qt::AlignCenter, QString::fromUtf8("HTML ソースエディタ"));
    p.setPen(QColor(200, 220, 255));
    p.setFont(font("DejaVu Sans", 12));
    p.drawText(QRect(0, 246, 316, 20), Qt::AlignCenter, QStringLiteral("Version 2.0a"));
    p.end();
    return image.convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither);
}

QImage logo() {
    QImage image(104, 64, QImage::Format_RGB32);
    image.fill(QColor(0, 32, 96));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawMark(p, QRectF(2, 4, 52, 52), Qt::white, QColor(0, 255, 255));
    p.setPen(QColor(255, 255, 0));
    p.setFont(font("DejaVu Sans", 17, true));
    p.drawText(QRect(52, 8, 50, 24), Qt::AlignCenter, QStringLiteral("VELA"));
    p.setPen(Qt::white);
    p.setFont(font(JapaneseFamily, 11));
    p.drawText(QRect(52, 34, 50, 20), Qt::AlignCenter, QString::fromUtf8("エディタ"));
    p.end();
    return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
}

QImage programIcon() {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::black);
    p.setBrush(QColor(0, 0, 128));
    p.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 4, 4);
    drawMark(p, QRectF(2, 1, 28, 28), Qt::white, QColor(0, 255, 255));
    p.end();
    // 16 colours, as the icon of its kind was.
    QVector<QRgb> palette = {qRgba(0, 0, 0, 0), qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),
                             qRgb(128, 128, 0), qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128),
                             qRgb(192, 192, 192), qRgb(128, 128, 128), qRgb(255, 0, 0),  qRgb(0, 255, 0),
                             qRgb(255, 255, 0), qRgb(0, 0, 255),     qRgb(0, 255, 255), qRgb(255, 255, 255)};
    return image.convertToFormat(QImage::Format_Indexed8, palette, Qt::ThresholdDither);
}

QImage okGlyph() {
    QImage image(18, 18, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 128, 0), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath tick;
    tick.moveTo(3, 9);
    tick.lineTo(7, 14);
    tick.lineTo(15, 4);
    p.drawPath(tick);
    return image;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    bool ok = splash().save(out.filePath("splash.png")) && logo().save(out.filePath("logo.png")) &&
              programIcon().save(out.filePath("programicon.png")) && okGlyph().save(out.filePath("okglyph.png"));
    return ok ? 0 : 1;
}
