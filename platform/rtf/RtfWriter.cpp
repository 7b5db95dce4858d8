#include "Rtf.h"

#include "Cp932.h"
#include "HugePages.h"

#include <array>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

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

// Every format change starts from \plain, so attributes a run lacks (no size
// above all, which has no control word of its own) are never inherited.
void appendFormat(std::string& out, const RunFormat& f, int fontNumber, int colorIndex) {
    out += "\\plain";
    if (fontNumber > 0) {
        out += "\\f";
        out += std::to_string(fontNumber);
    }
    if (colorIndex > 0) {
        out += "\\cf";
        out += std::to_string(colorIndex);
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

std::size_t escapedSize(std::string_view text) {
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

    void text(std::string_view text) {
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

struct Writer::Tables {
    std::unordered_map<std::string, int> fonts;    // name -> \f number (f0 is "no font")
    std::unordered_map<std::uint32_t, int> colors; // 0x00BBGGRR -> \cf index (0 is "auto")
    std::vector<std::string> fontOrder;
    std::vector<std::uint32_t> colorOrder;
    std::string code; // the control words of the last format change
};

namespace {
constexpr std::size_t kHeaderRoom = 4096; // kept in front of the body for the tables
}

Writer::Writer() : m_tables(std::make_unique<Tables>()) {}
Writer::~Writer() = default;

void Writer::reserve(std::size_t rtfBytes) {
    m_body.reserve(kHeaderRoom + rtfBytes + 3);
    detail::adviseHugePages(m_body.data(), m_body.capacity());
}

bool Writer::enter(const RunFormat& format) {
    // Compared before normalising: a run of the format just written costs no copy.
    if (m_hasRaw && format == m_raw) return false;
    m_raw = format;
    m_hasRaw = true;
    RunFormat f = format;
    detail::normalizeFormat(f);
    if (f == m_current) return false;
    int fontNumber = 0, colorIndex = 0;
    Tables& t = *m_tables;
    if (f.font) {
        auto [it, added] = t.fonts.emplace(*f.font, int(t.fonts.size()) + 1);
        if (added) t.fontOrder.push_back(*f.font);
        fontNumber = it->second;
    }
    if (f.color) {
        auto [it, added] = t.colors.emplace(*f.color, int(t.colors.size()) + 1);
        if (added) t.colorOrder.push_back(*f.color);
        colorIndex = it->second;
    }
    t.code.clear();
    appendFormat(t.code, f, fontNumber, colorIndex);
    m_current = std::move(f);
    return true;
}

void Writer::append(const RunFormat& format, std::string_view text) {
    if (text.empty()) return;
    if (enter(format)) m_body += m_tables->code;
    Output(m_body).text(text);
}

std::string Writer::header() const {
    const Tables& t = *m_tables;
    std::string header = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 ;}";
    for (std::size_t i = 0; i < t.fontOrder.size(); ++i) {
        header += "{\\f";
        header += std::to_string(i + 1);
        header += "\\fnil\\fcharset128 ";
        appendFontName(header, t.fontOrder[i]);
        header += ";}";
    }
    header += "}\r\n{\\colortbl ;";
    for (std::uint32_t c : t.colorOrder) {
        header += "\\red" + std::to_string(c & 0xFF) + "\\green" + std::to_string((c >> 8) & 0xFF) + "\\blue" +
                  std::to_string((c >> 16) & 0xFF) + ";";
    }
    header += "}\r\n\\uc1\\pard ";
    return header;
}

std::string Writer::finish() {
    // Put in front within the body's own allocation when it has room: a big
    // page's RTF is never held twice.
    m_body.insert(0, header());
    m_body += "}\r\n";
    return std::move(m_body);
}

bool Writer::writeInPieces(const std::function<void(const RunVisitor&)>& forEachRun,
                           const std::function<bool(std::string_view)>& sink, std::size_t pieceBytes) {
    Writer writer;
    forEachRun([&writer](const RunFormat& format, std::string_view text) {
        if (!text.empty()) writer.enter(format);
    });
    if (!sink(writer.header())) return false;
    // The tables stay; the text starts from the reader's state after \pard again.
    writer.m_current = {};
    writer.m_hasRaw = false;
    writer.m_body.reserve(pieceBytes + pieceBytes / 4);
    bool ok = true;
    forEachRun([&](const RunFormat& format, std::string_view text) {
        while (ok && !text.empty()) {
            // Whole lines, so a CR LF never falls between two pieces; a line longer than a piece goes whole.
            std::size_t take = text.size();
            if (take > pieceBytes) {
                const std::size_t lineEnd = text.find('\n', pieceBytes);
                take = lineEnd == std::string_view::npos ? text.size() : lineEnd + 1;
            }
            writer.append(format, text.substr(0, take));
            text.remove_prefix(take);
            if (writer.m_body.size() >= pieceBytes) {
                ok = sink(writer.m_body);
                writer.m_body.clear();
            }
        }
    });
    writer.m_body += "}\r\n";
    return ok && sink(writer.m_body);
}

std::string write(const RunList& runs) {
    // The exact size first, so the text goes into one allocation (Japanese
    // text takes four bytes of RTF per byte); format changes take a few more.
    std::size_t size = 0;
    for (const auto& run : runs) size += escapedSize(run.text) + 24;
    Writer writer;
    writer.reserve(size);
    for (const auto& run : runs) writer.append(run.format, run.text);
    return writer.finish();
}

} // namespace vela::rtf
