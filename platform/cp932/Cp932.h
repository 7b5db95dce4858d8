#pragma once
// Code page 932 (Microsoft's Shift-JIS) for the whole editor: document text is
// CP932 bytes everywhere, and everything that enters or leaves it passes here.
// Tables are built once from iconv's "CP932" mapping, so every later call is a
// table lookup (no iconv call per character or per position query).

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vela::cp932 {

/// Thrown by the strict conversions; the message names the offending
/// characters (U+XXXX) or bytes (hex, with their offset), in UTF-8.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// True for bytes that start a double-byte character (0x81–0x9F, 0xE0–0xFC).
/// Inline: the RTF reader and the pane ask it for every byte.
inline bool isLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

/// True when `pos` does not split a double-byte character of `text`
/// (0 and text.size() are boundaries). Looks back only over the bytes before
/// `pos` that could be lead bytes, because a trail byte can look like one.
bool isCharBoundary(std::string_view text, std::size_t pos);

/// Bytes this UTF-16 unit takes in CP932: 1 or 2. Units CP932 cannot hold
/// count 1 (they would be written as "?"); a low surrogate counts 0 so a
/// surrogate pair counts as the single "?" it would become.
int byteWidth(char16_t unit);

/// True when CP932 holds this code point (round trip by character).
bool canEncode(char32_t codePoint);

struct Decoded {
    std::u16string text;
    std::size_t replaced = 0; ///< byte sequences that decoded to nothing and became "?"
};
struct Encoded {
    std::string bytes;
    std::size_t replaced = 0; ///< characters CP932 cannot hold, written as "?" or as references
};

/// What a character CP932 cannot hold becomes when encoding.
enum class Unencodable {
    QuestionMark, ///< "?": for text that should hold none (the pane's own document)
    Reference,    ///< an HTML numeric character reference, which every browser shows as the character
};

/// "&#xE9;": the reference of a code point, in uppercase hex.
std::string numericReference(char32_t codePoint);

/// Rewrites each character of `text` that CP932 cannot hold as its reference,
/// as encode(..., Reference) would write it, keeping the rest; returns how
/// many. Text CP932 can hold is only scanned.
std::size_t referenceUnencodable(std::u16string& text);

/// Text a user enters (typed, composed, pasted, dropped, in an edit box) may
/// hold the JIS code points that other programs here use for characters CP932
/// keeps under other ones: U+301C 〜, U+2016 ‖, U+2212 −, U+00A2 ¢, U+00A3 £,
/// U+00AC ¬ and U+2014 —. Each becomes the character its CP932 code decodes to,
/// as iconv's CP932 converter encodes it (U+301C: 0x8160, which decodes to
/// U+FF5E ～). Returns how many. Files keep their own rules: their readers
/// do not call this.
std::size_t foldJisVariants(std::u16string& text);

/// Conversions that never fail: bytes that decode to nothing become "?",
/// characters CP932 cannot hold become "?" or references (a surrogate pair is
/// one character, "&#x1F600;"; an unpaired surrogate is "&#xFFFD;"); all are counted.
Decoded decode(std::string_view bytes);
Encoded encode(std::u16string_view text, Unencodable as = Unencodable::QuestionMark);

/// The same, appending to `out` (no allocation per call once it has room);
/// both return how many were replaced.
std::size_t appendDecoded(std::u16string& out, std::string_view bytes);
/// The same into a buffer with room for bytes.size() units; returns the units written.
std::size_t decodeInto(char16_t* out, std::string_view bytes);
std::size_t appendEncoded(std::string& out, std::u16string_view text, Unencodable as = Unencodable::QuestionMark);

/// Rewrites CP932 bytes in the form a round trip by character gives, the
/// bytes of encode(decode(bytes)): NEC-selected IBM duplicates become the IBM
/// codes, bytes that decode to nothing become "?". Returns how many became
/// "?". Text already in that form (nearly all text) is scanned, not copied.
std::size_t canonicalize(std::string& bytes);

/// Strict conversions: throw ConversionError naming what cannot be converted.
std::u16string decodeStrict(std::string_view bytes);
std::string encodeStrict(std::u16string_view text);

/// UTF-8 <-> CP932, for literals of the source (tag texts, captions) and
/// for file names shown in messages. fromUtf8 is strict.
std::string fromUtf8(std::string_view utf8);
std::string toUtf8(std::string_view bytes);

/// UTF-16 <-> UTF-8 without CP932 in between.
std::string utf16ToUtf8(std::u16string_view text);
std::u16string utf8ToUtf16(std::string_view utf8);

} // namespace vela::cp932
