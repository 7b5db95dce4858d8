#include "TagRecolouring.h"

#include "TagInsertionEngine.h"

#include <algorithm>
#include <string>

namespace vela {
namespace {

/// Stretches of `spans` whose text does not have the span's colour of its
/// own yet, joined where they touch and share a colour.
std::vector<ColourSpan> wrongStretches(const std::vector<ColourStretch>& colours, const std::vector<ColourSpan>& spans) {
    std::vector<ColourSpan> wrong;
    auto add = [&wrong](std::size_t begin, std::size_t end, Color color) {
        if (!wrong.empty() && wrong.back().end == begin && wrong.back().color == color)
            wrong.back().end = end;
        else
            wrong.push_back({begin, end, color});
    };
    std::size_t index = 0, stretchBegin = 0;
    for (const ColourSpan& span : spans) {
        while (index < colours.size() && stretchBegin + colours[index].length <= span.begin)
            stretchBegin += colours[index++].length;
        std::size_t i = index, at = stretchBegin;
        while (i < colours.size() && at < span.end) {
            const std::size_t end = at + colours[i].length;
            if (colours[i].color != span.color) add(std::max(at, span.begin), std::min(end, span.end), span.color);
            at = end;
            ++i;
        }
    }
    return wrong;
}

} // namespace

Color tagClassColor(std::string_view tag) {
    for (const char* structure : {"HTML", "HEAD", "BODY"})
        if (tag.find(structure) != std::string_view::npos) return StructureYellow;
    return TagCyan;
}

std::vector<ColourSpan> refreshSpans(std::string_view text) {
    // '<' and '>' lie below every trail byte of CP932, so byte searches find only real brackets.
    std::vector<ColourSpan> spans;
    // At most a tag and the stretch before it per "<", and one stretch after the last.
    spans.reserve(2 * std::size_t(std::count(text.begin(), text.end(), '<')) + 1);
    const std::size_t length = text.size();
    std::size_t pos = 0;
    while (length - pos > 2) {
        const std::size_t open = text.find('<', pos);
        if (open == std::string_view::npos) {
            spans.push_back({pos, length, TextWhite});
            break;
        }
        if (open > pos) spans.push_back({pos, open, TextWhite});
        const std::size_t close = text.find('>', open);
        if (close == std::string_view::npos) {
            // An unfinished tag is ordinary text; the walk would never get past it.
            spans.push_back({open, length, TextWhite});
            break;
        }
        spans.push_back({open, close + 1, tagClassColor(text.substr(open, close + 1 - open))});
        pos = close + 1;
    }
    return spans;
}

RecolouredRuns::RecolouredRuns(const std::vector<ColourSpan>& spans, std::size_t textBytes) : m_spans(spans) {
    // Sized once: growing by doubling would hold half as much again at the end.
    m_out.text.reserve(textBytes);
    m_out.starts.reserve(spans.size() + 1);
}

void RecolouredRuns::add(const rtf::RunFormat& format, std::string_view text) {
    const std::size_t runEnd = m_at + text.size();
    std::size_t cut = m_at;
    while (cut < runEnd) {
        while (m_span < m_spans.size() && m_spans[m_span].end <= cut) ++m_span;
        std::size_t pieceEnd = runEnd;
        if (m_span < m_spans.size() && m_spans[m_span].begin <= cut) {
            rtf::RunFormat coloured = format;
            coloured.color = m_spans[m_span].color;
            pieceEnd = std::min(runEnd, m_spans[m_span].end);
            m_out.append(text.substr(cut - m_at, pieceEnd - cut), coloured);
        } else {
            if (m_span < m_spans.size()) pieceEnd = std::min(runEnd, m_spans[m_span].begin);
            m_out.append(text.substr(cut - m_at, pieceEnd - cut), format);
        }
        cut = pieceEnd;
    }
    m_at = runEnd;
}

rtf::PackedRuns RecolouredRuns::finish() { return std::move(m_out); }

TagRecolouring::TagRecolouring(Pane& pane) : m_pane(pane) {}

CommandTable TagRecolouring::commands() {
    CommandTable t;
    t.menu = {
        {"R1", "Menu20", "リフレッシュ(&R)", [this] { R1Click(); }},
        {"KD1", "Menu20", "タグの色、スタイル、大きさを通常の状態に戻す(&D)", [this] { KD1Click(); }},
    };
    return t;
}

void TagRecolouring::R1Click() {
    const std::string& text = m_pane.text();
    if (text.size() > 2) {
        // The colours alone say what is wrong; the text is copied into runs only
        // when the whole content is rebuilt.
        std::vector<ColourSpan> spans = refreshSpans(text);
        std::vector<ColourSpan> wrong = wrongStretches(m_pane.colours(), spans);
        if (wrong.size() < InPlaceLimit) {
            // A page refreshed before needs only its hand-typed tags touched.
            for (const ColourSpan& stretch : wrong) {
                m_pane.setSelStart(int(stretch.begin));
                m_pane.setSelLength(int(stretch.end - stretch.begin));
                m_pane.setSelColor(stretch.color);
            }
        } else {
            // Recoloured straight from the document into one packed copy: on a big
            // page run lists would dominate the memory the refresh needs.
            std::vector<ColourSpan>().swap(wrong);
            RecolouredRuns recoloured(spans, text.size());
            m_pane.forEachRun([&recoloured](const rtf::RunFormat& format, std::string_view piece) {
                recoloured.add(format, piece);
            });
            rtf::PackedRuns runs = recoloured.finish();
            std::vector<ColourSpan>().swap(spans);
            m_pane.setPackedRuns(std::move(runs));
        }
        m_pane.setModified(true);
    }
    m_pane.setSelStart(0);
}

void TagRecolouring::KD1Click() {
    const int start = m_pane.selStart();
    const std::string selected = m_pane.selText();
    m_pane.setSelColor(TextWhite);
    m_pane.setModified(true);

    const std::size_t open = selected.find('<');
    const std::size_t close = open == std::string::npos ? std::string::npos : selected.find('>', open);
    // Without a complete tag only the whitening shows, and the selection stays.
    if (close == std::string::npos) return;

    m_pane.setSelStart(start + int(open));
    m_pane.setSelLength(int(close + 1 - open));
    m_pane.setSelSize(NormalPointSize);
    m_pane.setSelStyle(FontStyle::None);
    m_pane.setSelColor(tagClassColor(std::string_view(selected).substr(open, close + 1 - open)));
}

} // namespace vela
