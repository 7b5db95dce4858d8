#include "PageEncoding.h"

#include "Cp932.h"

#include <iconv.h>
#include <uchardet.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <type_traits>

namespace vela::encoding {
namespace {

// The detector reads at most this much of a file: plenty for its statistics,
// and a 10 MB page costs it no more than a small one. The whole file is then
// decoded in its answer, which is where bytes that do not fit show.
constexpr std::size_t kDetectBytes = 64 * 1024;

// Tolerated bytes that decode to nothing, per non-ASCII character read: a
// long page damaged in one place still reads in its encoding, with a "?".
constexpr std::size_t kCharactersPerBadSequence = 1000;

constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

enum class Kind { Cp932, Utf8, EucJp, Iso2022Jp, Utf16Le, Utf16Be, Other };

bool isJis(Kind k) { return k == Kind::EucJp || k == Kind::Iso2022Jp; }

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

std::string lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), lowerAscii);
    return out;
}

std::string upper(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; });
    return out;
}

// The labels browsers know for the encodings read and written by name here.
Kind kindOfLabel(std::string_view label) {
    static constexpr std::pair<std::string_view, Kind> labels[] = {
        {"shift_jis", Kind::Cp932},        {"shift-jis", Kind::Cp932},         {"sjis", Kind::Cp932},
        {"x-sjis", Kind::Cp932},           {"windows-31j", Kind::Cp932},       {"ms932", Kind::Cp932},
        {"ms_kanji", Kind::Cp932},         {"csshiftjis", Kind::Cp932},        {"cp932", Kind::Cp932},
        {"csWindows31J", Kind::Cp932},     {"x-ms-cp932", Kind::Cp932},        {"utf-8", Kind::Utf8},
        {"utf8", Kind::Utf8},              {"unicode-1-1-utf-8", Kind::Utf8},  {"unicode11utf8", Kind::Utf8},
        {"unicode20utf8", Kind::Utf8},     {"x-unicode20utf8", Kind::Utf8},    {"euc-jp", Kind::EucJp},
        {"x-euc-jp", Kind::EucJp},         {"cseucpkdfmtjapanese", Kind::EucJp}, {"iso-2022-jp", Kind::Iso2022Jp},
        {"csiso2022jp", Kind::Iso2022Jp},  {"utf-16", Kind::Utf16Le},          {"utf-16le", Kind::Utf16Le},
        {"unicodefeff", Kind::Utf16Le},    {"utf-16be", Kind::Utf16Be},        {"unicodefffe", Kind::Utf16Be},
    };
    const std::string l = lower(label);
    for (const auto& [name, kind] : labels)
        if (lower(name) == l) return kind;
    return Kind::Other;
}

// A name passed to iconv: letters, digits and the punctuation of charset
// names, nothing that could select iconv options ("//IGNORE").
bool isCharsetName(std::string_view name) {
    if (name.empty() || name.size() > 40) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               (c != '\0' && std::strchr("-_.:+()", c));
    });
}

std::string shownName(Kind kind, std::string_view label) {
    switch (kind) {
    case Kind::Utf8: return "UTF-8";
    case Kind::EucJp: return "EUC-JP";
    case Kind::Iso2022Jp: return "ISO-2022-JP";
    case Kind::Utf16Le: return "UTF-16LE";
    case Kind::Utf16Be: return "UTF-16BE";
    default: return upper(label);
    }
}

// JIS X 0208 characters that the JIS mapping tables (and so iconv's EUC-JP
// and ISO-2022-JP) put at other code points than Microsoft's. In a JIS-coded
// page they are the very characters CP932 holds at the same JIS position.
constexpr std::pair<char16_t, char16_t> kJisToMicrosoft[] = {
    {u'\u301C', u'\uFF5E'}, // 〜 wave dash / fullwidth tilde
    {u'\u2016', u'\u2225'}, // ‖ double vertical line / parallel to
    {u'\u2212', u'\uFF0D'}, // − minus sign / fullwidth hyphen-minus
    {u'\u00A2', u'\uFFE0'}, // ¢
    {u'\u00A3', u'\uFFE1'}, // £
    {u'\u00AC', u'\uFFE2'}, // ¬
};

void jisToMicrosoft(std::u16string& units) {
    for (char16_t& u : units)
        for (const auto& [jis, microsoft] : kJisToMicrosoft)
            if (u == jis) u = microsoft;
}

void microsoftToJis(std::u16string& units) {
    for (char16_t& u : units)
        for (const auto& [jis, microsoft] : kJisToMicrosoft)
            if (u == microsoft) u = jis;
}

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// How many bytes of a sequence that decodes to nothing to pass over, so that
// what follows is read in step: a double-byte code stays one "?".
std::size_t badSequenceLength(Kind kind, std::string_view rest) {
    auto at = [&rest](std::size_t i) { return i < rest.size() ? static_cast<unsigned char>(rest[i]) : 0u; };
    switch (kind) {
    case Kind::Utf16Le:
    case Kind::Utf16Be: return std::min<std::size_t>(2, rest.size());
    case Kind::EucJp:
        if (at(0) == 0x8F && at(1) >= 0xA1 && at(2) >= 0xA1) return 3;
        return at(0) >= 0xA1 && at(1) >= 0xA1 ? 2 : 1;
    case Kind::Iso2022Jp: // in ASCII a printable byte never fails: this is a double-byte code
        return at(0) >= 0x21 && at(0) <= 0x7E && at(1) >= 0x21 && at(1) <= 0x7E ? 2 : 1;
    default: return 1;
    }
}

struct Units {
    std::u16string text;
    std::size_t replaced = 0;
    std::size_t nonAscii = 0;
};

// Decodes with iconv; each sequence that decodes to nothing becomes one "?".
std::optional<Units> decodeAs(Kind kind, const char* charset, std::string_view bytes) {
    Converter converter(kUtf16, charset);
    if (!converter.ok()) return std::nullopt;
    Units units;
    std::u16string& out = units.text;
    out.resize(bytes.size() + 2);
    std::size_t used = 0;
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        if (out.size() - used < 2) out.resize(out.size() * 2);
        char* o = reinterpret_cast<char*>(out.data() + used);
        std::size_t oLeft = (out.size() - used - 1) * sizeof(char16_t); // one unit kept for a "?"
        const std::size_t result = iconv(converter.get(), &in, &inLeft, &o, &oLeft);
        used = std::size_t(reinterpret_cast<char16_t*>(o) - out.data());
        if (result != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        out[used++] = u'?';
        ++units.replaced;
        if (errno == EINVAL) break; // cut off at the end
        const std::size_t skip = badSequenceLength(kind, std::string_view(in, inLeft));
        in += skip;
        inLeft -= skip;
    }
    out.resize(used);
    // iconv's EUC-JP passes the bytes 0x80-0x9F through as C1 controls, which
    // no Japanese text holds: there they are bytes that do not fit.
    if (kind == Kind::EucJp)
        for (char16_t& u : out)
            if (u >= 0x80 && u <= 0x9F) {
                u = u'?';
                ++units.replaced;
            }
    units.nonAscii = std::size_t(std::count_if(out.begin(), out.end(), [](char16_t u) { return u >= 0x80; }));
    return units;
}

ReadText toCp932(Units units, Kind kind, std::string_view label) {
    if (isJis(kind)) jisToMicrosoft(units.text);
    ReadText read;
    read.text.reserve(units.text.size() * 2);
    read.referenced = cp932::appendEncoded(read.text, units.text, cp932::Unencodable::Reference);
    read.replaced = units.replaced;
    read.encoding = shownName(kind, label);
    return read;
}

ReadText readCp932(std::string_view bytes) {
    ReadText read;
    read.text.assign(bytes);
    read.replaced = cp932::canonicalize(read.text);
    return read;
}

enum class Fit {
    Any,    // a byte-order mark said so
    Mostly, // a few bad bytes among many characters: a damaged page
    Every,
};

// Reads the whole file as `kind`; nothing when the charset is unknown, or
// when too many bytes do not fit it.
std::optional<ReadText> readAs(Kind kind, std::string_view label, std::string_view bytes, Fit fit) {
    const char* name = kind == Kind::Utf8      ? "UTF-8"
                       : kind == Kind::EucJp   ? "EUC-JP-MS" // EUC-JP with the NEC and IBM rows of Windows pages
                       : kind == Kind::Iso2022Jp ? "ISO-2022-JP-2" // also reads half-width katakana (ESC ( I)
                       : kind == Kind::Utf16Le ? "UTF-16LE"
                       : kind == Kind::Utf16Be ? "UTF-16BE"
                                               : nullptr;
    const std::string other(label);
    if (!name) {
        if (!isCharsetName(other)) return std::nullopt;
        name = other.c_str();
    }
    std::optional<Units> units = decodeAs(kind, name, bytes);
    if (!units) return std::nullopt;
    if (fit == Fit::Every && units->replaced > 0) return std::nullopt;
    if (fit == Fit::Mostly && units->replaced * kCharactersPerBadSequence > units->nonAscii) return std::nullopt;
    return toCp932(std::move(*units), kind, label);
}

std::optional<Kind> detect(std::string_view prefix) {
    std::unique_ptr<std::remove_pointer_t<uchardet_t>, void (*)(uchardet_t)> detector(uchardet_new(), uchardet_delete);
    if (!detector || uchardet_handle_data(detector.get(), prefix.data(), prefix.size()) != 0) return std::nullopt;
    uchardet_data_end(detector.get());
    const std::string_view answer = uchardet_get_charset(detector.get());
    if (answer == "SHIFT_JIS") return Kind::Cp932;
    if (answer == "EUC-JP") return Kind::EucJp;
    if (answer == "ISO-2022-JP") return Kind::Iso2022Jp;
    if (answer == "UTF-8") return Kind::Utf8;
    return std::nullopt; // ASCII, another language's charset, or unsure
}

// Where the detector looks: from the line of the first byte that is not
// plain ASCII (a long ASCII head tells it nothing), cut at a line end so that
// no character is cut in two.
std::string_view detectionWindow(std::string_view bytes) {
    const auto first = std::find_if(bytes.begin(), bytes.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x80 || c == '\x1B';
    });
    const std::size_t lineEnd = bytes.substr(0, std::size_t(first - bytes.begin())).rfind('\n');
    const std::size_t start = lineEnd == std::string_view::npos ? 0 : lineEnd + 1;
    std::string_view window = bytes.substr(start, kDetectBytes);
    if (start + window.size() < bytes.size()) window = window.substr(0, window.rfind('\n') + 1);
    return window;
}

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

std::size_t findNoCase(std::string_view s, std::string_view word, std::size_t from = 0) {
    for (std::size_t i = from; i + word.size() <= s.size(); ++i) {
        std::size_t k = 0;
        while (k < word.size() && lowerAscii(s[i + k]) == word[k]) ++k;
        if (k == word.size()) return i;
    }
    return std::string_view::npos;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// Feeds `in` to the converter until all of it is written or a character
// cannot be; returns false in that case, with `in` starting at the character.
bool convertAll(iconv_t cd, std::u16string_view& in, std::string& out) {
    char* ip = const_cast<char*>(reinterpret_cast<const char*>(in.data()));
    std::size_t il = in.size() * sizeof(char16_t);
    bool complete = true;
    char buffer[16384];
    for (;;) {
        char* op = buffer;
        std::size_t ol = sizeof buffer;
        const std::size_t result = iconv(cd, &ip, &il, &op, &ol);
        out.append(buffer, std::size_t(op - buffer));
        if (result != static_cast<std::size_t>(-1)) break;
        if (errno != E2BIG) {
            complete = false;
            break;
        }
    }
    in.remove_prefix(in.size() - il / sizeof(char16_t));
    return complete;
}

// Writes the units, characters the charset cannot hold as references in the
// charset too; nothing when it cannot even write those.
std::optional<std::size_t> encodeWithReferences(iconv_t cd, std::u16string_view units, std::string& out) {
    std::size_t referenced = 0;
    while (!convertAll(cd, units, out)) {
        char32_t cp = units[0];
        std::size_t length = 1;
        if (cp >= 0xD800 && cp <= 0xDBFF && units.size() > 1 && units[1] >= 0xDC00 && units[1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units[1] - 0xDC00);
            length = 2;
        }
        units.remove_prefix(length);
        const std::string reference = cp932::numericReference(cp);
        const std::u16string referenceUnits(reference.begin(), reference.end());
        std::u16string_view pending = referenceUnits;
        if (!convertAll(cd, pending, out)) return std::nullopt;
        ++referenced;
    }
    // Back to the initial state (ISO-2022-JP ends in ASCII).
    char buffer[64];
    char* op = buffer;
    std::size_t ol = sizeof buffer;
    iconv(cd, nullptr, nullptr, &op, &ol);
    out.append(buffer, std::size_t(op - buffer));
    return referenced;
}

std::string joined(std::string first, const std::string& second) {
    if (first.empty()) return second;
    if (!second.empty()) first += "。" + second;
    return first;
}

} // namespace

ReadText readText(std::string_view bytes) {
    if (startsWith(bytes, "\xEF\xBB\xBF")) return *readAs(Kind::Utf8, {}, bytes.substr(3), Fit::Any);
    if (startsWith(bytes, "\xFF\xFE")) return *readAs(Kind::Utf16Le, {}, bytes.substr(2), Fit::Any);
    if (startsWith(bytes, "\xFE\xFF")) return *readAs(Kind::Utf16Be, {}, bytes.substr(2), Fit::Any);

    const std::optional<Kind> detected = detect(detectionWindow(bytes));
    if (detected == Kind::Cp932) return readCp932(bytes);
    std::optional<bool> cp932Reads;
    auto readsAsCp932 = [&] {
        if (!cp932Reads) cp932Reads = cp932::decode(bytes).replaced == 0;
        return *cp932Reads;
    };
    // Valid UTF-8 of two-byte sequences only is often valid CP932 too
    // (half-width katakana pairs look like accented Latin letters): it is UTF-8
    // then only when CP932 cannot read it. Japanese in UTF-8 takes three bytes.
    auto surelyUtf8 = [&] {
        return std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0xE0; }) ||
               !readsAsCp932();
    };
    if (detected && (*detected != Kind::Utf8 || surelyUtf8()))
        if (auto read = readAs(*detected, {}, bytes, Fit::Mostly)) return std::move(*read);

    // The declaration breaks the tie; one of another language's charset only
    // when CP932 cannot read the bytes.
    const std::string label = declaredCharset(bytes.substr(0, kDetectBytes));
    if (!label.empty()) {
        Kind declared = kindOfLabel(label);
        // A page that can declare its charset in ASCII is no UTF-16 page: browsers read it as UTF-8.
        if (declared == Kind::Utf16Le || declared == Kind::Utf16Be) declared = Kind::Utf8;
        const bool japanese = declared == Kind::Utf8 || isJis(declared);
        if (declared != Kind::Cp932 && (japanese || !readsAsCp932()))
            if (auto read = readAs(declared, label, bytes, Fit::Mostly)) return std::move(*read);
    }
    // Too short for the detector, and not CP932 either: UTF-8 or EUC-JP when
    // one of them reads every byte.
    if (!readsAsCp932())
        for (const Kind kind : {Kind::Utf8, Kind::EucJp})
            if (auto read = readAs(kind, {}, bytes, Fit::Every)) return std::move(*read);
    return readCp932(bytes);
}

WrittenPage writePage(std::string_view text) {
    WrittenPage page;
    const std::string label = declaredCharset(text);
    const Kind kind = label.empty() ? Kind::Cp932 : kindOfLabel(label);
    auto asCp932 = [&] {
        page.bytes.assign(text);
        return page;
    };
    if (kind == Kind::Cp932) return asCp932();
    const std::string name = kind == Kind::EucJp       ? "EUC-JP"
                             : kind == Kind::Iso2022Jp ? "ISO-2022-JP"
                             : kind == Kind::Other     ? label
                                                       : shownName(kind, label);
    std::optional<Converter> converter;
    if (isCharsetName(name)) converter.emplace(name.c_str(), kUtf16);
    if (converter && converter->ok()) {
        std::u16string units = cp932::decode(text).text;
        if (isJis(kind)) microsoftToJis(units);
        // A BOM lets browsers read UTF-16; its declaration alone they ignore.
        if (kind == Kind::Utf16Le || kind == Kind::Utf16Be) units.insert(units.begin(), u'\uFEFF');
        std::string bytes;
        bytes.reserve(units.size() * 2);
        if (const auto referenced = encodeWithReferences(converter->get(), units, bytes)) {
            page.bytes = std::move(bytes);
            page.charset = shownName(kind, label);
            page.referenced = *referenced;
            return page;
        }
    }
    page.unknownCharset = label;
    return asCp932();
}

std::string declaredCharset(std::string_view text) {
    for (std::size_t open = text.find('<'); open != std::string_view::npos; open = text.find('<', open + 1)) {
        const std::string_view rest = text.substr(open + 1);
        if (findNoCase(rest.substr(0, 4), "meta") != 0 || rest.size() < 5 || !(isSpace(rest[4]) || rest[4] == '/'))
            continue;
        // A tag ends at the next "<" too, and is looked at no further than
        // this: a page of "<meta " without ">" must not cost a scan per tag.
        constexpr std::size_t kLongestTag = 1024;
        std::string_view tag = rest.substr(0, kLongestTag);
        tag = tag.substr(0, tag.find_first_of("<>"));
        for (std::size_t at = findNoCase(tag, "charset"); at != std::string_view::npos;
             at = findNoCase(tag, "charset", at + 1)) {
            std::size_t i = at + 7;
            while (i < tag.size() && isSpace(tag[i])) ++i;
            if (i >= tag.size() || tag[i] != '=') continue;
            ++i;
            while (i < tag.size() && isSpace(tag[i])) ++i;
            if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) ++i;
            std::size_t end = i;
            while (end < tag.size() && !isSpace(tag[end]) && tag[end] != '\0' && !std::strchr("\"';>/", tag[end])) ++end;
            if (end > i) return std::string(tag.substr(i, end - i));
        }
    }
    return {};
}

std::string referencesNotice(std::size_t count, std::string_view charset) {
    if (count == 0) return {};
    return std::string(charset) + " で表せない " + std::to_string(count) + " 文字を文字参照 (&#x...;) にしました";
}

std::string readNotice(std::string_view encoding, std::size_t referenced) {
    return joined(encoding.empty() ? std::string() : std::string(encoding) + " として読み込みました",
                  referencesNotice(referenced));
}

std::string writeNotice(const WrittenPage& page) {
    if (!page.unknownCharset.empty())
        return "文字コード「" + page.unknownCharset + "」では書き出せないため、Shift-JIS で書き出しました";
    if (page.charset.empty()) return {};
    return joined(page.charset + " で書き出しました", referencesNotice(page.referenced, page.charset));
}

} // namespace vela::encoding
