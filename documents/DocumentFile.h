#pragma once
// Writing the pane's content to a user's file through files::replaceFile, so
// that a failed write never costs the file that was there.

#include <string>

namespace vela {

class Pane;

/// The pane's content as a source document (RTF), replacing `path`.
/// Throws AppError "ﾌｧｲﾙ %s を作成できません" or "ｽﾄﾘｰﾑへの書き込みに失敗しました";
/// the old file is then untouched and no temporary file is left.
void writeSourceDocument(const Pane& pane, const std::string& path);

/// The pane's text as plain CP932 with its CR LF line ends, nothing added.
void writePlainText(const Pane& pane, const std::string& path);

} // namespace vela
