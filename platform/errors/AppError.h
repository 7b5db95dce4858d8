#pragma once
// The one exception type of the editor. File, printer and settings operations
// throw it; the command wrapper turns it into the application's error report.

#include <stdexcept>
#include <string>

namespace vela {

/// An error meant for the user: `what()` is the message in UTF-8, in Japanese.
class AppError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// "ﾌｧｲﾙ %s は開けません" with the full path.
AppError cannotOpenFile(const std::string& path);
/// "ﾌｧｲﾙ %s を作成できません" with the full path.
AppError cannotCreateFile(const std::string& path);
/// "ﾌｧｲﾙ %s は大きすぎて開けません（%d MB まで）" with the full path and the limit.
AppError fileTooLarge(const std::string& path, int limitMegabytes);
/// "ｽﾄﾘｰﾑからの読み込みに失敗しました"
AppError streamReadFailed();
/// "ｽﾄﾘｰﾑへの書き込みに失敗しました"
AppError streamWriteFailed();

/// The text the error report shows: the message, with a "." appended when its
/// last character, compared as CP932 bytes, sorts after ".".
std::string errorReportText(const std::string& utf8Message);

} // namespace vela
