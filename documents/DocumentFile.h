#pragma once
// Writing the pane's content to a user's file through files::replaceFile, so
// that a failed write never costs the file that was there.

#include "PageEncoding.h"

#include <string>

namespace vela {

class Pane;

/// The pane's content as a source document (RTF), replacing `path`.
/// Throws AppError "ﾌｧｲﾙ %s を作成できません" or "ｽﾄﾘｰﾑへの書き込みに失敗しました";
/// the old file is then untouched and no temporary file is left.
void writeSourceDocument(const Pane& pane, const std::string& path);

/// The pane's text as a plain HTML file with its CR LF line ends, nothing
/// added, in the charset the page declares: CP932 byte for byte when it
/// declares none or Shift_JIS. Returns what was written, for the status bar.
encoding::WrittenPage writePlainText(const Pane& pane, const std::string& path);

} // namespace vela
