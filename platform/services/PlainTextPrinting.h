#pragma once
// Plain-text printing as the platform's line printer does it: each line from
// the left edge of the printable area, long lines continued on the next row,
// tab stops every eight average character widths, new pages when full. The
// layout is separate from the device so it can be checked without a printer.

#include <QFontMetricsF>
#include <QString>

#include <functional>
#include <vector>

class QFont;
class QPagedPaintDevice;

namespace vela {

/// A piece of one printed row starting at `x` (device pixels from the left edge).
struct PrintedRun {
    qreal x = 0;
    QString text;
};
using PrintedRow = std::vector<PrintedRun>;
using PrintedPage = std::vector<PrintedRow>;

/// The text's lines (split at CR LF, CR or LF; a final line break ends the last
/// line and adds none; empty text has no lines), as rows laid out on pages of
/// `pageWidth` × `pageHeight` device pixels.
std::vector<PrintedPage> layoutPlainText(const QString& text, const QFontMetricsF& metrics, qreal pageWidth,
                                         qreal pageHeight);

/// Paints `text` in `font` on `device`, one page after another. Throws AppError
/// when painting cannot start or a page cannot be added; `abortJob` runs before
/// the painter ends in that case, so a half-sent job can be cancelled.
void printPlainText(QPagedPaintDevice& device, const QFont& font, const QString& text,
                    const std::function<void()>& abortJob = {});

} // namespace vela
