#include "PictureName.h"

#include "Cp932.h"

namespace vela::picture {

std::string fileNameOnly(std::string_view path) {
    std::size_t nameStart = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(path[i]);
        if (cp932::isLeadByte(byte)) {
            ++i; // its trail byte is never a separator
            continue;
        }
        if (byte == '\\' || byte == '/' || byte == ':') nameStart = i + 1;
    }
    return std::string(path.substr(nameStart));
}

std::string asciiLowerCase(std::string_view text) {
    std::string lowered(text);
    for (std::size_t i = 0; i < lowered.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(lowered[i]);
        if (cp932::isLeadByte(byte))
            ++i; // a trail byte in A..Z belongs to its character
        else if (byte >= 'A' && byte <= 'Z')
            lowered[i] = static_cast<char>(byte - 'A' + 'a');
    }
    return lowered;
}

std::string tagName(std::string_view path, bool nameOnly) {
    std::string name = nameOnly ? fileNameOnly(path) : std::string(path);
    if constexpr (LowerCasesNames) name = asciiLowerCase(name);
    return name;
}

} // namespace vela::picture
