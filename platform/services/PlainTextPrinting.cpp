#include "PlainTextPrinting.h"

#include "AppError.h"

#include <QHash>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace vela {

namespace {
QStringList splitLines(const QString& text) {
    QStringList lines;
    if (text.isEmpty()) return lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) continue;
        lines << text.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
        start = i + 1;
    }
    if (start < text.size()) lines << text.mid(start);
    return lines;
}

/// Lays one line out into rows no wider than `width`, by character.
class RowBuilder {
public:
    RowBuilder(const QFontMetricsF& metrics, qreal width)
        : metrics_(metrics), width_(width), tabWidth_(std::max<qreal>(1, 8 * metrics.averageCharWidth())) {}

    std::vector<PrintedRow> layout(const QString& line) {
        rows_.clear();
        row_.clear();
        x_ = 0;
        for (qsizetype i = 0; i < line.size(); ++i) {
            // Keep surrogate pairs together.
            qsizetype length = line[i].isHighSurrogate() && i + 1 < line.size() ? 2 : 1;
            QString piece = line.mid(i, length);
            i += length - 1;
            if (piece == QLatin1String("\t")) {
                qreal next = (std::floor(x_ / tabWidth_) + 1) * tabWidth_;
                if (next > width_ && x_ > 0) {
                    breakRow();
                    next = tabWidth_;
                }
                x_ = std::min(next, width_);
                startRun();
                continue;
            }
            qreal advance = widthOf(piece);
            if (x_ + advance > width_ && x_ > 0) breakRow();
            if (row_.empty()) startRun();
            row_.back().text += piece;
            x_ += advance;
        }
        breakRow();
        return std::move(rows_);
    }

private:
    qreal widthOf(const QString& piece) {
        auto found = widths_.constFind(piece);
        if (found != widths_.cend()) return *found;
        qreal w = metrics_.horizontalAdvance(piece);
        widths_.insert(piece, w);
        return w;
    }
    void startRun() {
        if (row_.empty() || !row_.back().text.isEmpty()) row_.push_back({x_, {}});
        else row_.back().x = x_;
    }
    void breakRow() {
        if (!row_.empty() && row_.back().text.isEmpty()) row_.pop_back();
        rows_.push_back(std::move(row_));
        row_.clear();
        x_ = 0;
    }

    const QFontMetricsF& metrics_;
    qreal width_;
    qreal tabWidth_;
    QHash<QString, qreal> widths_;
    std::vector<PrintedRow> rows_;
    PrintedRow row_;
    qreal x_ = 0;
};
} // namespace

std::vector<PrintedPage> layoutPlainText(const QString& text, const QFontMetricsF& metrics, qreal pageWidth,
                                         qreal pageHeight) {
    std::size_t rowsPerPage = std::max<std::size_t>(1, std::size_t(pageHeight / metrics.lineSpacing()));
    std::vector<PrintedPage> pages;
    RowBuilder builder(metrics, pageWidth);
    for (const QString& line : splitLines(text)) {
        for (PrintedRow& row : builder.layout(line)) {
            if (pages.empty() || pages.back().size() == rowsPerPage) pages.emplace_back();
            pages.back().push_back(std::move(row));
        }
    }
    return pages;
}

void printPlainText(QPagedPaintDevice& device, const QFont& font, const QString& text,
                    const std::function<void()>& abortJob) {
    QPainter painter;
    if (!painter.begin(&device)) throw AppError("印刷を開始できません");
    auto fail = [&](const char* message) {
        if (abortJob) abortJob();
        if (painter.isActive()) painter.end();
        throw AppError(message);
    };
    QFont deviceFont(font, &device);
    painter.setFont(deviceFont);
    QFontMetricsF metrics(deviceFont, &device);
    std::vector<PrintedPage> pages = layoutPlainText(text, metrics, device.width(), device.height());
    for (std::size_t p = 0; p < pages.size(); ++p) {
        if (p > 0 && !device.newPage()) fail("印刷中にエラーが発生しました");
        qreal y = metrics.ascent();
        for (const PrintedRow& row : pages[p]) {
            for (const PrintedRun& run : row) painter.drawText(QPointF(run.x, y), run.text);
            y += metrics.lineSpacing();
        }
    }
    if (!painter.end()) fail("印刷中にエラーが発生しました");
}

} // namespace vela
