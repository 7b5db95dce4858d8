// libFuzzer target of the CP932 codec: decoding is total, and what it decodes
// encodes without loss and decodes again to the same text. The same bytes as
// a page file: reading in whatever encoding they seem to be gives canonical
// CP932 text, and writing that text in the charset it declares never fails.
#include "Cp932.h"
#include "PageEncoding.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view in(reinterpret_cast<const char*>(data), size);
    const auto decoded = vela::cp932::decode(in);
    const auto encoded = vela::cp932::encode(decoded.text);
    if (encoded.replaced != 0) std::abort();
    const auto again = vela::cp932::decode(encoded.bytes);
    if (again.text != decoded.text || again.replaced != 0) std::abort();
    if (vela::cp932::encode(again.text).bytes != encoded.bytes) std::abort();

    const auto page = vela::encoding::readText(in);
    std::string canonical = page.text;
    if (vela::cp932::canonicalize(canonical) != 0 || canonical != page.text) std::abort();
    const auto written = vela::encoding::writePage(page.text);
    if (written.charset.empty() && written.bytes != page.text) std::abort();
    return 0;
}
