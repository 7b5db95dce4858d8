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

std::size_t characterBytes(std::string_view text, std::size_t at) {
    const auto b = static_cast<unsigned char>(text[at]);
    const bool pair = b == '\r' ? at + 1 < text.size() && text[at + 1] == '\n'
                                 : cp932::isLeadByte(b) && at + 1 < text.size();
    return pair ? 2 : 1;
}

std::string withLineBreaks(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    // Whole lines at a time: a page is mostly text between its breaks.
    for (std::size_t from = 0; from < bytes.size();) {
        const std::size_t at = bytes.find_first_of("\r\n", from);
        if (at == std::string_view::npos) {
            out.append(bytes.substr(from));
            break;
        }
        out.append(bytes.substr(from, at - from));
        out += "\r\n";
        from = at + (bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n' ? 2 : 1);
    }
    return out;
}

QString shownText(std::string_view bytes) {
    // Decoded straight into the string handed over: a big page's text is not copied once more.
    QString shown(qsizetype(bytes.size()), Qt::Uninitialized);
    auto* units = reinterpret_cast<char16_t*>(shown.data());
    const std::size_t count = cp932::decodeInto(units, bytes);
    std::size_t out = 0;
    for (std::size_t i = 0; i < count; ++i) {
        char16_t u = units[i];
        if (u == u'\r') {
            if (i + 1 < count && units[i + 1] == u'\n') ++i;
            u = u'\n';
        }
        units[out++] = u;
    }
    shown.truncate(qsizetype(out));
    return shown;
}

rtf::PackedRuns onePiece(std::string bytes, const rtf::RunFormat& format) {
    rtf::PackedRuns p;
    if (bytes.empty()) return p;
    p.formats.push_back(format);
    p.starts.push_back({0, 0});
    p.text = std::move(bytes);
    return p;
}

} // namespace vela::panetext
