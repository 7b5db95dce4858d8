#pragma once
// Pages in other encodings than the editor's own CP932: reading a plain-text
// file in the encoding it was written in, and writing the page in the charset
// its markup declares. A character the target cannot hold becomes an HTML
// numeric character reference ("&#xE9;"), which browsers show as the
// character, so nothing is lost on the way in or out.

#include <cstddef>
#include <string>
#include <string_view>

namespace vela::encoding {

/// A plain-text file read into CP932.
struct ReadText {
    std::string text;           ///< CP932, in the form a round trip by character gives
    std::string encoding;       ///< the encoding read ("UTF-8", "EUC-JP", ...); empty for CP932
    std::size_t replaced = 0;   ///< byte sequences that decoded to nothing, now "?"
    std::size_t referenced = 0; ///< characters CP932 cannot hold, now references
};

/// Reads a file's bytes in their own encoding. A byte-order mark (UTF-8,
/// UTF-16LE, UTF-16BE) decides and is dropped. Otherwise the detector's answer
/// among the Japanese encodings and UTF-8 is taken when the file decodes in
/// it, then the page's own declaration on the same condition; anything else,
/// and whenever the answer is unsure, reads as CP932 exactly as the bytes stand.
ReadText readText(std::string_view bytes);

/// The page's text as written to an HTML file.
struct WrittenPage {
    std::string bytes;
    std::string charset;        ///< the charset written, when not CP932 ("UTF-8", "EUC-JP", ...)
    std::string unknownCharset; ///< a declared charset that cannot be written; CP932 was written instead
    std::size_t referenced = 0; ///< characters the charset cannot hold, written as references
};

/// Writes CP932 page text in the charset its first declaration names; with
/// none, or a Shift_JIS one (Windows-31J, x-sjis and the like), the text's
/// own bytes. References already in the text stay as they stand.
WrittenPage writePage(std::string_view cp932Text);

/// The charset the first <meta> declaring one names (charset=... alone or in
/// a content="text/html; charset=..."), as written; empty when there is none.
std::string declaredCharset(std::string_view text);

/// Status-bar texts (UTF-8), the same wording wherever characters became
/// references. Empty when there is nothing to tell.
std::string referencesNotice(std::size_t count, std::string_view charset = "Shift-JIS");
std::string readNotice(std::string_view encoding, std::size_t referenced);
std::string writeNotice(const WrittenPage& page);

} // namespace vela::encoding
