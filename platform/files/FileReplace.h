#pragma once
// The one way the editor writes a user's file. Normally the bytes go to a
// temporary file (a short name of fixed length) in the same folder, are
// flushed to disk and checked, get the old file's mode, owner, ACL and
// extended attributes, and only then are renamed over the target. Where a
// rename would change what the file is (another name shares it, its owner or
// an attribute could not be kept) or the folder takes no temporary file, the
// file is written in place, with a synced copy of its old content on disk
// until the new content is (OldContentCopy). Either way a failure leaves the
// old file byte-identical and nothing beside it, unless putting the old
// content back failed too: then its copy stays, and the caller learns where.

#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace vela::files {

enum class ReplaceResult {
    Done,
    CannotCreate, ///< refused or impossible before any byte was written: a read-only or unwritable
                  ///< target, not a regular file, no folder, a link that leads nowhere or may not be
                  ///< followed, a file of our own that someone else owns
    NoOldCopy,    ///< a write in place for which no copy of the old content could be made; untouched
    WriteFailed,  ///< writing, flushing or renaming failed part-way; the old content is back
    Damaged,      ///< a write in place failed and so did putting the old content back; its copy stays
};

struct ReplaceOutcome {
    ReplaceOutcome(ReplaceResult result, std::string oldContentCopy = {})
        : result(result), oldContentCopy(std::move(oldContentCopy)) {}
    ReplaceResult result;
    std::string oldContentCopy; ///< with Damaged: where the old content is
};

/// Whose file it is and how far a write goes before it counts as done. A
/// user's document waits for the disk. Our own files (the undo snapshot, the
/// recovery copies) are the user's alone: no link is followed, no file that
/// someone else owns is written, a new one is made 0600. The snapshot, which
/// is worthless after a crash and written on every Enter, need not wait for
/// the disk.
enum class Durability { SyncedToDisk, Scratch, OwnSyncedToDisk };

/// Writes `data` as the whole content of `path`.
/// - A symbolic link is followed as the kernel's open would; the link stays and
///   its target gets the content. A link whose target cannot be written is
///   refused, never replaced.
/// - An existing file whose permission bits allow nobody to write it is refused,
///   also for root (the bits stand for the read-only attribute), as is a file
///   this process may not write.
/// - Mode, owner, group, ACL and extended attributes stay; where one of them
///   cannot be given to a new file, and for a file with several hard links or
///   in a folder that takes no temporary file, the file is written in place,
///   so its inode stays.
/// - Temporary files of ours that a killed save left in the folder go.
ReplaceOutcome replaceFile(const std::string& path, std::string_view data,
                           Durability durability = Durability::SyncedToDisk);

/// replaceFile for documents and snapshots: throws AppError
/// "ﾌｧｲﾙ <absolute path> を作成できません", "ｽﾄﾘｰﾑへの書き込みに失敗しました",
/// or damagedFile / noOldContentCopy below.
void writeFileOrThrow(const std::string& path, std::string_view data,
                      Durability durability = Durability::SyncedToDisk);

/// replaceFile of one of our own files (not SyncedToDisk) in steps, so that
/// the content can be made meanwhile, on another thread, and a piece at a
/// time: beginOrThrow() refuses at once where replaceFile would (the create
/// message) and makes the temporary file; appendOrThrow() adds to it and
/// commitOrThrow() renames it over the target (both: the write message).
/// Dropped uncommitted, the temporary file goes and the target stays as it was.
class OwnFileReplacement {
public:
    static std::unique_ptr<OwnFileReplacement> beginOrThrow(const std::string& path, Durability durability);
    ~OwnFileReplacement();
    OwnFileReplacement(const OwnFileReplacement&) = delete;
    OwnFileReplacement& operator=(const OwnFileReplacement&) = delete;
    void appendOrThrow(std::string_view data);
    void commitOrThrow();

private:
    struct State;
    explicit OwnFileReplacement(std::unique_ptr<State> state);
    std::unique_ptr<State> m;
};

/// "ﾌｧｲﾙ <path> の元の内容を控えられないため、書き込みませんでした"
std::string noOldContentCopyMessage(const std::string& path);
/// "ﾌｧｲﾙ <path> への書き込みに失敗し、元に戻せませんでした。ファイルは壊れているかもしれません。元の内容は <copy> にあります"
std::string damagedFileMessage(const std::string& path, const std::string& copy);

} // namespace vela::files
