#pragma once
// How a chosen picture file becomes the name written into an IMG or BODY tag.
// All texts are CP932 bytes, so a separator is looked for only at character
// starts: the trail byte of a double-byte character may equal '\\'.

#include <string>
#include <string_view>

namespace vela::picture {

/// Whether picture names are lower-cased. Only on Windows, whose file names
/// ignore case; elsewhere Photo.GIF and photo.gif are different files and
/// lower-casing would break the reference.
#ifdef _WIN32
inline constexpr bool LowerCasesNames = true;
#else
inline constexpr bool LowerCasesNames = false;
#endif

/// The part of `path` after its last backslash, slash or colon; the whole
/// path when it has none.
std::string fileNameOnly(std::string_view path);

/// `text` with the ASCII capitals A to Z made lower case; every other byte,
/// both bytes of a double-byte character included, unchanged.
std::string asciiLowerCase(std::string_view text);

/// The name a tag refers to the picture `path` by: the file name only when
/// `nameOnly`, otherwise the path; lower-cased where LowerCasesNames.
std::string tagName(std::string_view path, bool nameOnly);

} // namespace vela::picture
