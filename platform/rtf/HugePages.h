#pragma once
// Huge-page advice for the codec's large buffers.

#include <cstddef>

namespace vela::rtf::detail {

/// Asks for huge pages behind the whole 2 MB pages of [data, data + bytes).
/// A large buffer that is filled once, right after it is allocated (the run
/// list of a large document, the RTF written for it), otherwise takes a page
/// fault every 4 KB. Buffers under a few MB are left alone.
void adviseHugePages(void* data, std::size_t bytes);

} // namespace vela::rtf::detail
