#pragma once

// A hint that a large block of memory is about to be filled at once, such as
// a table read whole: Linux then backs it with 2 MiB pages, and reading a
// 40 MB table takes some twenty page faults instead of ten thousand. Nothing
// changes in what the memory holds, and nothing happens where the system has
// no such pages or declines.

#include <cstddef>

namespace platform {

// Blocks smaller than this are left as they are: the hint pays only where a
// block spans several large pages.
inline constexpr size_t kLargePageHintFrom = size_t{4} << 20;

// Asks for large pages over the whole large pages inside [data, data + size),
// before they are first touched.
void AdviseLargePages(void* data, size_t size);

}  // namespace platform
