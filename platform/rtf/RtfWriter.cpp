#include "Rtf.h"

#include "Cp932.h"

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

void appendText(std::string& out, const std::string& text) {
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

std::string write(const RunList& runs) {
    Tables t = collectTables(runs);
    std::size_t textSize = 0;
    for (const auto& run : runs) textSize += run.text.size();

    std::string out;
    out.reserve(256 + textSize * 2 + runs.size() * 16);
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

    RunFormat current; // the reader's state after \pard: no attributes
    for (const auto& run : runs) {
        if (run.text.empty()) continue;
        RunFormat f = run.format;
        detail::normalizeFormat(f);
        if (!(f == current)) {
            appendFormat(out, f, t);
            current = std::move(f);
        }
        appendText(out, run.text);
    }
    out += "}\r\n";
    return out;
}

} // namespace vela::rtf
