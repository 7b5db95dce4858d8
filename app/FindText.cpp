#include "FindText.h"

#include "Cp932.h"
#include "Pane.h"

#include <string>
#include <vector>

namespace vela {
namespace {

unsigned char foldAscii(unsigned char byte) { return byte >= 'a' && byte <= 'z' ? byte - ('a' - 'A') : byte; }

/// The search text prepared for comparison: folded where it is a single-byte
/// character, and which of its bytes may be folded in the buffer.
struct Pattern {
    std::string bytes;
    std::vector<bool> foldable;
};

Pattern preparePattern(std::string_view text, bool matchCase) {
    Pattern p{std::string(text), std::vector<bool>(text.size(), false)};
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (cp932::isLeadByte(static_cast<unsigned char>(text[i]))) {
            ++i; // the trail byte is never folded
            continue;
        }
        if (!matchCase) {
            p.foldable[i] = true;
            p.bytes[i] = char(foldAscii(static_cast<unsigned char>(text[i])));
        }
    }
    return p;
}

// A match starting on a character boundary has the same lead bytes as the
// pattern, so the pattern tells which buffer bytes are single-byte characters.
bool matchesAt(std::string_view buffer, std::size_t at, const Pattern& p) {
    for (std::size_t j = 0; j < p.bytes.size(); ++j) {
        unsigned char b = static_cast<unsigned char>(buffer[at + j]);
        if (p.foldable[j]) b = foldAscii(b);
        if (b != static_cast<unsigned char>(p.bytes[j])) return false;
    }
    return true;
}

} // namespace

std::optional<std::size_t> SearchBuffer(std::string_view buffer, std::size_t selStart, std::size_t selLength,
                                        std::string_view text, const FindOptions& options) {
    const std::size_t length = buffer.size();
    const std::size_t len = text.size();
    if (length == 0 || len == 0 || len > length) return std::nullopt;
    const Pattern pattern = preparePattern(text, options.matchCase);

    std::size_t first = 0, last = 0; // candidate starts, inclusive
    if (options.down) {
        first = selStart + selLength;
        if (first > length - len) return std::nullopt;
        last = length - len;
    } else {
        if (selStart < len) return std::nullopt;
        first = 0;
        last = std::min(selStart, length) - len;
    }

    // Walking by characters from the start keeps every candidate on a boundary.
    std::optional<std::size_t> found;
    for (std::size_t pos = 0; pos <= last;) {
        if (pos >= first && matchesAt(buffer, pos, pattern)) {
            if (options.down) return pos;
            found = pos;
        }
        pos += cp932::isLeadByte(static_cast<unsigned char>(buffer[pos])) ? 2 : 1;
    }
    return found;
}

bool SearchPane(Pane& pane, std::string_view text, const FindOptions& options) {
    if (text.empty()) return false;
    const std::string buffer = pane.text();
    const auto found = SearchBuffer(buffer, std::size_t(pane.selStart()), std::size_t(pane.selLength()), text, options);
    if (!found) return false;
    pane.setSelStart(int(*found));
    pane.setSelLength(int(text.size()));
    return true;
}

} // namespace vela
