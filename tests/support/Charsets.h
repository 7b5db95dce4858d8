#pragma once
// Test pages in other charsets, converted by iconv from the UTF-8 of the source.

#include <QByteArray>
#include <QString>

#include <iconv.h>

namespace vela::test {

/// The text in `charset`; a text naming the failure when iconv cannot convert it.
inline QByteArray inCharset(const char* charset, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    iconv_t cd = iconv_open(charset, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return "(iconv lacks " + QByteArray(charset) + ")";
    QByteArray out(utf8.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(utf8.constData());
    char* to = out.data();
    std::size_t inLeft = std::size_t(utf8.size()), outLeft = std::size_t(out.size());
    const bool ok = iconv(cd, &in, &inLeft, &to, &outLeft) != std::size_t(-1) &&
                    iconv(cd, nullptr, nullptr, &to, &outLeft) != std::size_t(-1);
    iconv_close(cd);
    if (!ok) return "(" + QByteArray(charset) + " cannot hold the text)";
    out.truncate(out.size() - qsizetype(outLeft));
    return out;
}

} // namespace vela::test
