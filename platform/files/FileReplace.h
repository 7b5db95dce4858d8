#pragma once
// The one way the editor writes a user's file. Normally the bytes go to a
// temporary file in the same folder, are flushed to disk and checked, and only
// then renamed over the target. Where a rename would change what the file is
// (another name shares it, its owner could not be kept) or no temporary file
// can be made beside it, the file is written in place: its old content is kept
// aside until the new content is on disk, and put back if the write fails.
// Either way a failure leaves the old file byte-identical and nothing beside it.

#include <string>
#include <string_view>

namespace vela::files {

enum class ReplaceResult {
    Done,
    CannotCreate, ///< refused or impossible before any byte was written: a read-only or unwritable
                  ///< target, not a regular file, no folder, no temporary file and no way in place
    WriteFailed,  ///< writing, flushing or renaming failed part-way; the old content is back
};

/// How far a write goes before it counts as done. A document waits for the
/// disk; a scratch file (the undo snapshot) that is worthless after a crash
/// need not, and it is written on every Enter.
enum class Durability { SyncedToDisk, Scratch };

/// Writes `data` as the whole content of `path`.
/// - A symbolic link is followed; the link stays and its target gets the content.
/// - An existing file whose permission bits allow nobody to write it is refused,
///   also for root (the bits stand for the read-only attribute), as is a file
///   this process may not write.
/// - Mode, owner and group stay. A file with several hard links, one whose owner
///   or group a replacement could not get, and one in a folder that takes no
///   temporary file is written in place, so its inode stays.
ReplaceResult replaceFile(const std::string& path, std::string_view data,
                          Durability durability = Durability::SyncedToDisk);

/// replaceFile for documents and snapshots: throws AppError
/// "ﾌｧｲﾙ <absolute path> を作成できません" or "ｽﾄﾘｰﾑへの書き込みに失敗しました".
void writeFileOrThrow(const std::string& path, std::string_view data,
                      Durability durability = Durability::SyncedToDisk);

} // namespace vela::files
