// libFuzzer target of the recovery-file reader: a start reads whatever copies
// it finds, and another user or a broken disk may have made them. Any bytes
// decode without a crash, and a copy that decodes is one our writer gives
// back unchanged.
#include "RecoveryFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    const auto content = vela::recovery::decode(in);
    if (!content) return 0;
    const auto again = vela::recovery::decode(vela::recovery::encode(*content));
    if (!again || again->rtf != content->rtf || again->sourcePath != content->sourcePath ||
        again->sourceFile != content->sourceFile || again->savedAtMs != content->savedAtMs)
        std::abort();
    return 0;
}
