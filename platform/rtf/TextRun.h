#pragma once
// The neutral form of formatted text that the RTF codec reads and writes and
// the pane converts to and from its Qt document.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vela::rtf {

/// Character format of a run. Empty optionals mean "none of its own": the
/// text shows in the pane's default attributes.
struct RunFormat {
    std::optional<std::string> font;     ///< font name, UTF-8
    std::optional<std::uint32_t> color;  ///< 0x00BBGGRR
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::optional<int> halfPoints;       ///< size in half points (RTF \fs)
    bool operator==(const RunFormat&) const = default;
};

/// A stretch of text with one format. The text is CP932 bytes; a line break is CR LF.
struct TextRun {
    std::string text;
    RunFormat format;
    bool operator==(const TextRun&) const = default;
};

using RunList = std::vector<TextRun>;

/// The same content held compactly, for whole big pages: all the text in one
/// string and where each format starts. A RunList of a page with a tag every
/// few bytes takes many times the memory of its text.
struct PackedRuns {
    struct Start {
        std::size_t offset;  ///< into text; ascending, the first is 0
        std::uint32_t format; ///< into formats
    };
    std::string text;
    std::vector<RunFormat> formats;
    std::vector<Start> starts;

    /// Appends text in a format, joined to the last piece when it has that format.
    void append(std::string_view piece, const RunFormat& format);
    template <typename F> void forEach(F visit) const {
        for (std::size_t i = 0; i < starts.size(); ++i) {
            const std::size_t end = i + 1 < starts.size() ? starts[i + 1].offset : text.size();
            visit(formats[starts[i].format], std::string_view(text).substr(starts[i].offset, end - starts[i].offset));
        }
    }
};

/// A whole content frozen for a reader on another thread: the text is shared
/// with its owner, who copies it before changing it while it is shared.
struct SharedRuns {
    struct Start {
        std::uint32_t offset; ///< into *text; ascending, the first is 0
        std::uint32_t format; ///< into formats
    };
    std::shared_ptr<const std::string> text;
    std::vector<RunFormat> formats;
    std::vector<Start> starts;

    template <typename F> void forEach(F visit) const {
        for (std::size_t i = 0; i < starts.size(); ++i) {
            const std::size_t end = i + 1 < starts.size() ? starts[i + 1].offset : text->size();
            visit(formats[starts[i].format], std::string_view(*text).substr(starts[i].offset, end - starts[i].offset));
        }
    }
    PackedRuns packed() const {
        PackedRuns out;
        forEach([&out](const RunFormat& format, std::string_view piece) { out.append(piece, format); });
        return out;
    }
};

} // namespace vela::rtf
