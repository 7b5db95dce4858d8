#include "Rtf.h"

#include "Cp932.h"
#include "HugePages.h"

#include <array>
#include <cstring>
#include <deque>
#include <string>
#include <unordered_map>

namespace vela::rtf {
namespace detail {
void normalizeFormat(RunFormat& f); // the format part of normalize()
}
namespace {

void appendHex(std::string& out, unsigned char b) {
    static constexpr char digits[] = "0123456789abcdef";
    out += "\\'";
    out += digits[b >> 4];
    out += digits[b & 0xF];
}

// Font names are UTF-8; what CP932 holds goes as \'hh bytes so that readers
// without Unicode support see the name, the rest as \uN with a "?" fallback.
void appendFontName(std::string& out, const std::string& utf8) {
    std::u16string name = cp932::utf8ToUtf16(utf8);
    for (std::size_t i = 0; i < name.size(); ++i) {
        char16_t u = name[i];
        if (u >= 0x20 && u < 0x7F && u != '\\' && u != '{' && u != '}' && u != ';') {
            out += static_cast<char>(u);
        } else if (cp932::canEncode(u)) {
            for (unsigned char b : cp932::encode(std::u16string_view(&name[i], 1)).bytes) appendHex(out, b);
        } else {
            out += "\\u";
            out += std::to_string(static_cast<std::int16_t>(u));
            out += '?';
        }
    }
}

struct Tables {
    std::unordered_map<std::string, int> fonts;      // name -> \f number (f0 is "no font")
    std::unordered_map<std::uint32_t, int> colors;   // 0x00BBGGRR -> \cf index (0 is "auto")
    std::vector<const std::string*> fontOrder;
    std::vector<std::uint32_t> colorOrder;
};

Tables collectTables(const RunList& runs) {
    Tables t;
    for (const auto& run : runs) {
        if (run.text.empty()) continue;
        const auto& f = run.format;
        if (f.font && !f.font->empty() && t.fonts.emplace(*f.font, int(t.fonts.size()) + 1).second)
            t.fontOrder.push_back(&*f.font);
        if (f.color) {
            std::uint32_t c = *f.color & 0xFFFFFFu;
            if (t.colors.emplace(c, int(t.colors.size()) + 1).second) t.colorOrder.push_back(c);
        }
    }
    return t;
}

// Every format change starts from \plain, so attributes a run lacks (no size
// above all, which has no control word of its own) are never inherited.
void appendFormat(std::string& out, const RunFormat& f, const Tables& t) {
    out += "\\plain";
    if (f.font && !f.font->empty()) {
        out += "\\f";
        out += std::to_string(t.fonts.at(*f.font));
    }
    if (f.color) {
        out += "\\cf";
        out += std::to_string(t.colors.at(*f.color & 0xFFFFFFu));
    }
    if (f.bold) out += "\\b";
    if (f.italic) out += "\\i";
    if (f.underline) out += "\\ul";
    if (f.halfPoints && *f.halfPoints > 0) {
        out += "\\fs";
        out += std::to_string(*f.halfPoints);
    }
    out += ' ';
}

// The control words of one run format, made once for each format a page
// uses: pages alternate between a handful, and building them (font and
// colour lookups, numbers) for every run cost more than the run's text.
struct FormatCode {
    RunFormat raw;        // as the run has it
    RunFormat normalized; // as written and read back
    std::string rtf;
};

class FormatCodes {
public:
    explicit FormatCodes(const Tables& t) : tables_(t) {}

    const FormatCode& of(const RunFormat& raw) {
        for (const FormatCode* code : recent_)
            if (code && code->raw == raw) return *code;
        FormatCode& code = codes_.emplace_back();
        code.raw = raw;
        code.normalized = raw;
        detail::normalizeFormat(code.normalized);
        appendFormat(code.rtf, code.normalized, tables_);
        recent_[next_++ % recent_.size()] = &code;
        return code;
    }

private:
    const Tables& tables_;
    std::deque<FormatCode> codes_; // a deque keeps the addresses in recent_ and in plans valid
    std::array<const FormatCode*, 8> recent_{};
    std::size_t next_ = 0;
};

// What a text byte becomes: itself, or \'hh for every byte above 0x7F (trail
// bytes 0x5C/0x7B/0x7D of double-byte characters too), control bytes, lone
// CR and LF, \, { and }; a tab is \tab. CR LF, two bytes, is \par.
struct Escape {
    char text[7];
    std::uint8_t size;
};
constexpr char kParagraph[] = "\\par\r\n";

constexpr std::array<Escape, 256> kEscapes = [] {
    constexpr char digits[] = "0123456789abcdef";
    std::array<Escape, 256> table{};
    for (unsigned b = 0; b < 256; ++b) {
        Escape& e = table[b];
        if (b == '\t') {
            e = {{'\\', 't', 'a', 'b', ' '}, 5};
        } else if (b >= 0x80 || b < 0x20 || b == 0x7F || b == '\\' || b == '{' || b == '}') {
            e = {{'\\', '\'', digits[b >> 4], digits[b & 0xF]}, 4};
        } else {
            e = {{static_cast<char>(b)}, 1};
        }
    }
    return table;
}();

std::size_t escapedSize(const std::string& text) {
    std::size_t size = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto b = static_cast<unsigned char>(text[i]);
        if (b == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            size += sizeof kParagraph - 1;
            ++i;
        } else {
            size += kEscapes[b].size;
        }
    }
    return size;
}

// Appends through a small buffer, so that a byte costs a table copy rather
// than a checked append of its own.
class Output {
public:
    explicit Output(std::string& out) : out_(out) {}
    ~Output() { flush(); }

    void put(std::string_view s) {
        if (s.size() > kRoom) {
            flush();
            out_ += s;
            return;
        }
        room(s.size());
        std::memcpy(buf_ + n_, s.data(), s.size());
        n_ += s.size();
    }

    void text(const std::string& text) {
        const auto* p = reinterpret_cast<const unsigned char*>(text.data());
        std::size_t size = text.size();
        for (std::size_t i = 0; i < size; ++i) {
            room(sizeof(Escape));
            if (p[i] == '\r' && i + 1 < size && p[i + 1] == '\n') {
                std::memcpy(buf_ + n_, kParagraph, sizeof kParagraph - 1);
                n_ += sizeof kParagraph - 1;
                ++i;
            } else {
                const Escape& e = kEscapes[p[i]];
                std::memcpy(buf_ + n_, e.text, sizeof e.text); // whole entry; only e.size counts
                n_ += e.size;
            }
        }
    }

private:
    static constexpr std::size_t kRoom = 4096;

    void room(std::size_t n) {
        if (n_ + n > kRoom) flush();
    }
    void flush() {
        out_.append(buf_, n_);
        n_ = 0;
    }

    std::string& out_;
    char buf_[kRoom + sizeof(Escape)];
    std::size_t n_ = 0;
};

} // namespace

std::string write(const RunList& runs) {
    Tables t = collectTables(runs);
    std::string out;
    out += "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 ;}";
    for (std::size_t i = 0; i < t.fontOrder.size(); ++i) {
        out += "{\\f";
        out += std::to_string(i + 1);
        out += "\\fnil\\fcharset128 ";
        appendFontName(out, *t.fontOrder[i]);
        out += ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (std::uint32_t c : t.colorOrder) {
        out += "\\red" + std::to_string(c & 0xFF) + "\\green" + std::to_string((c >> 8) & 0xFF) + "\\blue" +
               std::to_string((c >> 16) & 0xFF) + ";";
    }
    out += "}\r\n\\uc1\\pard ";

    // First the format changes and the exact size, so the text goes into
    // one allocation (Japanese text takes four bytes of RTF per byte).
    FormatCodes codes(t);
    std::vector<const FormatCode*> changes(runs.size()); // null: no change before this run
    const RunFormat none;                                 // the reader's state after \pard: no attributes
    const RunFormat* current = &none;
    std::size_t size = out.size() + 3;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (runs[i].text.empty()) continue;
        const FormatCode& code = codes.of(runs[i].format);
        if (!(code.normalized == *current)) {
            changes[i] = &code;
            current = &code.normalized;
            size += code.rtf.size();
        }
        size += escapedSize(runs[i].text);
    }
    out.reserve(size);
    detail::adviseHugePages(out.data(), out.capacity());
    {
        Output body(out);
        for (std::size_t i = 0; i < runs.size(); ++i) {
            if (changes[i]) body.put(changes[i]->rtf);
            body.text(runs[i].text);
        }
        body.put("}\r\n");
    }
    return out;
}

} // namespace vela::rtf
