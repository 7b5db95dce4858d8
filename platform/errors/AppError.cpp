#include "AppError.h"

#include "Cp932.h"

namespace vela {

AppError cannotOpenFile(const std::string& path) { return AppError("ﾌｧｲﾙ " + path + " は開けません"); }
AppError cannotCreateFile(const std::string& path) { return AppError("ﾌｧｲﾙ " + path + " を作成できません"); }
AppError fileTooLarge(const std::string& path, int limitMegabytes) {
    return AppError("ﾌｧｲﾙ " + path + " は大きすぎて開けません（" + std::to_string(limitMegabytes) + " MB まで）");
}
AppError streamReadFailed() { return AppError("ｽﾄﾘｰﾑからの読み込みに失敗しました"); }
AppError streamWriteFailed() { return AppError("ｽﾄﾘｰﾑへの書き込みに失敗しました"); }

std::string errorReportText(const std::string& utf8Message) {
    if (utf8Message.empty()) return utf8Message;
    // A double-byte character compares by its lead byte, which is always above ".".
    std::string bytes = cp932::encode(cp932::utf8ToUtf16(utf8Message)).bytes;
    std::size_t last = bytes.size() - 1;
    if (last > 0 && !cp932::isCharBoundary(bytes, last)) --last;
    if (static_cast<unsigned char>(bytes[last]) > '.') return utf8Message + ".";
    return utf8Message;
}

} // namespace vela
