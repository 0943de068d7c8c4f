#include "platform/posix/user/pixel_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>

namespace user {

namespace {

constexpr size_t huge_page = size_t{2} << 20;

size_t round_up(size_t n, size_t to) {
    return (n + to - 1) / to * to;
}

// bytes at a 2 MB boundary: a larger mapping, its ends given back.
void* map_aligned(size_t bytes) {
    const size_t slack = huge_page - static_cast<size_t>(sysconf(_SC_PAGESIZE));
    void* raw = mmap(nullptr, bytes + slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        return nullptr;
    }
    char* start = static_cast<char*>(raw);
    char* aligned = reinterpret_cast<char*>(round_up(reinterpret_cast<uintptr_t>(start), huge_page));
    if (aligned > start) {
        munmap(start, static_cast<size_t>(aligned - start));
    }
    char* end = start + bytes + slack;
    if (end > aligned + bytes) {
        munmap(aligned + bytes, static_cast<size_t>(end - (aligned + bytes)));
    }
    // Only hints: without them the buffer is the same, faulted in page by page.
    madvise(aligned, bytes / huge_page * huge_page, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
    madvise(aligned, bytes, MADV_POPULATE_WRITE);
#endif
    return aligned;
}

}  // namespace

bool PixelMemory::allocate(size_t count, uint32_t fill) {
    release();
    const size_t bytes = round_up(count * sizeof(uint32_t), static_cast<size_t>(sysconf(_SC_PAGESIZE)));
    void* memory = nullptr;
    if (bytes >= huge_page) {
        memory = map_aligned(bytes);
    } else {
        // Every page is written at once below: made present in one call,
        // not one fault each.
        memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        memory = memory == MAP_FAILED ? nullptr : memory;
    }
    if (memory == nullptr) {
        return false;
    }
    pixels_ = static_cast<uint32_t*>(memory);
    count_ = count;
    mapped_ = bytes;
    std::fill_n(pixels_, count, fill);
    return true;
}

void PixelMemory::release() {
    if (pixels_ != nullptr) {
        munmap(pixels_, mapped_);
    }
    pixels_ = nullptr;
    count_ = 0;
    mapped_ = 0;
}

}  // namespace user
