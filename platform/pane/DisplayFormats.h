#pragma once
// The view's side of formats: the widget's document holds plain text, and each
// block gets the colours, styles and sizes of its line from the model only when
// it is about to be laid out (drawn, measured for the caret). A refresh of a big
// page then costs the scan of the model plus what shows.

#include "PaneModel.h"

#include <QPlainTextDocumentLayout>
#include <QTextCharFormat>

#include <optional>
#include <vector>

namespace vela {

class DisplayFormats final : public QPlainTextDocumentLayout {
public:
    DisplayFormats(QTextDocument* document, const PaneModel& model);

    /// Every block shows its formats anew when next laid out (the model's formats changed wholesale).
    void invalidateAll();
    /// The blocks holding bytes [from, to] of the model show their formats anew.
    void invalidate(std::size_t from, std::size_t to);
    /// Gives the blocks around `block` their formats now: the caret keys that
    /// move by pages measure lines off the screen before anything paints them.
    void prepareAround(const QTextBlock& block);
    /// Sets the block's formats again now: the widget replaced them with those
    /// of uncommitted input.
    void reapply(const QTextBlock& block);
    /// While the pane changes the widget's text after the model's, the lines
    /// do not match: blocks laid out meanwhile get their formats afterwards.
    void setTextChanging(bool changing) { m_textChanging = changing; }
    /// True while formats are being set on a block: the document reports that as
    /// a change, which is none of the text's.
    bool applying() const { return m_applying; }

    /// The Qt format of a model format, made once per format.
    const QTextCharFormat& qtFormat(PaneModel::FormatId id);
    /// The model's format table, or the default font, was replaced: what was made of them no longer applies.
    void formatsReplaced();

    QRectF blockBoundingRect(const QTextBlock& block) const override;

private:
    void apply(const QTextBlock& block);
    /// An empty line is as high as the font of the line break before it, as
    /// the widget shows a line break with a format of its own; none: the default.
    std::optional<qreal> emptyLineHeight(const QTextBlock& block);

    const PaneModel& m_model;
    std::vector<std::optional<QTextCharFormat>> m_qtFormats;
    std::vector<std::optional<qreal>> m_lineHeights; ///< by format, of a line with no text
    /// A block whose user state equals the epoch shows its current formats.
    int m_epoch = 1;
    bool m_applying = false;
    bool m_textChanging = false;
};

/// The Qt format of a run format: only the properties the run has of its own.
QTextCharFormat toQtFormat(const rtf::RunFormat& format);

} // namespace vela
