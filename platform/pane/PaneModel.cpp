#include "PaneModel.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace vela {

namespace {

/// Lengths of the lines of `bytes`, each up to and with its CR LF; the piece
/// after the last CR LF counts as a line only when `withTail`.
void appendLineLengths(std::string_view bytes, bool withTail, std::vector<int>& out) {
    std::size_t lineStart = 0, scan = 0;
    while (scan < bytes.size()) {
        const void* hit = std::memchr(bytes.data() + scan, '\n', bytes.size() - scan);
        if (!hit) break;
        // Trail bytes of CP932 lie at 0x40 and above: a LF byte is always a LF.
        const std::size_t lf = std::size_t(static_cast<const char*>(hit) - bytes.data());
        scan = lf + 1;
        if (lf > lineStart && bytes[lf - 1] == '\r') {
            out.push_back(int(lf + 1 - lineStart));
            lineStart = lf + 1;
        }
    }
    if (withTail) out.push_back(int(bytes.size() - lineStart));
}

} // namespace

PaneModel::PaneModel() {
    m_formats.emplace_back(); // NoFormat
    m_lines.assign({0});
}

PaneModel::FormatId PaneModel::intern(const rtf::RunFormat& format) {
    for (std::size_t i = 0; i < m_formats.size(); ++i)
        if (m_formats[i] == format) return FormatId(i);
    m_formats.push_back(format);
    return FormatId(m_formats.size() - 1);
}

std::size_t PaneModel::runAt(std::size_t pos) const {
    if (m_runs.empty()) return 0;
    auto it = std::upper_bound(m_runs.begin(), m_runs.end(), pos,
                               [](std::size_t p, const Run& r) { return p < r.start; });
    return std::size_t(it - m_runs.begin()) - 1;
}

PaneModel::FormatId PaneModel::formatAt(std::size_t pos) const {
    if (m_runs.empty()) return NoFormat;
    return m_runs[runAt(std::min(pos, m_text->size() - 1))].format;
}

std::size_t PaneModel::splitAt(std::size_t pos) {
    if (pos >= m_text->size()) return m_runs.size();
    const std::size_t i = runAt(pos);
    if (m_runs[i].start == pos) return i;
    m_runs.insert(m_runs.begin() + std::ptrdiff_t(i) + 1, Run{std::uint32_t(pos), m_runs[i].format});
    return i + 1;
}

void PaneModel::joinAround(std::size_t first, std::size_t last) {
    if (m_runs.empty()) return;
    last = std::min(last, m_runs.size() - 1);
    if (first >= last) return;
    std::size_t out = first;
    for (std::size_t i = first + 1; i <= last; ++i) {
        if (m_runs[i].format == m_runs[out].format) continue;
        m_runs[++out] = m_runs[i];
    }
    m_runs.erase(m_runs.begin() + std::ptrdiff_t(out) + 1, m_runs.begin() + std::ptrdiff_t(last) + 1);
}

void PaneModel::assign(rtf::PackedRuns&& content) {
    m_text = std::make_shared<std::string>(std::move(content.text));
    m_formats.assign(1, rtf::RunFormat{});
    m_runs.clear();
    m_runs.reserve(content.starts.size());
    std::vector<FormatId> ids(content.formats.size());
    for (std::size_t i = 0; i < content.formats.size(); ++i) ids[i] = intern(content.formats[i]);
    for (const auto& start : content.starts) {
        if (start.offset >= m_text->size()) break;
        const FormatId id = ids[start.format];
        if (!m_runs.empty() && m_runs.back().start == start.offset) m_runs.pop_back();
        if (!m_runs.empty() && m_runs.back().format == id) continue;
        m_runs.push_back({std::uint32_t(start.offset), id});
    }
    if (!m_text->empty() && (m_runs.empty() || m_runs.front().start != 0))
        m_runs.insert(m_runs.begin(), Run{0, NoFormat});
    content = {};
    std::vector<int> lengths;
    appendLineLengths(*m_text, true, lengths);
    m_lines.assign(std::move(lengths));
    changed();
}

PaneModel::LineSpan PaneModel::linesTouched(std::size_t from, std::size_t length) const {
    // A byte more on each side: an edit next to a CR or a LF can make or break a line break.
    const std::size_t begin = from > 0 ? from - 1 : 0;
    const std::size_t end = std::min(from + length + 1, m_text->size());
    LineSpan span;
    span.first = m_lines.blockAt(int(begin));
    span.last = m_lines.blockAt(int(end));
    span.begin = std::size_t(m_lines.prefix(span.first));
    span.end = std::size_t(m_lines.prefix(span.last) + m_lines.length(span.last));
    return span;
}

void PaneModel::relines(LineSpan span, std::ptrdiff_t delta) {
    // The lines the old bytes touched, taken again from the new text; while the
    // last of them no longer ends in a line break, the next joins them.
    std::size_t end = std::size_t(std::ptrdiff_t(span.end) + delta);
    std::vector<int> lengths;
    for (;;) {
        lengths.clear();
        appendLineLengths(std::string_view(*m_text).substr(span.begin, end - span.begin), true, lengths);
        if (span.last + 1 == m_lines.blockCount()) break;
        if (lengths.back() == 0) {
            lengths.pop_back();
            break;
        }
        ++span.last;
        end += std::size_t(m_lines.length(span.last));
    }
    m_lines.replace(span.first, span.last - span.first + 1, lengths);
}

void PaneModel::replace(std::size_t from, std::size_t length, std::string_view bytes, FormatId format) {
    rtf::PackedRuns piece;
    if (!bytes.empty()) {
        piece.text.assign(bytes);
        piece.starts.push_back({0, 0});
    }
    piece.formats.push_back(m_formats[format]);
    replace(from, length, piece);
}

void PaneModel::replace(std::size_t from, std::size_t length, const rtf::PackedRuns& pieces) {
    from = std::min(from, m_text->size());
    length = std::min(length, m_text->size() - from);
    const std::size_t added = pieces.text.size();
    if (length == 0 && added == 0) return;

    const std::size_t a = splitAt(from);
    const std::size_t b = splitAt(from + length);
    std::vector<Run> inserted;
    inserted.reserve(pieces.starts.size());
    std::vector<FormatId> ids(pieces.formats.size(), NoFormat);
    std::vector<bool> known(pieces.formats.size(), false);
    for (const auto& start : pieces.starts) {
        if (start.offset >= added) break;
        if (!known[start.format]) {
            ids[start.format] = intern(pieces.formats[start.format]);
            known[start.format] = true;
        }
        inserted.push_back({std::uint32_t(from + start.offset), ids[start.format]});
    }
    if (added > 0 && (inserted.empty() || inserted.front().start != from))
        inserted.insert(inserted.begin(), Run{std::uint32_t(from), NoFormat});

    // The line index is read before the text changes.
    const LineSpan lines = linesTouched(from, length);
    // A reader on another thread keeps the text as it was.
    if (m_text.use_count() > 1) m_text = std::make_shared<std::string>(*m_text);
    m_text->replace(from, length, pieces.text);
    const std::ptrdiff_t delta = std::ptrdiff_t(added) - std::ptrdiff_t(length);
    for (std::size_t i = b; i < m_runs.size(); ++i) m_runs[i].start = std::uint32_t(std::ptrdiff_t(m_runs[i].start) + delta);
    m_runs.erase(m_runs.begin() + std::ptrdiff_t(a), m_runs.begin() + std::ptrdiff_t(b));
    m_runs.insert(m_runs.begin() + std::ptrdiff_t(a), inserted.begin(), inserted.end());
    if (m_text->empty()) m_runs.clear();
    const std::size_t after = a + inserted.size();
    joinAround(a > 0 ? a - 1 : 0, after);
    relines(lines, delta);
    changed();
}

void PaneModel::restyle(std::size_t from, std::size_t length, const std::function<void(rtf::RunFormat&)>& change) {
    from = std::min(from, m_text->size());
    length = std::min(length, m_text->size() - from);
    if (length == 0) return;
    const std::size_t a = splitAt(from);
    const std::size_t b = splitAt(from + length);
    std::unordered_map<FormatId, FormatId> changedIds;
    for (std::size_t i = a; i < b; ++i) {
        auto [it, fresh] = changedIds.try_emplace(m_runs[i].format, NoFormat);
        if (fresh) {
            rtf::RunFormat f = m_formats[m_runs[i].format];
            change(f);
            it->second = intern(f);
        }
        m_runs[i].format = it->second;
    }
    joinAround(a > 0 ? a - 1 : 0, b);
    changed();
}

rtf::SharedRuns PaneModel::shared() const {
    rtf::SharedRuns out;
    out.text = m_text;
    out.formats = m_formats;
    out.starts.reserve(m_runs.size());
    for (const Run& run : m_runs) out.starts.push_back({run.start, run.format});
    return out;
}

} // namespace vela
