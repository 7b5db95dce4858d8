#pragma once
// The content of a recovery copy: the pane's RTF, the source file it belongs
// to (with what the editor knew of that file) and when it was taken. On disk a
// magic line, then fields whose byte lengths are given before them, then an end
// line: a copy that is empty, cut short or garbage fails the check on reading
// instead of loading as a wrong document.

#include "FileIdentity.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vela::recovery {

struct RecoveryContent {
    std::string rtf;
    std::string sourcePath;                         ///< UTF-8; empty for a document without a source file
    std::optional<files::FileIdentity> sourceFile;  ///< the source file as last read or written
    std::int64_t savedAtMs = 0;                     ///< milliseconds since 1970, UTC
};

std::string encode(const RecoveryContent& content);
/// Nothing unless `bytes` is a whole copy as encode() writes it.
std::optional<RecoveryContent> decode(std::string_view bytes);

} // namespace vela::recovery
