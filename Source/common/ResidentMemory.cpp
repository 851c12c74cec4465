#include "common/ResidentMemory.h"

#include <cstdint>

#include <sys/mman.h>
#include <unistd.h>

namespace kestrane {

void makeResident(void *start, std::size_t bytes)
{
    static const std::uintptr_t pageBytes = std::uintptr_t(::sysconf(_SC_PAGESIZE));
    // Only whole pages of this block: a page it shares with its neighbours
    // may be theirs to touch or not.
    const std::uintptr_t first = (std::uintptr_t(start) + pageBytes - 1) & ~(pageBytes - 1);
    const std::uintptr_t end = (std::uintptr_t(start) + bytes) & ~(pageBytes - 1);
    if (end <= first)
        return;
#ifdef MADV_POPULATE_WRITE
    // A refusal (an older kernel) only means the pages fault in one by one.
    ::madvise(reinterpret_cast<void *>(first), end - first, MADV_POPULATE_WRITE);
#endif
}

} // namespace kestrane
