// libFuzzer target of the RTF reader. Besides not crashing, what the reader
// returns must be in normalize()'s form and survive our own writer unchanged.
#include "AppError.h"
#include "Rtf.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view in(reinterpret_cast<const char*>(data), size);
    try {
        auto first = vela::rtf::read(in);
        if (first.runs != vela::rtf::normalize(first.runs)) std::abort(); // read() returns the canonical form
        auto again = vela::rtf::read(vela::rtf::write(first.runs));
        if (again.runs != first.runs || again.replaced != 0) std::abort();
    } catch (const vela::AppError&) {
        if (vela::rtf::looksLikeRtf(in)) std::abort(); // RTF is loaded as far as it goes, never refused
    }
    return 0;
}
