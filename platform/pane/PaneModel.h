#pragma once
// What the pane's document is, apart from how it shows: the CP932 text, its
// lines, and the character formats as runs over byte ranges. Refresh, the
// selection attributes, RTF and the undo snapshot read and change this; the
// widget only shows it. A page with a tag every few bytes has hundreds of
// thousands of runs, so a run is two numbers and its format is shared.

#include "BlockIndex.h"
#include "TextRun.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vela {

class PaneModel {
public:
    using FormatId = std::uint32_t;
    /// Text with no format of its own: it shows in the default attributes.
    static constexpr FormatId NoFormat = 0;

    PaneModel();

    /// The whole text; a line break is CR LF.
    const std::string& text() const { return *m_text; }
    std::size_t size() const { return m_text->size(); }
    /// Byte lengths of the lines, each with its CR LF but the last.
    const BlockIndex& lines() const { return m_lines; }
    /// Counts changes of text or format.
    std::uint64_t revision() const { return m_revision; }

    FormatId intern(const rtf::RunFormat& format);
    const rtf::RunFormat& format(FormatId id) const { return m_formats[id]; }
    /// The format of the byte at pos; past the end, of the last byte.
    FormatId formatAt(std::size_t pos) const;

    /// Replaces the whole content.
    void assign(rtf::PackedRuns&& content);
    /// Replaces [from, from + length) by bytes in one format.
    void replace(std::size_t from, std::size_t length, std::string_view bytes, FormatId format);
    /// Replaces [from, from + length) by formatted pieces.
    void replace(std::size_t from, std::size_t length, const rtf::PackedRuns& pieces);
    /// Passes the format of every run in [from, from + length) through change.
    void restyle(std::size_t from, std::size_t length, const std::function<void(rtf::RunFormat&)>& change);

    /// Calls visit(format id, text) for [from, to) in order, a piece per run.
    template <typename F> void forEachRun(std::size_t from, std::size_t to, F visit) const {
        to = std::min(to, m_text->size());
        if (from >= to) return;
        for (std::size_t i = runAt(from); i < m_runs.size() && m_runs[i].start < to; ++i) {
            const std::size_t begin = std::max<std::size_t>(from, m_runs[i].start);
            const std::size_t end = std::min<std::size_t>(to, runEnd(i));
            visit(m_runs[i].format, std::string_view(*m_text).substr(begin, end - begin));
        }
    }
    /// The whole content for a reader on another thread, its text shared until
    /// the model next changes it: a big page is not copied for the undo snapshot.
    rtf::SharedRuns shared() const;

private:
    struct Run {
        std::uint32_t start;
        FormatId format;
    };
    std::size_t runAt(std::size_t pos) const; ///< the run holding byte pos
    std::size_t runEnd(std::size_t i) const { return i + 1 < m_runs.size() ? m_runs[i + 1].start : m_text->size(); }
    /// Splits the run holding pos so that a run starts there; returns its index.
    std::size_t splitAt(std::size_t pos);
    /// Joins neighbours of one format in [first, last] and drops empty runs.
    void joinAround(std::size_t first, std::size_t last);
    struct LineSpan {
        int first = 0, last = 0;          ///< lines
        std::size_t begin = 0, end = 0;   ///< their bytes
    };
    LineSpan linesTouched(std::size_t from, std::size_t length) const;
    void relines(LineSpan span, std::ptrdiff_t delta);
    void changed() { ++m_revision; }

    /// Shared with readers of shared(); copied before a change while they hold it.
    std::shared_ptr<std::string> m_text = std::make_shared<std::string>();
    BlockIndex m_lines;
    std::vector<rtf::RunFormat> m_formats;
    std::vector<Run> m_runs; ///< starts ascending; the first at 0 unless the text is empty
    std::uint64_t m_revision = 0;
};

} // namespace vela
