#pragma once
// Helpers shared by the pane tests: CP932 literals and a brute-force model of
// byte positions computed from the pane's own text.

#include "Cp932.h"

#include <string>
#include <vector>

namespace vela::test {

inline std::string sj(const char* utf8) { return cp932::fromUtf8(utf8); }

/// Byte offsets where a caret may stand: not inside a double-byte character,
/// not between CR and LF. Scans from the start, as a trail byte can look like a lead byte.
inline std::vector<bool> boundaries(const std::string& text) {
    std::vector<bool> ok(text.size() + 1, false);
    for (std::size_t i = 0; i <= text.size();) {
        ok[i] = true;
        if (i == text.size()) break;
        const auto b = static_cast<unsigned char>(text[i]);
        if (b == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            i += 2;
        else if (cp932::isLeadByte(b) && i + 1 < text.size())
            i += 2;
        else
            i += 1;
    }
    return ok;
}

inline int boundaryBefore(const std::vector<bool>& ok, int pos) {
    while (!ok[std::size_t(pos)]) --pos;
    return pos;
}
inline int boundaryAfter(const std::vector<bool>& ok, int pos) {
    while (!ok[std::size_t(pos)]) ++pos;
    return pos;
}

} // namespace vela::test
