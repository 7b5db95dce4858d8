#pragma once
// Single-byte Windows code pages for RTF text that is not in a CP932 font.

#include <array>

namespace vela::rtf::detail {

constexpr int kCp932 = 932;
constexpr char16_t kNoChar = 0xFFFF;

/// The UTF-16 unit of each byte of a single-byte code page, kNoChar where the
/// page has none. Pages iconv does not know (and double-byte pages other than
/// CP932) give a table of ASCII only. Built once per page.
const std::array<char16_t, 256>& singleByteTable(int codepage);

/// The code page an RTF \fcharset stands for; 0 when the charset defers to
/// the document's \ansicpg (DEFAULT_CHARSET, SYMBOL_CHARSET, unknown values).
int codepageOfCharset(int charset);

} // namespace vela::rtf::detail
