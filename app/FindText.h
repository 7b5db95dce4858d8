#pragma once
// The search of the Search menu over the pane's CP932 bytes. A match starts
// only where a character starts, and ignoring case folds only the single-byte
// letters A-Z / a-z, so a search never selects half of a double-byte character.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vela {

class Pane;

struct FindOptions {
    bool down = true;       ///< forwards from the end of the selection; else backwards from its start
    bool matchCase = false;
};

/// Offset of the match of `text` (CP932) in `buffer`: forwards the first that
/// begins at or after selStart + selLength, backwards the nearest that ends at
/// or before selStart. Searches the whole buffer.
std::optional<std::size_t> SearchBuffer(std::string_view buffer, std::size_t selStart, std::size_t selLength,
                                        std::string_view text, const FindOptions& options);

/// `buffer` with its single-byte letters a-z folded to A-Z (trail bytes kept).
std::string FoldedForSearch(std::string_view buffer);

/// Finds `text` (CP932) in the pane from its selection and selects the match.
/// Keeps the folded copy of the text between finds while the pane is unchanged.
class PaneFinder {
public:
    bool find(Pane& pane, std::string_view text, const FindOptions& options);

private:
    const Pane* m_foldedPane = nullptr;
    std::uint64_t m_foldedVersion = 0;
    std::string m_folded;
};

} // namespace vela
