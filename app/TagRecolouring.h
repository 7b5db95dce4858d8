#pragma once
// Refresh and reset tag: colour hand-typed and imported tags the way the tag
// insertion engine colours inserted ones. Owns no state; works on the pane.

#include "CommandTable.h"
#include "EditorState.h"
#include "Pane.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace vela {

/// Colour of a tag's text: yellow for the structure tags (HTML, HEAD, BODY
/// in capitals anywhere in it), cyan for every other tag.
Color tagClassColor(std::string_view tagText);

/// A stretch of the text [begin, end) in bytes and the colour refresh gives it.
struct ColourSpan {
    std::size_t begin;
    std::size_t end;
    Color color;
};

/// What refresh colours in `text`, in order, in one pass: each stretch before
/// a tag white, each tag by its class. The last two bytes or fewer after the
/// last tag keep their colour; a longer rest with no complete tag is white.
std::vector<ColourSpan> refreshSpans(std::string_view text);

/// Runs given in order, with the colours of `spans` applied; every other
/// property kept. Neighbours of equal format are joined.
class RecolouredRuns {
public:
    RecolouredRuns(const std::vector<ColourSpan>& spans, std::size_t textBytes);
    void add(const rtf::RunFormat& format, std::string_view text);
    rtf::PackedRuns finish();

private:
    const std::vector<ColourSpan>& m_spans;
    std::size_t m_span = 0; // the first span that may still cover text
    std::size_t m_at = 0;   // bytes added so far
    rtf::PackedRuns m_out;
};


class TagRecolouring {
public:
    explicit TagRecolouring(Pane& pane);

    /// The menu entries R1 and KD1.
    CommandTable commands();

    /// Refresh of the whole document; the HTML import runs it as well.
    void R1Click();
    /// Reset of the first tag in the selection.
    void KD1Click();

    /// Fewer wrong stretches than this are recoloured in place; more rebuild the content.
    static constexpr std::size_t InPlaceLimit = 64;

private:
    Pane& m_pane;
};

} // namespace vela
