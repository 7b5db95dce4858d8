#include "PaneText.h"

#include "Cp932.h"

namespace vela::panetext {

int unitWidth(QChar ch) { return cp932::byteWidth(ch.unicode()); }

int widthOf(const QString& s, int units) {
    int bytes = 0;
    for (int i = 0; i < units; ++i) bytes += unitWidth(s[i]);
    return bytes;
}

QString normalizeBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar(u'\r'), QChar(u'\n'));
    text.replace(QChar::LineSeparator, QChar(u'\n'));
    text.replace(QChar::ParagraphSeparator, QChar(u'\n'));
    return text;
}

std::u16string_view unitsOf(QStringView text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())};
}

std::string withLineBreaks(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

QString shownText(std::string_view bytes) {
    std::u16string units;
    units.reserve(bytes.size());
    cp932::appendDecoded(units, bytes);
    std::size_t out = 0;
    for (std::size_t i = 0; i < units.size(); ++i) {
        char16_t u = units[i];
        if (u == u'\r') {
            if (i + 1 < units.size() && units[i + 1] == u'\n') ++i;
            u = u'\n';
        }
        units[out++] = u;
    }
    return QString::fromUtf16(units.data(), qsizetype(out));
}

rtf::PackedRuns onePiece(std::string bytes, const rtf::RunFormat& format) {
    rtf::PackedRuns p;
    p.append(bytes, format);
    return p;
}

} // namespace vela::panetext
