#include "Rtf.h"

#include <algorithm>

namespace vela::rtf {

namespace detail {
void normalizeFormat(RunFormat& f) {
    if (f.font && f.font->empty()) f.font.reset();
    if (f.color) *f.color &= 0xFFFFFFu;
    if (f.halfPoints && *f.halfPoints <= 0) f.halfPoints.reset();
    if (f.halfPoints && *f.halfPoints > kMaxHalfPoints) f.halfPoints = kMaxHalfPoints;
}
} // namespace detail

RunList normalize(RunList runs) {
    // Compacts in place: the reader hands over lists of a million runs.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        auto& run = runs[i];
        if (run.text.empty()) continue;
        detail::normalizeFormat(run.format);
        if (kept > 0 && runs[kept - 1].format == run.format)
            runs[kept - 1].text += run.text;
        else if (kept++ != i)
            runs[kept - 1] = std::move(run);
    }
    runs.resize(kept);
    return runs;
}

void PackedRuns::append(std::string_view piece, const RunFormat& format) {
    if (piece.empty()) return;
    if (starts.empty() || !(formats[starts.back().format] == format)) {
        // Pages use a handful of formats; past that a new entry is cheaper than a search.
        constexpr std::size_t Searched = 32;
        std::size_t id = formats.size();
        for (std::size_t i = 0; i < std::min(formats.size(), Searched); ++i)
            if (formats[i] == format) {
                id = i;
                break;
            }
        if (id == formats.size()) formats.push_back(format);
        starts.push_back({text.size(), std::uint32_t(id)});
    }
    text.append(piece);
}

bool looksLikeRtf(std::string_view bytes) { return bytes.starts_with("{\\rtf"); }

} // namespace vela::rtf
