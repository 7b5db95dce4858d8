#include "HugePages.h"

#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace vela::rtf::detail {

void adviseHugePages(void* data, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    constexpr std::size_t kMinBytes = std::size_t(4) << 20;
    constexpr std::uintptr_t kPage = 4096;
    if (bytes < kMinBytes) return;
    auto begin = reinterpret_cast<std::uintptr_t>(data);
    std::uintptr_t first = (begin + kPage - 1) & ~(kPage - 1);
    std::uintptr_t last = (begin + bytes) & ~(kPage - 1);
    // Only advice: where the kernel cannot follow it, the buffer works as before.
    madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

} // namespace vela::rtf::detail
