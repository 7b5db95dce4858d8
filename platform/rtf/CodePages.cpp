#include "CodePages.h"

#include <iconv.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace vela::rtf::detail {
namespace {

std::string iconvName(int codepage) {
    switch (codepage) {
    case 10000: return "MACINTOSH";
    case 20127: return "ASCII";
    default: return "CP" + std::to_string(codepage);
    }
}

std::array<char16_t, 256> buildTable(int codepage) {
    std::array<char16_t, 256> table;
    table.fill(kNoChar);
    for (unsigned b = 0; b < 0x80; ++b) table[b] = static_cast<char16_t>(b);
    iconv_t cd = iconv_open("UTF-16LE", iconvName(codepage).c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return table;
    std::unique_ptr<void, int (*)(iconv_t)> guard(cd, iconv_close);
    for (unsigned b = 0x80; b < 0x100; ++b) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char in[1] = {static_cast<char>(b)};
        unsigned char out[8];
        char* ip = in;
        char* op = reinterpret_cast<char*>(out);
        std::size_t il = 1, ol = sizeof out;
        if (iconv(cd, &ip, &il, &op, &ol) != static_cast<std::size_t>(-1) && il == 0 && sizeof out - ol == 2)
            table[b] = static_cast<char16_t>(out[0] | out[1] << 8);
    }
    return table;
}

} // namespace

const std::array<char16_t, 256>& singleByteTable(int codepage) {
    static std::mutex mutex;
    static std::map<int, std::array<char16_t, 256>> tables;
    std::lock_guard lock(mutex);
    auto it = tables.find(codepage);
    if (it == tables.end()) it = tables.emplace(codepage, buildTable(codepage)).first;
    return it->second; // map nodes never move, so the reference stays valid
}

int codepageOfCharset(int charset) {
    switch (charset) {
    case 0: return 1252;
    case 77: return 10000;
    case 128: return kCp932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    default: return 0;
    }
}

} // namespace vela::rtf::detail
