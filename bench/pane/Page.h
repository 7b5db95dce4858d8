#pragma once
// A generated HTML page of about `bytes` CP932 bytes: tags, Japanese and
// half-width text, CR LF line ends.

#include "Cp932.h"

#include <string>

namespace vela::bench {

inline std::string generatedPage(std::size_t bytes) {
    const std::string lines[] = {
        cp932::fromUtf8("<P>日本語の本文です。表示とソースの確認。</P>\r\n"),
        cp932::fromUtf8("<A HREF=\"index.htm\">ﾄｯﾌﾟへ戻る</A><BR>\r\n"),
        cp932::fromUtf8("<FONT COLOR=\"#FF0000\">Plain ASCII text, some more words.</FONT>\r\n"),
        cp932::fromUtf8("\r\n"),
    };
    std::string page = "<HTML>\r\n<HEAD>\r\n</HEAD>\r\n<BODY>\r\n";
    for (std::size_t i = 0; page.size() < bytes; ++i) page += lines[i % 4];
    page += "</BODY>\r\n</HTML>\r\n";
    return page;
}

} // namespace vela::bench
