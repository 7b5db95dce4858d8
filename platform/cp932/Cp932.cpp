#include "Cp932.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace vela::cp932 {
namespace {

constexpr char16_t kNoChar = 0xFFFF;   // no character (U+FFFF never comes from CP932)
constexpr std::uint16_t kNoCode = 0xFFFF; // no CP932 code (0xFF is never a CP932 byte)

bool isTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }
bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

struct Tables {
    std::array<char16_t, 65536> toUnicode{};  // index: byte, or lead << 8 | trail
    std::array<std::uint16_t, 65536> toCode{}; // index: BMP code point
    std::array<std::uint8_t, 65536> width{};
    std::array<std::uint64_t, 1024> stable{}; // bit per code: it decodes and encodes back to itself
    bool asciiStable = true;
    // The JIS code points of user text and the characters they become.
    static constexpr std::array<char16_t, 7> kJisVariants = {0x301C, 0x2016, 0x2212, 0x00A2, 0x00A3, 0x00AC, 0x2014};
    std::array<char16_t, kJisVariants.size()> jisFolded{};

    bool isStable(unsigned code) const { return stable[code >> 6] >> (code & 63) & 1; }

    Tables() {
        toUnicode.fill(kNoChar);
        toCode.fill(kNoCode);
        std::unique_ptr<void, int (*)(iconv_t)> dec(iconv_open("UTF-16LE", "CP932"), iconv_close);
        std::unique_ptr<void, int (*)(iconv_t)> enc(iconv_open("CP932", "UTF-16LE"), iconv_close);
        if (dec.get() == reinterpret_cast<iconv_t>(-1) || enc.get() == reinterpret_cast<iconv_t>(-1)) {
            std::fputs("iconv has no CP932 table\n", stderr);
            std::abort();
        }
        auto decodeOne = [&](const unsigned char* in, std::size_t len) -> char16_t {
            iconv(dec.get(), nullptr, nullptr, nullptr, nullptr);
            char* ip = const_cast<char*>(reinterpret_cast<const char*>(in));
            unsigned char out[8];
            char* op = reinterpret_cast<char*>(out);
            std::size_t il = len, ol = sizeof out;
            if (iconv(dec.get(), &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) || il != 0 || sizeof out - ol != 2)
                return kNoChar;
            return static_cast<char16_t>(out[0] | out[1] << 8);
        };
        for (unsigned b = 0; b < 256; ++b) {
            // 0x80, 0xA0 and 0xFD-0xFF decode to nothing, as on Windows.
            if (isLeadByte(b) || b == 0x80 || b == 0xA0 || b >= 0xFD) continue;
            unsigned char in[1] = {static_cast<unsigned char>(b)};
            toUnicode[b] = decodeOne(in, 1);
        }
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isLeadByte(lead)) continue;
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                if (!isTrailByte(trail)) continue;
                unsigned char in[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
                toUnicode[lead << 8 | trail] = decodeOne(in, 2);
            }
        }
        // iconv's own code for one character, or kNoCode.
        auto encodeOne = [&](char16_t u) -> unsigned {
            iconv(enc.get(), nullptr, nullptr, nullptr, nullptr);
            unsigned char in[2] = {static_cast<unsigned char>(u & 0xFF), static_cast<unsigned char>(u >> 8)};
            char* ip = reinterpret_cast<char*>(in);
            unsigned char out[4];
            char* op = reinterpret_cast<char*>(out);
            std::size_t il = 2, ol = sizeof out;
            if (iconv(enc.get(), &ip, &il, &op, &ol) == static_cast<std::size_t>(-1)) return kNoCode;
            const std::size_t n = sizeof out - ol;
            return n == 1 ? out[0] : n == 2 ? unsigned(out[0] << 8 | out[1]) : kNoCode;
        };
        // The inverse of decoding; where several codes decode to one character
        // (NEC and IBM duplicates), iconv's own choice wins, as on Windows.
        std::vector<std::uint8_t> seen(65536, 0);
        for (unsigned code = 0; code < 65536; ++code) {
            char16_t u = toUnicode[code];
            if (u == kNoChar) continue;
            if (seen[u]++ == 0) toCode[u] = static_cast<std::uint16_t>(code);
        }
        for (unsigned u = 0; u < 65536; ++u) {
            if (seen[u] < 2) continue;
            const unsigned code = encodeOne(static_cast<char16_t>(u));
            if (code != kNoCode && toUnicode[code] == u) toCode[u] = static_cast<std::uint16_t>(code);
        }
        for (unsigned u = 0; u < 65536; ++u) {
            if (isLowSurrogate(static_cast<char16_t>(u))) width[u] = 0;
            else if (toCode[u] != kNoCode && toCode[u] > 0xFF) width[u] = 2;
            else width[u] = 1;
        }
        // iconv encodes each of these one way; the yen sign and the overline,
        // which it also maps one way (to 0x5C and 0x7E), stay references.
        for (std::size_t i = 0; i < kJisVariants.size(); ++i) {
            const char16_t u = kJisVariants[i];
            const unsigned code = encodeOne(u);
            const char16_t to = code != kNoCode && code > 0xFF ? toUnicode[code] : kNoChar;
            jisFolded[i] = to == kNoChar ? u : to;
        }
        for (unsigned code = 0; code < 65536; ++code) {
            char16_t u = toUnicode[code];
            if (u != kNoChar && toCode[u] == code) stable[code >> 6] |= std::uint64_t(1) << (code & 63);
            else if (code < 0x80) asciiStable = false;
        }
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

std::string hexByte(unsigned char b) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X", b);
    return buf;
}

std::string codePointName(char32_t cp) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
    return buf;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | cp >> 18);
        out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Walks UTF-16, calling f(codePoint, unitCount); unpaired surrogates come as themselves.
template <typename F> void forEachCodePoint(std::u16string_view text, F f) {
    for (std::size_t i = 0; i < text.size();) {
        char16_t u = text[i];
        if (isHighSurrogate(u) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            f(0x10000 + ((char32_t(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00), 2);
            i += 2;
        } else {
            f(char32_t(u), 1);
            ++i;
        }
    }
}

void appendCode(std::string& out, std::uint16_t code) {
    if (code > 0xFF) out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
}

// Decodes one character at text[i]; returns its length in bytes and the
// character, or kNoChar when the bytes decode to nothing.
std::size_t decodeAt(std::string_view text, std::size_t i, char16_t& ch) {
    const Tables& t = tables();
    auto b = static_cast<unsigned char>(text[i]);
    if (isLeadByte(b)) {
        if (i + 1 < text.size() && isTrailByte(static_cast<unsigned char>(text[i + 1]))) {
            ch = t.toUnicode[b << 8 | static_cast<unsigned char>(text[i + 1])];
            return 2;
        }
        ch = kNoChar;
        return 1;
    }
    ch = t.toUnicode[b];
    return 1;
}

} // namespace

bool isCharBoundary(std::string_view text, std::size_t pos) {
    if (pos == 0 || pos >= text.size()) return pos <= text.size();
    // A byte that cannot lead ends a character (as itself or as a trail), so the
    // lead-range bytes between it and pos pair up from there: pos starts a
    // character when there is an even number of them. Usually zero or two.
    std::size_t leads = 0;
    while (leads < pos && isLeadByte(static_cast<unsigned char>(text[pos - 1 - leads]))) ++leads;
    return leads % 2 == 0;
}

int byteWidth(char16_t unit) { return tables().width[unit]; }

bool canEncode(char32_t cp) { return cp < 0x10000 && tables().toCode[cp] != kNoCode; }

std::size_t appendDecoded(std::u16string& out, std::string_view bytes) {
    std::size_t replaced = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        char16_t ch;
        i += decodeAt(bytes, i, ch);
        if (ch == kNoChar) {
            out += u'?';
            ++replaced;
        } else {
            out += ch;
        }
    }
    return replaced;
}

std::size_t decodeInto(char16_t* out, std::string_view bytes) {
    char16_t* at = out;
    for (std::size_t i = 0; i < bytes.size();) {
        char16_t ch;
        i += decodeAt(bytes, i, ch);
        *at++ = ch == kNoChar ? u'?' : ch;
    }
    return std::size_t(at - out);
}

std::string numericReference(char32_t cp) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "&#x%X;", static_cast<unsigned>(cp));
    return buf;
}

namespace {
// An unpaired surrogate is no character; a browser would show U+FFFD for it.
std::string referenceOf(char32_t cp) { return numericReference(cp >= 0xD800 && cp <= 0xDFFF ? 0xFFFD : cp); }
} // namespace

std::size_t referenceUnencodable(std::u16string& text) {
    const Tables& t = tables();
    auto holds = [&t](char16_t u) { return !isHighSurrogate(u) && !isLowSurrogate(u) && t.toCode[u] != kNoCode; };
    if (std::all_of(text.begin(), text.end(), holds)) return 0;
    std::u16string out;
    out.reserve(text.size() + 16);
    std::size_t referenced = 0;
    forEachCodePoint(text, [&](char32_t cp, int) {
        if (cp < 0x10000 && holds(static_cast<char16_t>(cp))) {
            out += static_cast<char16_t>(cp);
            return;
        }
        ++referenced;
        for (char c : referenceOf(cp)) out += static_cast<char16_t>(c);
    });
    text = std::move(out);
    return referenced;
}

std::size_t foldJisVariants(std::u16string& text) {
    const Tables& t = tables();
    std::size_t folded = 0;
    for (char16_t& u : text) {
        if (u < 0xA2 || (u > 0xAC && u < 0x2014) || u > 0x301C) continue; // nearly every character
        for (std::size_t i = 0; i < Tables::kJisVariants.size(); ++i) {
            if (u != Tables::kJisVariants[i] || t.jisFolded[i] == u) continue;
            u = t.jisFolded[i];
            ++folded;
            break;
        }
    }
    return folded;
}

std::size_t appendEncoded(std::string& out, std::u16string_view text, Unencodable as) {
    const Tables& t = tables();
    std::size_t replaced = 0;
    forEachCodePoint(text, [&](char32_t cp, int) {
        if (cp < 0x10000 && t.toCode[cp] != kNoCode) {
            appendCode(out, t.toCode[cp]);
            return;
        }
        ++replaced;
        if (as == Unencodable::QuestionMark)
            out += '?';
        else
            out += referenceOf(cp);
    });
    return replaced;
}

std::size_t canonicalize(std::string& bytes) {
    const Tables& t = tables();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        if (t.asciiStable && n - i >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p + i, 8);
            if ((word & 0x8080808080808080u) == 0) {
                i += 8;
                continue;
            }
        }
        unsigned b = p[i];
        unsigned code = b;
        std::size_t len = 1;
        if (isLeadByte(b)) {
            if (i + 1 >= n || !isTrailByte(p[i + 1])) break;
            code = b << 8 | p[i + 1];
            len = 2;
        }
        if (!t.isStable(code)) break;
        i += len;
    }
    if (i == n) return 0;

    // The rest goes character by character, exactly as decode then encode.
    std::string out;
    out.reserve(n);
    out.append(bytes, 0, i);
    std::size_t replaced = 0;
    while (i < n) {
        char16_t ch;
        i += decodeAt(bytes, i, ch);
        if (ch == kNoChar) {
            out += '?';
            ++replaced;
        } else {
            appendCode(out, t.toCode[ch]);
        }
    }
    bytes = std::move(out);
    return replaced;
}

Decoded decode(std::string_view bytes) {
    Decoded d;
    d.text.reserve(bytes.size());
    d.replaced = appendDecoded(d.text, bytes);
    return d;
}

Encoded encode(std::u16string_view text, Unencodable as) {
    Encoded e;
    e.bytes.reserve(text.size() * 2);
    e.replaced = appendEncoded(e.bytes, text, as);
    return e;
}

std::u16string decodeStrict(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    std::string bad;
    int badCount = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        char16_t ch;
        std::size_t n = decodeAt(bytes, i, ch);
        if (ch == kNoChar) {
            if (badCount++ < 8) {
                if (!bad.empty()) bad += ", ";
                for (std::size_t k = 0; k < n; ++k) bad += hexByte(static_cast<unsigned char>(bytes[i + k]));
                bad += " (" + std::to_string(i) + ")";
            }
        } else {
            out += ch;
        }
        i += n;
    }
    if (badCount > 0)
        throw ConversionError("Shift-JIS として読めないバイトがあります: " + bad + (badCount > 8 ? ", ..." : ""));
    return out;
}

std::string encodeStrict(std::u16string_view text) {
    const Tables& t = tables();
    std::string out;
    out.reserve(text.size() * 2);
    std::string bad;
    int badCount = 0;
    forEachCodePoint(text, [&](char32_t cp, int) {
        if (cp < 0x10000 && t.toCode[cp] != kNoCode) {
            appendCode(out, t.toCode[cp]);
        } else if (badCount++ < 8) {
            if (!bad.empty()) bad += ", ";
            bad += codePointName(cp);
            if (!(cp >= 0xD800 && cp <= 0xDFFF)) {
                bad += " \"";
                appendUtf8(bad, cp);
                bad += '"';
            }
        }
    });
    if (badCount > 0)
        throw ConversionError("Shift-JIS で表せない文字があります: " + bad + (badCount > 8 ? ", ..." : ""));
    return out;
}

std::string utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    forEachCodePoint(text, [&](char32_t cp, int) {
        appendUtf8(out, (cp >= 0xD800 && cp <= 0xDFFF) ? 0xFFFD : cp);
    });
    return out;
}

std::u16string utf8ToUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        auto b = static_cast<unsigned char>(s[i]);
        int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        char32_t cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
        bool ok = len > 0 && i + len <= s.size();
        for (int k = 1; ok && k < len; ++k) {
            auto c = static_cast<unsigned char>(s[i + k]);
            ok = (c >> 6) == 2;
            cp = cp << 6 | (c & 0x3F);
        }
        ok = ok && !(len == 2 && cp < 0x80) && !(len == 3 && cp < 0x800) && !(len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) &&
             !(cp >= 0xD800 && cp <= 0xDFFF);
        if (!ok) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += len;
    }
    return out;
}

std::string fromUtf8(std::string_view utf8) { return encodeStrict(utf8ToUtf16(utf8)); }

std::string toUtf8(std::string_view bytes) { return utf16ToUtf8(decode(bytes).text); }

} // namespace vela::cp932
