#pragma once

#include <cstddef>
#include <memory>

namespace kestrane {

// Makes the whole pages inside [start, start + bytes) resident and writable
// in one system call. Otherwise each first touch of a fresh page is a page
// fault of its own, and on a virtual machine a fault can cost ten
// microseconds or more: an array of a few hundred KiB, paid for page by page,
// costs more than all the work done in it. Where the kernel cannot do this
// (before Linux 5.14) the pages are faulted in as they are touched, as ever.
void makeResident(void *start, std::size_t bytes);

// Storage for arrays that are written through as soon as they are made: a
// channel's values, a column's cells.
template <typename T>
struct ResidentAllocator {
    using value_type = T;

    ResidentAllocator() = default;
    template <typename U>
    ResidentAllocator(const ResidentAllocator<U> &) {}

    T *allocate(std::size_t count)
    {
        T *start = std::allocator<T>{}.allocate(count);
        makeResident(start, count * sizeof(T));
        return start;
    }
    void deallocate(T *start, std::size_t count) { std::allocator<T>{}.deallocate(start, count); }

    friend bool operator==(const ResidentAllocator &, const ResidentAllocator &) { return true; }
};

} // namespace kestrane
