#include "Rtf.h"

#include "AppError.h"
#include "CodePages.h"
#include "Cp932.h"
#include "HugePages.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vela::rtf {
namespace {

// Groups nested deeper than this are skipped whole: no real document comes
// near it, and it bounds the stack of saved states on hostile input.
constexpr std::size_t kMaxDepth = 1000;
constexpr std::size_t kMaxWordLength = 32;
// Runs reserved up front at most (some 100 MB of TextRun); lists longer than
// that grow as vectors do, so huge inputs made mostly of pictures or hex data
// do not claim memory for runs they never hold.
constexpr std::size_t kMaxReservedRuns = std::size_t(1) << 20;

enum class Dest : std::uint8_t {
    Text,       // document text
    Skip,       // ignored destination: only braces and \bin matter
    FontTable,
    ColorTable,
    Upr,        // \upr: its first child is the ANSI text, the \*\ud child the Unicode one
    UprChild,   // child of \upr, until its first control word says which one it is
};

struct GroupState {
    int font = -1;       // \f number, -1 for the document default (\deff)
    int color = -1;      // \cf index, -1 for none
    int halfPoints = 0;  // 0 for none
    int uc = 1;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool ignorable = false; // \* seen; the next control word names an optional destination
    Dest dest = Dest::Text;
};

struct FontEntry {
    int charset = -1;
    std::u16string name;
    std::string pendingBytes; // name bytes not yet decoded (their charset may come later)
    std::optional<std::string> utf8;
    int codepage = 0; // 0: the document's
};

// What the run format depends on, compared before resolving names and colours.
struct FormatKey {
    int font, color, halfPoints;
    bool bold, italic, underline;
    bool operator==(const FormatKey&) const = default;
};

bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
constexpr int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
constexpr std::array<signed char, 256> kHexValues = [] {
    std::array<signed char, 256> table{};
    for (int c = 0; c < 256; ++c) table[c] = static_cast<signed char>(hexValue(static_cast<unsigned char>(c)));
    return table;
}();
bool isCp932Trail(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// Destinations whose content is not document text, written without \* by
// common writers.
bool isSkippedDestination(std::string_view w) {
    static constexpr std::string_view names[] = {
        "info",      "stylesheet", "pict",      "object",    "header",     "headerl",   "headerr",
        "headerf",   "footer",     "footerl",   "footerr",   "footerf",    "footnote",  "fldinst",
        "xe",        "tc",         "txe",       "rxe",       "pntext",     "listtext",  "template",
        "revtbl",    "rsidtbl",    "filetbl",   "annotation", "atnid",     "atnauthor", "bkmkstart",
        "bkmkend",   "nonshppict", "shppict",   "shp",       "datafield",  "fontemb",   "fontfile",
        "falt",      "panose",     "themedata", "colorschememapping", "latentstyles", "datastore",
        "xmlnstbl",  "mmathPr",    "listtable", "listoverridetable", "generator", "userprops",
        "docvar",    "pgdsctbl",   "sp",       "sn",         "sv",        "objdata",
        "blipuid",   "wgrffmtfilter", "operator", "author",  "title",      "company",   "keywords",
        "comment",   "doccomm",    "subject",   "fchars",    "lchars",     "pnseclvl",  "pn",
    };
    for (auto n : names)
        if (n == w) return true;
    return false;
}

class Reader {
public:
    explicit Reader(std::string_view in) : in_(in) {}

    ReadResult run() {
        // A format change costs some 30 bytes of RTF at least; reserving for
        // that many runs spares moving a million runs while growing (pages
        // never written stay untouched).
        reserveRuns(std::min(in_.size() / 32 + 1, kMaxReservedRuns));
        while (pos_ < in_.size() && !done_) step();
        flushSurrogate();
        finishFontEntry();
        if (!result_.runs.empty()) validateText(result_.runs.back());
        // The runs are already in normalize()'s form: each holds text, resolve()
        // gives canonical formats, and a run starts only where the format changes.
        return std::move(result_);
    }

private:
    void step() {
        auto c = static_cast<unsigned char>(in_[pos_]);
        switch (c) {
        case '{':
            ++pos_;
            openGroup();
            return;
        case '}':
            ++pos_;
            closeGroup();
            return;
        case '\\':
            if (inCp932Text() && startsTextEscape(pos_)) {
                textStretch();
                return;
            }
            ++pos_;
            control();
            return;
        case '\r':
        case '\n':
        case '\0':
            ++pos_;
            return;
        default:
            break;
        }
        if (c < 0x20 && c != '\t') {
            ++pos_;
            return;
        }
        if (skipFallback_ > 0) {
            --skipFallback_;
            ++pos_;
            return;
        }
        literalText();
    }

    // A stretch of plain characters. Raw double-byte characters in a CP932
    // font keep their trail byte even when it is \, { or }.
    void literalText() {
        std::size_t start = pos_;
        Dest d = dest();
        if (d != Dest::Text) {
            if (d == Dest::FontTable || d == Dest::ColorTable) {
                tableChar(static_cast<unsigned char>(in_[pos_]), false);
            } else if (d == Dest::UprChild) {
                st_.dest = Dest::Skip;
            }
            ++pos_;
            return;
        }
        bool dbcs = codepage() == detail::kCp932;
        if (dbcs) {
            textStretch();
            return;
        }
        while (pos_ < in_.size()) {
            auto b = static_cast<unsigned char>(in_[pos_]);
            if (b == '\\' || b == '{' || b == '}' || (b < 0x20 && b != '\t')) break;
            if (dbcs && cp932::isLeadByte(b) && pos_ + 1 < in_.size() &&
                isCp932Trail(static_cast<unsigned char>(in_[pos_ + 1])))
                pos_ += 2;
            else
                ++pos_;
        }
        textBytes(in_.substr(start, pos_ - start));
    }

    bool inCp932Text() {
        return overflow_ == 0 && st_.dest == Dest::Text && skipFallback_ == 0 && codepage() == detail::kCp932;
    }

    // \'hh with two hex digits, \\, \{ or \} at `at`: a text byte of its own.
    bool startsTextEscape(std::size_t at) const {
        if (in_.size() - at < 2) return false;
        char c = in_[at + 1];
        if (c == '\\' || c == '{' || c == '}') return true;
        return c == '\'' && in_.size() - at >= 4 && hexValue(static_cast<unsigned char>(in_[at + 2])) >= 0 &&
               hexValue(static_cast<unsigned char>(in_[at + 3])) >= 0;
    }

    // Text in a CP932 font, the bulk of every document: literal stretches and
    // byte escapes go straight into the current run, with no per-byte
    // dispatch. It gives what step() would byte by byte (the format cannot
    // change in between) and stops at anything else, which step() handles.
    void textStretch() {
        flushSurrogate();
        std::string& out = runText();
        char buf[512]; // appended in pieces, so the run's text grows a few times, not byte by byte
        std::size_t n = 0;
        const char* p = in_.data() + pos_;
        const char* end = in_.data() + in_.size();
        while (p < end) {
            if (n + 2 > sizeof buf) {
                out.append(buf, n);
                n = 0;
            }
            auto b = static_cast<unsigned char>(*p);
            if (b == '\\') {
                if (end - p < 2) break;
                char c = p[1];
                if (c == '\'') {
                    int hi = end - p < 4 ? -1 : kHexValues[static_cast<unsigned char>(p[2])];
                    int lo = end - p < 4 ? -1 : kHexValues[static_cast<unsigned char>(p[3])];
                    if (hi < 0 || lo < 0) break;
                    buf[n++] = static_cast<char>(hi << 4 | lo);
                    p += 4;
                } else if (c == '\\' || c == '{' || c == '}') {
                    buf[n++] = c;
                    p += 2;
                } else {
                    break;
                }
                continue;
            }
            if (b == '{' || b == '}' || (b < 0x20 && b != '\t')) break;
            // Literal text: a double-byte character keeps its trail byte even
            // when it is \, { or }. Pairing starts afresh after each escape.
            do {
                if (cp932::isLeadByte(b) && end - p > 1 && isCp932Trail(static_cast<unsigned char>(p[1]))) {
                    buf[n++] = static_cast<char>(b);
                    buf[n++] = p[1];
                    p += 2;
                } else {
                    buf[n++] = static_cast<char>(b);
                    ++p;
                }
                if (p == end || n + 2 > sizeof buf) break;
                b = static_cast<unsigned char>(*p);
            } while (b != '\\' && b != '{' && b != '}' && (b >= 0x20 || b == '\t'));
        }
        out.append(buf, n);
        pos_ = static_cast<std::size_t>(p - in_.data());
    }

    void openGroup() {
        skipFallback_ = 0;
        if (overflow_ > 0 || stack_.size() >= kMaxDepth) {
            ++overflow_;
            return;
        }
        stack_.push_back(st_);
        st_.ignorable = false;
        if (st_.dest == Dest::Upr) st_.dest = Dest::UprChild;
    }

    void closeGroup() {
        skipFallback_ = 0;
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (st_.dest == Dest::FontTable && (stack_.empty() || stack_.back().dest != Dest::FontTable))
            finishFontEntry();
        if (stack_.empty()) { // a '}' with no group open
            done_ = true;
            return;
        }
        st_ = stack_.back();
        stack_.pop_back();
        if (stack_.empty()) done_ = true; // the document group has closed; what follows is not RTF
    }

    Dest dest() const { return overflow_ > 0 ? Dest::Skip : st_.dest; }

    void control() {
        if (pos_ >= in_.size()) return;
        auto c = static_cast<unsigned char>(in_[pos_]);
        if (isLetter(c)) {
            controlWord();
            return;
        }
        ++pos_;
        if (c == '\'') {
            hexByte();
            return;
        }
        if (dest() == Dest::Skip) return;
        if (c == '*') {
            st_.ignorable = true;
            return;
        }
        if (skipFallback_ > 0) {
            --skipFallback_;
            return;
        }
        switch (c) {
        case '\\':
        case '{':
        case '}':
            escapedChar(c);
            break;
        case '~': text(" "); break;
        case '_': text("-"); break;
        case '\t': text("\t"); break;
        case '\r':
        case '\n': text("\r\n"); break;
        default: break; // \- optional hyphen, \| \: and unknown symbols
        }
    }

    void escapedChar(unsigned char c) {
        Dest d = dest();
        if (d == Dest::Text) {
            char ch = static_cast<char>(c);
            textBytes(std::string_view(&ch, 1));
        } else if (d == Dest::FontTable || d == Dest::ColorTable) {
            tableChar(c, true);
        } else if (d == Dest::UprChild) {
            st_.dest = Dest::Skip;
        }
    }

    void hexByte() {
        int hi = pos_ < in_.size() ? hexValue(static_cast<unsigned char>(in_[pos_])) : -1;
        int lo = hi >= 0 && pos_ + 1 < in_.size() ? hexValue(static_cast<unsigned char>(in_[pos_ + 1])) : -1;
        if (hi >= 0) ++pos_;
        if (lo >= 0) ++pos_;
        if (dest() == Dest::Skip) return;
        if (skipFallback_ > 0) {
            --skipFallback_;
            return;
        }
        if (hi < 0 || lo < 0) { // not a byte: count it as a character that became "?"
            if (dest() == Dest::Text) {
                flushSurrogate();
                appendToRun("?");
                ++result_.replaced;
            }
            return;
        }
        escapedChar(static_cast<unsigned char>(hi << 4 | lo));
    }

    void controlWord() {
        std::size_t start = pos_;
        while (pos_ < in_.size() && isLetter(static_cast<unsigned char>(in_[pos_]))) ++pos_;
        std::string_view word = in_.substr(start, pos_ - start);
        bool negative = false;
        if (pos_ + 1 < in_.size() && in_[pos_] == '-' && isDigit(static_cast<unsigned char>(in_[pos_ + 1]))) {
            negative = true;
            ++pos_;
        }
        bool hasParam = false;
        std::int64_t value = 0;
        while (pos_ < in_.size() && isDigit(static_cast<unsigned char>(in_[pos_]))) {
            hasParam = true;
            if (value <= INT_MAX) value = value * 10 + (in_[pos_] - '0'); // stops growing once out of range
            ++pos_;
        }
        if (negative) value = -value;
        int param = static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
        if (word.size() > kMaxWordLength) word = {};
        handleWord(word, hasParam, param);
    }

    void handleWord(std::string_view w, bool hasParam, int param) {
        if (w == "bin") { // binary data is never text, wherever it stands
            if (hasParam && param > 0) pos_ += std::min<std::size_t>(static_cast<std::size_t>(param), in_.size() - pos_);
            if (skipFallback_ > 0) --skipFallback_;
            return;
        }
        if (dest() == Dest::Skip) return;
        if (st_.ignorable) {
            st_.ignorable = false;
            if (w == "ud" && (st_.dest == Dest::UprChild || st_.dest == Dest::Upr)) {
                st_.dest = Dest::Text;
                return;
            }
            st_.dest = Dest::Skip;
            return;
        }
        if (st_.dest == Dest::UprChild) {
            if (w == "ud") {
                st_.dest = Dest::Text;
                return;
            }
            st_.dest = Dest::Skip;
            return;
        }
        if (skipFallback_ > 0) {
            --skipFallback_;
            return;
        }
        if (st_.dest == Dest::FontTable) {
            fontTableWord(w, hasParam, param);
            return;
        }
        if (st_.dest == Dest::ColorTable) {
            if (w == "red") color_ = (color_ & 0xFFFF00u) | (param & 0xFF), colorSet_ = true;
            else if (w == "green") color_ = (color_ & 0xFF00FFu) | (param & 0xFF) << 8, colorSet_ = true;
            else if (w == "blue") color_ = (color_ & 0x00FFFFu) | (param & 0xFF) << 16, colorSet_ = true;
            return;
        }
        bool on = !hasParam || param != 0;
        if (w == "par" || w == "line" || w == "row" || w == "sect" || w == "page") text("\r\n");
        else if (w == "tab" || w == "cell" || w == "nestcell") text("\t");
        else if (w == "u") unicode(param);
        else if (w == "uc") st_.uc = std::max(0, param);
        else if (w == "plain") {
            st_.font = -1;
            st_.color = -1;
            st_.halfPoints = 0;
            st_.bold = st_.italic = st_.underline = false;
        }
        else if (w == "f") st_.font = std::max(0, param);
        else if (w == "cf") st_.color = std::max(0, param);
        else if (w == "fs") st_.halfPoints = hasParam && param > 0 ? std::min(param, kMaxHalfPoints) : 0;
        else if (w == "b") st_.bold = on;
        else if (w == "i") st_.italic = on;
        else if (w == "ulnone") st_.underline = false;
        else if (w.starts_with("ul") && isUnderlineWord(w)) st_.underline = on;
        else if (w == "fonttbl") st_.dest = Dest::FontTable;
        else if (w == "colortbl") {
            st_.dest = Dest::ColorTable;
            colors_.clear();
            color_ = 0;
            colorSet_ = false;
            keyValid_ = false;
        }
        else if (w == "upr") st_.dest = Dest::Upr;
        else if (w == "ansicpg") setDocCodepage(param);
        else if (w == "ansi") setDocCodepage(1252);
        else if (w == "mac") setDocCodepage(10000);
        else if (w == "pc") setDocCodepage(437);
        else if (w == "pca") setDocCodepage(850);
        else if (w == "deff") deff_ = std::max(0, param);
        else if (w == "emdash") unicodeChar(0x2014);
        else if (w == "endash") unicodeChar(0x2013);
        else if (w == "bullet") unicodeChar(0x2022);
        else if (w == "lquote") unicodeChar(0x2018);
        else if (w == "rquote") unicodeChar(0x2019);
        else if (w == "ldblquote") unicodeChar(0x201C);
        else if (w == "rdblquote") unicodeChar(0x201D);
        else if (w == "emspace" || w == "enspace" || w == "qmspace") text(" ");
        else if (isSkippedDestination(w)) st_.dest = Dest::Skip;
    }

    void setDocCodepage(int cp) {
        docCodepage_ = cp;
        codepageValid_ = false;
    }

    static bool isUnderlineWord(std::string_view w) {
        static constexpr std::string_view names[] = {
            "ul",       "uld",       "uldash",      "uldashd",    "uldashdd", "uldb",      "ulhwave",
            "ulldash",  "ulth",      "ulthd",       "ulthdash",   "ulthdashd", "ulthdashdd", "ulthldash",
            "ululdbwave", "ulw",     "ulwave",
        };
        for (auto n : names)
            if (n == w) return true;
        return false;
    }

    void fontTableWord(std::string_view w, bool hasParam, int param) {
        if (w == "f") {
            finishFontEntry();
            currentFont_ = hasParam ? std::max(0, param) : 0;
            fonts_[currentFont_] = FontEntry{};
            keyValid_ = false;
            codepageValid_ = false;
        } else if (w == "fcharset") {
            if (auto* e = openFont()) e->charset = param;
        } else if (w == "u") {
            if (auto* e = openFont()) {
                flushFontBytes(*e);
                e->name += static_cast<char16_t>(param < 0 ? param + 65536 : param);
            }
            skipFallback_ = st_.uc;
        } else if (w == "uc") {
            st_.uc = std::max(0, param);
        } else if (isSkippedDestination(w)) {
            st_.dest = Dest::Skip;
        }
    }

    FontEntry* openFont() {
        if (currentFont_ < 0) return nullptr;
        auto it = fonts_.find(currentFont_);
        return it == fonts_.end() || it->second.utf8 ? nullptr : &it->second;
    }

    int fontCodepage(const FontEntry& e) const {
        int cp = detail::codepageOfCharset(e.charset);
        return cp != 0 ? cp : docCodepage_;
    }

    void flushFontBytes(FontEntry& e) {
        if (e.pendingBytes.empty()) return;
        int cp = fontCodepage(e);
        if (cp == detail::kCp932) {
            e.name += cp932::decode(e.pendingBytes).text;
        } else {
            const auto& table = detail::singleByteTable(cp);
            for (unsigned char b : e.pendingBytes) {
                char16_t u = table[b];
                e.name += u == detail::kNoChar ? u'?' : u;
            }
        }
        e.pendingBytes.clear();
    }

    void finishFontEntry() {
        FontEntry* e = openFont();
        if (!e) return;
        flushFontBytes(*e);
        e->utf8 = cp932::utf16ToUtf8(e->name);
        e->codepage = detail::codepageOfCharset(e->charset);
        keyValid_ = false;
        codepageValid_ = false;
    }

    // A character of the font or colour table: ';' ends an entry unless escaped.
    void tableChar(unsigned char c, bool escaped) {
        if (st_.dest == Dest::ColorTable) {
            if (c == ';' && !escaped) {
                colors_.push_back(colorSet_ ? std::optional<std::uint32_t>(color_) : std::nullopt);
                color_ = 0;
                colorSet_ = false;
                keyValid_ = false;
            }
            return;
        }
        if (c == ';' && !escaped) {
            finishFontEntry();
            return;
        }
        if (auto* e = openFont()) e->pendingBytes += static_cast<char>(c);
    }

    int codepage() {
        int f = st_.font >= 0 ? st_.font : deff_;
        if (!codepageValid_ || f != codepageFont_) {
            auto it = fonts_.find(f);
            int cp = it != fonts_.end() ? it->second.codepage : 0;
            codepage_ = cp != 0 ? cp : docCodepage_;
            codepageFont_ = f;
            codepageValid_ = true;
        }
        return codepage_;
    }

    // Text bytes in the code page of the current font.
    void textBytes(std::string_view bytes) {
        if (dest() != Dest::Text) return;
        flushSurrogate();
        int cp = codepage();
        if (cp == detail::kCp932 ||
            std::all_of(bytes.begin(), bytes.end(), [](char b) { return static_cast<unsigned char>(b) < 0x80; })) {
            appendToRun(bytes);
            return;
        }
        const auto& table = detail::singleByteTable(cp);
        std::size_t start = 0;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            auto b = static_cast<unsigned char>(bytes[i]);
            if (b < 0x80) continue;
            appendToRun(bytes.substr(start, i - start));
            appendCodePoint(table[b] == detail::kNoChar ? 0xFFFFFFFF : table[b]);
            start = i + 1;
        }
        appendToRun(bytes.substr(start));
    }

    // Text written as words (\par, \tab, \~): ASCII, the same in every code page.
    void text(std::string_view ascii) {
        if (dest() != Dest::Text) return;
        flushSurrogate();
        appendToRun(ascii);
    }

    void unicodeChar(char32_t cp) {
        if (dest() != Dest::Text) return;
        flushSurrogate();
        appendCodePoint(cp);
    }

    void unicode(int param) {
        char16_t u = static_cast<char16_t>(param < 0 ? param + 65536 : param);
        if (dest() == Dest::Text && (param < -32768 || param > 65535)) { // no UTF-16 unit: damaged
            flushSurrogate();
            appendCodePoint(0xFFFFFFFF);
        } else if (dest() == Dest::Text) {
            bool high = u >= 0xD800 && u <= 0xDBFF;
            bool low = u >= 0xDC00 && u <= 0xDFFF;
            if (pendingHigh_ && low) {
                appendCodePoint(0x10000 + ((char32_t(pendingHigh_) - 0xD800) << 10) + (u - 0xDC00));
                pendingHigh_ = 0;
            } else {
                flushSurrogate();
                if (high) pendingHigh_ = u;
                else appendCodePoint(low ? 0xFFFFFFFF : u);
            }
        }
        skipFallback_ = st_.uc;
    }

    void flushSurrogate() {
        if (!pendingHigh_) return;
        pendingHigh_ = 0;
        appendCodePoint(0xFFFFFFFF);
    }

    // A character as Unicode; those CP932 lacks become references, counted.
    // 0xFFFFFFFF stands for bytes that decode to nothing (an unpaired
    // surrogate, a byte a single-byte font has no character for): "?".
    void appendCodePoint(char32_t cp) {
        if (cp == 0xFFFFFFFF) {
            appendToRun("?");
            ++result_.replaced;
        } else if (cp < 0x10000 && cp932::canEncode(cp)) {
            char16_t u = static_cast<char16_t>(cp);
            appendToRun(cp932::encode(std::u16string_view(&u, 1)).bytes);
        } else {
            appendToRun(cp932::numericReference(cp));
            ++result_.referenced;
        }
    }

    void appendToRun(std::string_view bytes) {
        if (!bytes.empty()) runText() += bytes;
    }

    // The text of the run in the current format, started when the format
    // changes; call it only to append to it, since a run never stays empty.
    std::string& runText() {
        FormatKey key{st_.font >= 0 ? st_.font : deff_, st_.color, st_.halfPoints,
                      st_.bold, st_.italic, st_.underline};
        if (!keyValid_ || !(key == key_)) {
            RunFormat f = resolve(key);
            if (result_.runs.empty() || !(result_.runs.back().format == f)) {
                if (!result_.runs.empty()) validateText(result_.runs.back()); // complete now, and still in cache
                if (result_.runs.size() == result_.runs.capacity()) reserveRuns(result_.runs.capacity() * 2);
                result_.runs.push_back({{}, std::move(f)});
            }
            key_ = key;
            keyValid_ = true;
        }
        return result_.runs.back().text;
    }

    RunFormat resolve(const FormatKey& key) const {
        RunFormat f;
        auto it = fonts_.find(key.font);
        if (it != fonts_.end() && it->second.utf8 && !it->second.utf8->empty()) f.font = *it->second.utf8;
        if (key.color >= 0 && static_cast<std::size_t>(key.color) < colors_.size()) f.color = colors_[key.color];
        f.bold = key.bold;
        f.italic = key.italic;
        f.underline = key.underline;
        if (key.halfPoints > 0) f.halfPoints = key.halfPoints;
        return f;
    }

    // A list of a million runs is some 100 MB that every read fills anew;
    // huge pages spare most of the page faults of touching it the first time.
    // The advice goes to the new storage before the runs move into it.
    void reserveRuns(std::size_t count) {
        RunList runs;
        runs.reserve(count);
        detail::adviseHugePages(runs.data(), runs.capacity() * sizeof(TextRun));
        std::move(result_.runs.begin(), result_.runs.end(), std::back_inserter(runs));
        result_.runs = std::move(runs);
    }

    // Bytes of CP932 fonts come through as they stand; a run, once complete,
    // gets the round trip by character the rest of the editor expects: a
    // character that decodes to nothing becomes "?".
    void validateText(TextRun& run) { result_.replaced += cp932::canonicalize(run.text); }

    std::string_view in_;
    std::size_t pos_ = 0;
    bool done_ = false;
    GroupState st_;
    std::vector<GroupState> stack_;
    std::size_t overflow_ = 0;
    int skipFallback_ = 0;
    char16_t pendingHigh_ = 0;
    int docCodepage_ = 1252;
    int deff_ = 0;
    std::map<int, FontEntry> fonts_;
    int currentFont_ = -1;
    std::vector<std::optional<std::uint32_t>> colors_;
    std::uint32_t color_ = 0;
    bool colorSet_ = false;
    FormatKey key_{};
    bool keyValid_ = false;
    int codepage_ = 0;       // codepage() for codepageFont_, while codepageValid_
    int codepageFont_ = 0;
    bool codepageValid_ = false;
    ReadResult result_;
};

} // namespace

ReadResult read(std::string_view rtf) {
    if (!looksLikeRtf(rtf)) throw streamReadFailed();
    return Reader(rtf).run();
}

} // namespace vela::rtf
