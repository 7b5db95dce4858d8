// Draws the splash picture, the About logo, the program icon, the OK glyph
// and the desktop's program icons (appicon-SIZE.png, appicon.svg) into the
// folder given as the first argument (resources/pictures).
// Run once after changing a drawing; the PNG files are committed.
#include <QDir>
#include <QFile>
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

/// The sail mark's outlines in `box`: the sail, its shadowed half, two waves.
struct MarkPaths {
    QPainterPath sail, shadow;
    QPainterPath waves[2];
    qreal outline, waveWidth; ///< pen widths
};

MarkPaths markPaths(const QRectF& box) {
    const qreal w = box.width(), h = box.height();
    MarkPaths m;
    m.sail.moveTo(box.left() + w * 0.50, box.top() + h * 0.06);
    m.sail.cubicTo(box.left() + w * 0.86, box.top() + h * 0.30, box.left() + w * 0.88, box.top() + h * 0.56,
                   box.left() + w * 0.84, box.top() + h * 0.66);
    m.sail.lineTo(box.left() + w * 0.50, box.top() + h * 0.66);
    m.sail.closeSubpath();
    m.shadow.moveTo(box.left() + w * 0.44, box.top() + h * 0.18);
    m.shadow.lineTo(box.left() + w * 0.44, box.top() + h * 0.66);
    m.shadow.lineTo(box.left() + w * 0.14, box.top() + h * 0.66);
    m.shadow.closeSubpath();
    for (int i = 0; i < 2; ++i) {
        const qreal y = box.top() + h * (0.76 + 0.14 * i);
        QPainterPath& wv = m.waves[i];
        wv.moveTo(box.left() + w * 0.08, y);
        wv.cubicTo(box.left() + w * 0.30, y - h * 0.08, box.left() + w * 0.45, y + h * 0.08, box.left() + w * 0.62, y);
        wv.cubicTo(box.left() + w * 0.75, y - h * 0.06, box.left() + w * 0.85, y + h * 0.04, box.left() + w * 0.94, y);
    }
    m.outline = std::max<qreal>(1, w / 32);
    m.waveWidth = std::max<qreal>(1.5, w / 14);
    return m;
}

/// The sail mark of the program: a quill-like sail over two waves.
void drawMark(QPainter& p, const QRectF& box, const QColor& sail, const QColor& wave) {
    const MarkPaths m = markPaths(box);
    p.setPen(QPen(Qt::black, m.outline));
    p.setBrush(sail);
    p.drawPath(m.sail);
    p.setBrush(sail.darker(125));
    p.drawPath(m.shadow);
    p.setPen(QPen(wave, m.waveWidth, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (const QPainterPath& wv : m.waves) p.drawPath(wv);
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

// The program icon for the desktop, at the sizes its icon theme asks for: the same drawing as the
// 16-colour window icon, in full colour and smoothed, which reads better at every size.
const QColor IconFill(0, 0, 128), IconSail(Qt::white), IconWave(0, 255, 255);

QRectF iconFrame(qreal size) { return QRectF(size / 64, size / 64, size - size / 32, size - size / 32); }
QRectF iconMarkBox(qreal size) { return QRectF(size / 16, size / 32, size * 28 / 32, size * 28 / 32); }

QImage desktopIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, std::max<qreal>(1, size / 32.0)));
    p.setBrush(IconFill);
    p.drawRoundedRect(iconFrame(size), size / 8.0, size / 8.0);
    drawMark(p, iconMarkBox(size), IconSail, IconWave);
    return image;
}

QString svgPathData(const QPainterPath& path) {
    QString d;
    QPointF start;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        // A line back to the start ends the outline as closeSubpath did, so its corner is joined.
        const bool closing = e.type == QPainterPath::LineToElement && QPointF(e) == start &&
                             (i + 1 == path.elementCount() || path.elementAt(i + 1).type == QPainterPath::MoveToElement);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            start = e;
            d += QStringLiteral("M%1 %2 ").arg(e.x).arg(e.y);
            break;
        case QPainterPath::LineToElement: d += closing ? QStringLiteral("Z ") : QStringLiteral("L%1 %2 ").arg(e.x).arg(e.y); break;
        case QPainterPath::CurveToElement: d += QStringLiteral("C%1 %2 ").arg(e.x).arg(e.y); break;
        case QPainterPath::CurveToDataElement: d += QStringLiteral("%1 %2 ").arg(e.x).arg(e.y); break;
        }
    }
    return d.trimmed();
}

/// The same drawing as scalable SVG, on a 256 grid.
QByteArray desktopIconSvg() {
    const qreal size = 256;
    const MarkPaths m = markPaths(iconMarkBox(size));
    const QRectF frame = iconFrame(size);
    auto colour = [](const QColor& c) { return c.name(); };
    QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n");
    svg += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" fill=\"%6\" stroke=\"#000000\" stroke-width=\"%7\"/>\n")
               .arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height()).arg(size / 8)
               .arg(colour(IconFill)).arg(size / 32);
    svg += QStringLiteral("  <path d=\"%1\" fill=\"%2\" stroke=\"#000000\" stroke-width=\"%3\"/>\n")
               .arg(svgPathData(m.sail), colour(IconSail)).arg(m.outline);
    svg += QStringLiteral("  <path d=\"%1\" fill=\"%2\" stroke=\"#000000\" stroke-width=\"%3\"/>\n")
               .arg(svgPathData(m.shadow), colour(IconSail.darker(125))).arg(m.outline);
    for (const QPainterPath& wave : m.waves)
        svg += QStringLiteral("  <path d=\"%1\" fill=\"none\" stroke=\"%2\" stroke-width=\"%3\" stroke-linecap=\"round\"/>\n")
                   .arg(svgPathData(wave), colour(IconWave)).arg(m.waveWidth);
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
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
    // The desktop's icon theme sizes, 16 to 256, and the scalable one.
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        ok = ok && desktopIcon(size).save(out.filePath(QStringLiteral("appicon-%1.png").arg(size)));
    QFile svg(out.filePath("appicon.svg"));
    ok = ok && svg.open(QIODevice::WriteOnly) && svg.write(desktopIconSvg()) > 0;
    return ok ? 0 : 1;
}
