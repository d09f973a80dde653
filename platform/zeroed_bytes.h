#pragma once
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

namespace platform {

// Takes its memory from calloc, so a fresh allocation reads as zero without
// a pass over it where the system hands the memory out zeroed already (every
// block large enough to be mapped on its own). Elements made without a value
// are left as the allocation holds them: zero in a fresh vector, but a vector
// that grows back into capacity it shrank from keeps the old bytes there.
template <typename T>
struct ZeroedAllocator {
    using value_type = T;

    ZeroedAllocator() = default;
    template <typename U>
    ZeroedAllocator(const ZeroedAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        void* p = std::calloc(n, sizeof(T));
        if (!p) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t) noexcept { std::free(p); }

    template <typename U>
    void construct(U*) noexcept {}
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }

    template <typename U>
    bool operator==(const ZeroedAllocator<U>&) const noexcept { return true; }
};

// Pixel and file bytes sized once while fresh: they read as zero until
// written.
using ZeroedBytes = std::vector<uint8_t, ZeroedAllocator<uint8_t>>;

}  // namespace platform
