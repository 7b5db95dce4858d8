#include "DisplayFormats.h"

#include "Cp932.h"

#include <QColor>
#include <QTextBlock>
#include <QTextLayout>

#include <cmath>
#include <limits>

namespace vela {

QTextCharFormat toQtFormat(const rtf::RunFormat& f) {
    QTextCharFormat q;
    if (f.font) q.setFontFamilies({QString::fromUtf8(f.font->c_str())});
    if (f.color) q.setForeground(QColor(int(*f.color & 0xFF), int((*f.color >> 8) & 0xFF), int((*f.color >> 16) & 0xFF)));
    if (f.bold) q.setFontWeight(QFont::Bold);
    if (f.italic) q.setFontItalic(true);
    if (f.underline) q.setFontUnderline(true);
    if (f.halfPoints) q.setFontPointSize(*f.halfPoints / 2.0);
    return q;
}

DisplayFormats::DisplayFormats(QTextDocument* document, const PaneModel& model)
    : QPlainTextDocumentLayout(document), m_model(model) {}

void DisplayFormats::invalidateAll() {
    m_epoch = m_epoch == std::numeric_limits<int>::max() ? 1 : m_epoch + 1;
    // A block laid out before keeps its old formats until drawn again; have it drawn.
    emit update();
}

void DisplayFormats::reapply(const QTextBlock& block) {
    if (block.isValid()) apply(block);
}

void DisplayFormats::invalidate(std::size_t from, std::size_t to) {
    const BlockIndex& lines = m_model.lines();
    const int first = lines.blockAt(int(from));
    const int last = lines.blockAt(int(to));
    QTextBlock block = document()->findBlockByNumber(first);
    for (int n = first; block.isValid() && n <= last; ++n, block = block.next()) {
        block.setUserState(-1);
        // Laid out already: lay it out again with its formats before it shows.
        if (block.layout() && block.layout()->lineCount() > 0) apply(block);
    }
}

void DisplayFormats::prepareAround(const QTextBlock& block) {
    // Two screens of short lines either way: a page key moves by one.
    constexpr int Before = 150, After = 300;
    QTextBlock b = block;
    for (int i = 0; i < Before && b.previous().isValid(); ++i) b = b.previous();
    for (int i = 0; i < Before + After && b.isValid(); ++i, b = b.next())
        if (b.userState() != m_epoch) apply(b);
}

const QTextCharFormat& DisplayFormats::qtFormat(PaneModel::FormatId id) {
    if (id >= m_qtFormats.size()) m_qtFormats.resize(std::size_t(id) + 1);
    auto& slot = m_qtFormats[id];
    if (!slot) slot = toQtFormat(m_model.format(id));
    return *slot;
}

void DisplayFormats::formatsReplaced() {
    m_qtFormats.clear();
    m_lineHeights.clear();
}

std::optional<qreal> DisplayFormats::emptyLineHeight(const QTextBlock& block) {
    const int number = block.blockNumber();
    const BlockIndex& lines = m_model.lines();
    if (number == 0 || number >= lines.blockCount() || m_textChanging || document()->blockCount() != lines.blockCount())
        return std::nullopt;
    const PaneModel::FormatId id = m_model.formatAt(std::size_t(lines.prefix(number)) - 1);
    const rtf::RunFormat& format = m_model.format(id);
    if (!format.font && !format.halfPoints && !format.bold && !format.italic) return std::nullopt;
    if (id >= m_lineHeights.size()) m_lineHeights.resize(std::size_t(id) + 1);
    auto& height = m_lineHeights[id];
    if (!height) {
        // Laid out as the widget lays out a line: leading included.
        QTextLayout layout(QString(), qtFormat(id).font().resolve(document()->defaultFont()));
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLeadingIncluded(true);
        layout.endLayout();
        height = line.height() + (line.leading() < 0 ? std::ceil(line.leading()) : 0);
    }
    return height;
}

QRectF DisplayFormats::blockBoundingRect(const QTextBlock& block) const {
    auto* self = const_cast<DisplayFormats*>(this);
    if (block.isValid() && block.userState() != m_epoch) self->apply(block);
    QRectF rect = QPlainTextDocumentLayout::blockBoundingRect(block);
    if (block.isValid() && block.length() == 1 && rect.height() > 0)
        if (const std::optional<qreal> height = self->emptyLineHeight(block))
            rect.setHeight(*height + (block.next().isValid() ? 0 : document()->documentMargin()));
    return rect;
}

void DisplayFormats::apply(const QTextBlock& block) {
    QTextBlock b = block;
    // Marked first: setting the formats lays the block out again, which asks for its rectangle.
    b.setUserState(m_epoch);
    // Asked while an edit is under way, before the model has it: the lines do not match yet.
    if (m_textChanging || document()->blockCount() != m_model.lines().blockCount()) {
        b.setUserState(-1);
        return;
    }
    const int number = block.blockNumber();
    const BlockIndex& lines = m_model.lines();
    QList<QTextLayout::FormatRange> ranges;
    if (number < lines.blockCount()) {
        const std::size_t lineStart = std::size_t(lines.prefix(number));
        const std::size_t lineEnd = lineStart + std::size_t(lines.length(number));
        const QString text = block.text();
        const QChar* units = text.constData();
        const int unitCount = int(text.size());
        int unit = 0;
        std::size_t byte = lineStart;
        m_model.forEachRun(lineStart, lineEnd, [&](PaneModel::FormatId id, std::string_view piece) {
            const std::size_t pieceEnd = byte + piece.size();
            const int startUnit = unit;
            while (unit < unitCount && byte < pieceEnd) byte += std::size_t(cp932::byteWidth(units[unit++].unicode()));
            byte = std::max(byte, pieceEnd);
            if (id != PaneModel::NoFormat && unit > startUnit) {
                QTextLayout::FormatRange range;
                range.start = startUnit;
                range.length = unit - startUnit;
                range.format = qtFormat(id);
                ranges.push_back(range);
            }
        });
    }
    QTextLayout* layout = block.layout();
    // Uncommitted input shows inside the line: the text after it moves on by its
    // length, and the widget's own formats for it stay.
    const QString preedit = layout->preeditAreaText();
    if (!preedit.isEmpty()) {
        const int at = layout->preeditAreaPosition();
        const int shift = int(preedit.size());
        QList<QTextLayout::FormatRange> shifted;
        for (QTextLayout::FormatRange r : ranges) {
            if (r.start + r.length <= at) {
                shifted.push_back(r);
            } else if (r.start >= at) {
                r.start += shift;
                shifted.push_back(r);
            } else {
                QTextLayout::FormatRange after = r;
                r.length = at - r.start;
                after.start = at + shift;
                after.length -= r.length;
                shifted.push_back(r);
                shifted.push_back(after);
            }
        }
        for (const QTextLayout::FormatRange& r : layout->formats())
            if (r.start >= at && r.start + r.length <= at + shift) shifted.push_back(r);
        ranges = shifted;
    }
    if (ranges.isEmpty() && layout->formats().isEmpty()) return;
    m_applying = true;
    layout->setFormats(ranges);
    // Settled now, as Qt's own highlighter does: left pending, the document would
    // report this block with the next edit, as if the text between had changed.
    document()->markContentsDirty(block.position(), block.length());
    m_applying = false;
}

} // namespace vela
