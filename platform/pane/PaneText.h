#pragma once
// The same text as the model holds it (CP932 bytes, line breaks CR LF) and as
// the widget holds it (UTF-16, a block break "\n"), and the ways between them.

#include "TextRun.h"

#include <QString>

#include <string>
#include <string_view>

namespace vela::panetext {

/// CP932 bytes of one widget unit (see cp932::byteWidth).
int unitWidth(QChar unit);
/// CP932 bytes of the first `units` units of s.
int widthOf(const QString& s, int units);
/// Bytes of the character at `at` of the model's text: 2 for a CR LF and a
/// double-byte character, else 1.
std::size_t characterBytes(std::string_view text, std::size_t at);
/// CR LF, lone CR, lone LF and Qt's line and paragraph separators all become
/// the "\n" that QTextCursor::insertText turns into a block break ("\r"
/// would make a second one).
QString normalizeBreaks(QString text);
std::u16string_view unitsOf(QStringView text);
/// CP932 text with every lone CR and lone LF made a CR LF, as the model holds line breaks.
std::string withLineBreaks(std::string_view bytes);
/// The widget's text of CP932 bytes: block breaks as "\n".
QString shownText(std::string_view bytes);
rtf::PackedRuns onePiece(std::string bytes, const rtf::RunFormat& format);

} // namespace vela::panetext
