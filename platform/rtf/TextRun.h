#pragma once
// The neutral form of formatted text that the RTF codec reads and writes and
// the pane converts to and from its Qt document.

#include <cstdint>
#include <optional>
#include <string>
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

} // namespace vela::rtf
