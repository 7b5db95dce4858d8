#include "HiddenName.h"

#include <cstdio>
#include <random>

namespace vela::files {
namespace {
constexpr std::string_view Prefix = ".vela-";
constexpr std::size_t Digits = 8;
} // namespace

std::string hiddenName(std::string_view suffix) {
    static thread_local std::mt19937 random{std::random_device{}()};
    char digits[Digits + 1];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(random()));
    return std::string(Prefix) + digits + std::string(suffix);
}

bool isHiddenName(std::string_view name, std::string_view suffix) {
    if (name.size() != Prefix.size() + Digits + suffix.size() || !name.starts_with(Prefix) || !name.ends_with(suffix))
        return false;
    for (char c : name.substr(Prefix.size(), Digits))
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

} // namespace vela::files
