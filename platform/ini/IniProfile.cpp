#include "IniProfile.h"

#include "AppError.h"
#include "Cp932.h"
#include "FileRead.h"
#include "FileReplace.h"
#include "WriteTarget.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <random>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vela::ini {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// ASCII letters fold; a double-byte character must match byte for byte, since
// its trail byte may look like a letter (0x83 0x41 is not 0x83 0x61).
bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (cp932::isLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// One line of the file: content [begin, end), its line end [end, next).
struct Line {
    std::size_t begin;
    std::size_t end;
    std::size_t next;
};

std::vector<Line> splitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t pos = text.starts_with(kBom) ? kBom.size() : 0;
    while (pos < text.size()) {
        std::size_t end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        std::size_t next = end;
        if (next < text.size()) {
            if (text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n') next += 2;
            else ++next;
        }
        lines.push_back({pos, end, next});
        pos = next;
    }
    return lines;
}

// The first line end of the file decides the style of the lines we add.
std::string_view lineEndStyle(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') return "\n";
        if (text[i] == '\r') return (i + 1 < text.size() && text[i + 1] == '\n') ? "\r\n" : "\r";
    }
    return "\r\n";
}

enum class Kind { Other, Section, Key };

struct Parsed {
    Kind kind = Kind::Other;
    std::string_view name;
    std::size_t valueBegin = 0; ///< offsets in the file of the trimmed value
    std::size_t valueEnd = 0;
};

// The first ']' that is a character of its own, not the trail byte of a double-byte one.
std::size_t findCloseBracket(std::string_view text, std::size_t from, std::size_t to) {
    for (std::size_t q = from; q < to; ++q) {
        if (text[q] == ']') return q;
        if (cp932::isLeadByte(static_cast<unsigned char>(text[q]))) ++q;
    }
    return std::string_view::npos;
}

Parsed parseLine(std::string_view text, const Line& line) {
    Parsed parsed;
    std::size_t p = line.begin;
    while (p < line.end && isBlank(text[p])) ++p;
    if (p == line.end || text[p] == ';') return parsed;
    if (text[p] == '[') {
        std::size_t q = findCloseBracket(text, p + 1, line.end);
        if (q == std::string_view::npos) return parsed;
        parsed.kind = Kind::Section;
        parsed.name = trim(text.substr(p + 1, q - p - 1));
        return parsed;
    }
    std::size_t eq = text.find('=', p); // '=' is never a trail byte
    if (eq == std::string_view::npos || eq >= line.end) return parsed;
    parsed.kind = Kind::Key;
    parsed.name = trim(text.substr(p, eq - p));
    std::size_t vb = eq + 1;
    while (vb < line.end && isBlank(text[vb])) ++vb;
    std::size_t ve = line.end;
    while (ve > vb && isBlank(text[ve - 1])) --ve;
    parsed.valueBegin = vb;
    parsed.valueEnd = ve;
    return parsed;
}

// Where a key stands, or where it would go.
struct Location {
    std::vector<Line> lines;
    bool sectionFound = false;
    std::size_t lastLine = 0; ///< header or last key line of the section
    bool keyFound = false;
    Parsed key;
};

Location locate(std::string_view text, std::string_view section, std::string_view key) {
    Location loc;
    loc.lines = splitLines(text);
    for (std::size_t i = 0; i < loc.lines.size(); ++i) {
        Parsed parsed = parseLine(text, loc.lines[i]);
        if (parsed.kind == Kind::Section) {
            if (loc.sectionFound) break; // the first section of that name wins
            if (sameName(parsed.name, section)) {
                loc.sectionFound = true;
                loc.lastLine = i;
            }
        } else if (parsed.kind == Kind::Key && loc.sectionFound) {
            loc.lastLine = i;
            if (sameName(parsed.name, key)) {
                loc.keyFound = true;
                loc.key = parsed;
                break;
            }
        }
    }
    return loc;
}

std::string_view unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::optional<std::string> lookup(const std::string& path, std::string_view section, std::string_view key) {
    std::optional<std::string> text = files::readRegularFile(path);
    if (!text) return std::nullopt;
    Location loc = locate(*text, trim(section), trim(key));
    if (!loc.keyFound) return std::nullopt;
    std::string_view value(*text);
    value = value.substr(loc.key.valueBegin, loc.key.valueEnd - loc.key.valueBegin);
    return std::string(unquote(value));
}

std::optional<int> parseInt(std::string_view s) {
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty() || s.front() == '+' || s.front() == '-') return std::nullopt;
    std::uint64_t magnitude = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    if (base == 16) {
        // Hexadecimal is a 32-bit pattern: 0xFFFFFFFF reads as -1.
        if (magnitude > 0xFFFFFFFFu) return std::nullopt;
        auto bits = static_cast<std::uint32_t>(magnitude);
        if (negative) bits = 0u - bits;
        return static_cast<std::int32_t>(bits);
    }
    if (magnitude > (negative ? 2147483648u : 2147483647u)) return std::nullopt;
    auto value = static_cast<std::int64_t>(magnitude);
    return static_cast<int>(negative ? -value : value);
}

AppError cannotWrite(const std::string& path) { return AppError(path + " に書き込めません"); }

bool hasLineBreakOrNul(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != s.npos; }

// A name or value that would change the file's structure when written.
bool writable(std::string_view section, std::string_view key, std::string_view value) {
    if (section.empty() || key.empty()) return false;
    if (hasLineBreakOrNul(section) || hasLineBreakOrNul(key) || hasLineBreakOrNul(value)) return false;
    if (findCloseBracket(section, 0, section.size()) != std::string_view::npos) return false;
    if (key.find('=') != key.npos || key.front() == ';' || key.front() == '[') return false;
    return true;
}

std::string withValue(std::string_view text, std::string_view section, std::string_view key, std::string_view value) {
    Location loc = locate(text, section, key);
    std::string result(text);
    std::string eol(lineEndStyle(text));
    if (loc.keyFound) {
        result.replace(loc.key.valueBegin, loc.key.valueEnd - loc.key.valueBegin, value);
        return result;
    }
    std::string keyLine = std::string(key) + "=" + std::string(value) + eol;
    if (loc.sectionFound) {
        const Line& after = loc.lines[loc.lastLine];
        std::string insert = (after.end == after.next ? eol : std::string()) + keyLine;
        result.insert(after.next, insert);
        return result;
    }
    bool hasContent = text.size() > (text.starts_with(kBom) ? kBom.size() : 0);
    if (hasContent && text.back() != '\n' && text.back() != '\r') result += eol;
    result += "[" + std::string(section) + "]" + eol + keyLine;
    return result;
}

} // namespace

std::string readString(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view defaultValue) {
    std::optional<std::string> value = lookup(path, section, key);
    return value ? *value : std::string(defaultValue);
}

int readInt(const std::string& path, std::string_view section, std::string_view key, int defaultValue) {
    std::optional<std::string> value = lookup(path, section, key);
    if (!value) return defaultValue;
    return parseInt(*value).value_or(defaultValue);
}

void writeString(const std::string& path, std::string_view section, std::string_view key, std::string_view value) {
    section = trim(section);
    key = trim(key);
    if (!writable(section, key, value)) throw cannotWrite(path);

    // Checks against the file the link points at; files::replaceFile follows it the same way.
    const std::optional<std::string> resolved = files::writeTarget(path);
    if (!resolved) throw cannotWrite(path); // a link that leads nowhere is never replaced
    const std::string& target = *resolved;
    struct stat st {};
    std::string text;
    bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists) {
        // A read-only file is refused by files::replaceFile, like every user file.
        if (!S_ISREG(st.st_mode)) throw cannotWrite(path);
        std::optional<std::string> old = files::readRegularFile(target);
        if (!old) throw cannotWrite(path); // rewriting what we cannot read would lose it
        text = std::move(*old);
    } else if (errno != ENOENT) {
        throw cannotWrite(path);
    }

    const files::ReplaceOutcome outcome = files::replaceFile(path, withValue(text, section, key, value));
    if (outcome.result == files::ReplaceResult::Damaged)
        throw AppError(files::damagedFileMessage(path, outcome.oldContentCopy));
    if (outcome.result != files::ReplaceResult::Done) throw cannotWrite(path);
}

void writeInt(const std::string& path, std::string_view section, std::string_view key, int value) {
    writeString(path, section, key, std::to_string(value));
}

} // namespace vela::ini
