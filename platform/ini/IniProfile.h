#pragma once
// Single-key access to a Windows-style INI profile file given by full path.
// A write edits only the bytes of the one key it sets, so a hand-edited file
// keeps its comments, spacing, line ends, order and byte-order mark.
//
// File format, as read:
// - "[name]" starts a section; blanks around the name are ignored. The first
//   section of a name wins; later duplicates are never read or written.
// - "key=value" inside a section; blanks around key and value are ignored and
//   one pair of matching double or single quotes around the value is removed.
// - Lines starting with ";", lines without "=" and lines before the first
//   section are ignored.
// - Section and key names match without regard to ASCII case; the bytes of
//   double-byte CP932 characters compare exactly.
// - Line ends may be CR LF, LF or CR; a UTF-8 byte-order mark is skipped.
// Values are raw bytes (CP932 text); nothing is converted.

#include <string>
#include <string_view>

namespace vela::ini {

/// The value of `key` in `section`, or `defaultValue` when the file, the
/// section or the key is missing. An empty value ("ADD=") is returned as
/// empty, not as the default. Never throws: an unreadable file reads as missing.
std::string readString(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view defaultValue);

/// The value read as an integer: optional sign, then decimal digits, or "0x"/"0X"
/// and hexadecimal digits (up to 32 bits, so "0xFFFFFFFF" is -1). The whole
/// value must be the number: "12abc", "", "abc" and decimals outside the int
/// range give `defaultValue`, as does a missing file, section or key.
int readInt(const std::string& path, std::string_view section, std::string_view key, int defaultValue);

/// Sets `key` in `section` to `value`, creating the file, the section (at the
/// end of the file) or the key (after the section's last key line) when
/// missing; every other byte of the file stays as it was. New lines take the
/// file's line-end style (CR LF for a new file). The file is written through
/// files::replaceFile: whole or not at all, keeping its mode, owner and links.
/// Blanks around the names are ignored, as on reading.
/// Throws vela::AppError "<path> に書き込めません" when the file cannot be
/// written (folder missing, file read-only or not the user's to write, a new
/// file in a folder that takes none, path a folder) or
/// when the result could not be read back as this key: an empty name, a line
/// break or NUL in a name or the value, "]" in the section name, or a key that
/// holds "=" or starts with ";" or "[". The old file is then untouched.
void writeString(const std::string& path, std::string_view section, std::string_view key, std::string_view value);

/// writeString with the value as decimal text ("0", "1", "-1").
void writeInt(const std::string& path, std::string_view section, std::string_view key, int value);

} // namespace vela::ini
