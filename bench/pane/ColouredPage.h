#pragma once
// A generated page as refresh leaves it, as runs for the pane.

#include "Page.h"
#include "TextRun.h"

namespace vela::bench {

// The page as refresh leaves it: every tag cyan, the text between white.
inline rtf::RunList colouredRuns(const std::string& page) {
    rtf::RunList runs;
    std::size_t pos = 0;
    while (pos < page.size()) {
        const std::size_t open = page.find('<', pos);
        const std::size_t close = open == std::string::npos ? std::string::npos : page.find('>', open);
        if (close == std::string::npos) {
            runs.push_back({page.substr(pos), {}});
            break;
        }
        rtf::RunFormat white, cyan;
        white.color = 0xFFFFFF;
        cyan.color = 0xFFFF00;
        if (open > pos) runs.push_back({page.substr(pos, open - pos), white});
        runs.push_back({page.substr(open, close + 1 - open), cyan});
        pos = close + 1;
    }
    return runs;
}

} // namespace vela::bench
