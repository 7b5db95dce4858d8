#include "Rtf.h"

#include "Cp932.h"

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

void appendText(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto b = static_cast<unsigned char>(text[i]);
        if (b == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += "\\par\r\n";
            ++i;
        } else if (b == '\t') {
            out += "\\tab ";
        } else if (b >= 0x80 || b < 0x20 || b == 0x7F || b == '\\' || b == '{' || b == '}') {
            // Lone CR or LF, other control bytes and every byte of a
            // double-byte character above 0x7F, trail bytes 0x5C/0x7B/0x7D too.
            appendHex(out, b);
        } else {
            out += static_cast<char>(b);
        }
    }
}

} // namespace

struct Writer::Tables {
    std::unordered_map<std::string, int> fonts;    // name -> \f number (f0 is "no font")
    std::unordered_map<std::uint32_t, int> colors; // 0x00BBGGRR -> \cf index (0 is "auto")
    std::vector<std::string> fontOrder;
    std::vector<std::uint32_t> colorOrder;
};

Writer::Writer() : m_tables(std::make_unique<Tables>()) {}
Writer::~Writer() = default;

void Writer::reserve(std::size_t textBytes) { m_body.reserve(textBytes * 2); }

void Writer::append(const RunFormat& format, std::string_view text) {
    if (text.empty()) return;
    // Compared before normalising: a run of the format just written costs no copy.
    if (!m_hasRaw || !(format == m_raw)) {
        RunFormat f = format;
        detail::normalizeFormat(f);
        if (!(f == m_current)) {
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
            appendFormat(m_body, f, fontNumber, colorIndex);
            m_current = std::move(f);
        }
        m_raw = format;
        m_hasRaw = true;
    }
    appendText(m_body, text);
}

std::string Writer::finish() {
    const Tables& t = *m_tables;
    std::string out;
    out.reserve(256 + t.fontOrder.size() * 48 + t.colorOrder.size() * 32 + m_body.size());
    out += "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 ;}";
    for (std::size_t i = 0; i < t.fontOrder.size(); ++i) {
        out += "{\\f";
        out += std::to_string(i + 1);
        out += "\\fnil\\fcharset128 ";
        appendFontName(out, t.fontOrder[i]);
        out += ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (std::uint32_t c : t.colorOrder) {
        out += "\\red" + std::to_string(c & 0xFF) + "\\green" + std::to_string((c >> 8) & 0xFF) + "\\blue" +
               std::to_string((c >> 16) & 0xFF) + ";";
    }
    out += "}\r\n\\uc1\\pard ";
    out += m_body;
    out += "}\r\n";
    return out;
}

std::string write(const RunList& runs) {
    Writer writer;
    std::size_t textSize = 0;
    for (const auto& run : runs) textSize += run.text.size();
    writer.reserve(textSize);
    for (const auto& run : runs) writer.append(run.format, run.text);
    return writer.finish();
}

} // namespace vela::rtf
