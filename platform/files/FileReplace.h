#pragma once
// The one way the editor writes a user's file: the bytes go to a temporary
// file in the same folder, are flushed to disk and checked, and only then
// renamed over the target. Any failure leaves the old file byte-identical and
// removes the temporary file.

#include <string>
#include <string_view>

namespace vela::files {

enum class ReplaceResult {
    Done,
    CannotCreate, ///< the temporary file could not be made, or the target is not a regular file
    WriteFailed,  ///< writing, flushing or renaming failed part-way
};

/// How far a write goes before the rename. A document waits for the disk; a
/// scratch file (the undo snapshot) that is worthless after a crash need not,
/// and it is written on every Enter.
enum class Durability { SyncedToDisk, Scratch };

/// Replaces `path` with `data`. A symbolic link is followed (the link stays);
/// an existing file keeps its permission bits (and owner when allowed).
ReplaceResult replaceFile(const std::string& path, std::string_view data,
                          Durability durability = Durability::SyncedToDisk);

/// replaceFile for documents and snapshots: throws AppError
/// "ﾌｧｲﾙ <absolute path> を作成できません" or "ｽﾄﾘｰﾑへの書き込みに失敗しました".
void writeFileOrThrow(const std::string& path, std::string_view data,
                      Durability durability = Durability::SyncedToDisk);

} // namespace vela::files
