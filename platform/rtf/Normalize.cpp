#include "Rtf.h"

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
    RunList out;
    out.reserve(runs.size());
    for (auto& run : runs) {
        if (run.text.empty()) continue;
        auto& f = run.format;
        detail::normalizeFormat(f);
        if (!out.empty() && out.back().format == f)
            out.back().text += run.text;
        else
            out.push_back(std::move(run));
    }
    return out;
}

bool looksLikeRtf(std::string_view bytes) { return bytes.starts_with("{\\rtf"); }

} // namespace vela::rtf
