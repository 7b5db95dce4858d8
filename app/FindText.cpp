#include "FindText.h"

#include "Cp932.h"
#include "Pane.h"

#include <cstring>
#include <string>

namespace vela {
namespace {

unsigned char foldAscii(unsigned char byte) { return byte >= 'a' && byte <= 'z' ? byte - ('a' - 'A') : byte; }

} // namespace

std::string FoldedForSearch(std::string_view buffer) {
    std::string folded(buffer);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto byte = static_cast<unsigned char>(folded[i]);
        if (cp932::isLeadByte(byte))
            ++i; // the trail byte is never folded
        else
            folded[i] = char(foldAscii(byte));
    }
    return folded;
}

namespace {

// Folding maps letters to letters, never into or out of the lead-byte range,
// so `hay` (folded or not) has the same character boundaries as the text. A
// match at a boundary has the pattern's lead bytes, so comparing bytes is
// comparing characters.
std::optional<std::size_t> searchPrepared(std::string_view hay, std::size_t selStart, std::size_t selLength,
                                          std::string_view pattern, bool down) {
    const std::size_t length = hay.size();
    const std::size_t len = pattern.size();
    if (length == 0 || len == 0 || len > length) return std::nullopt;

    std::size_t first = 0, last = 0; // candidate starts, inclusive
    if (down) {
        first = selStart + selLength;
        if (first > length - len) return std::nullopt;
        last = length - len;
    } else {
        if (selStart < len) return std::nullopt;
        last = std::min(selStart, length) - len;
    }

    std::optional<std::size_t> found;
    for (std::size_t pos = first; pos <= last;) {
        const void* hit = memmem(hay.data() + pos, last + len - pos, pattern.data(), len);
        if (!hit) break;
        const auto at = std::size_t(static_cast<const char*>(hit) - hay.data());
        if (cp932::isCharBoundary(hay, at)) {
            if (down) return at;
            found = at;
        }
        pos = at + 1;
    }
    return found;
}

} // namespace

std::optional<std::size_t> SearchBuffer(std::string_view buffer, std::size_t selStart, std::size_t selLength,
                                        std::string_view text, const FindOptions& options) {
    if (options.matchCase) return searchPrepared(buffer, selStart, selLength, text, options.down);
    return searchPrepared(FoldedForSearch(buffer), selStart, selLength, FoldedForSearch(text), options.down);
}

bool PaneFinder::find(Pane& pane, std::string_view text, const FindOptions& options) {
    if (text.empty()) return false;
    const std::string& buffer = pane.text();
    std::string_view hay = buffer;
    if (!options.matchCase) {
        // Kept between finds: "find next" on a big page must not fold it again.
        if (m_foldedPane != &pane || m_foldedVersion != pane.contentVersion()) {
            m_folded = FoldedForSearch(buffer);
            m_foldedPane = &pane;
            m_foldedVersion = pane.contentVersion();
        }
        hay = m_folded;
    }
    const std::string pattern = options.matchCase ? std::string(text) : FoldedForSearch(text);
    const auto found =
        searchPrepared(hay, std::size_t(pane.selStart()), std::size_t(pane.selLength()), pattern, options.down);
    if (!found) return false;
    pane.setSelStart(int(*found));
    pane.setSelLength(int(text.size()));
    return true;
}

} // namespace vela
