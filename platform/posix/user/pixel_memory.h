// A top-level window's pixels, mapped on their own and made present in one
// call rather than one page fault at a time (each fault costs microseconds,
// more than writing the page). A buffer of whole 2 MB pieces is aligned to
// them and asks for huge pages: at scale 2 its first 2 MB is one page.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace user {

class PixelMemory {
  public:
    PixelMemory() = default;
    PixelMemory(const PixelMemory&) = delete;
    PixelMemory& operator=(const PixelMemory&) = delete;
    ~PixelMemory() { release(); }

    // count pixels, each set to fill; false, and empty, when refused.
    bool allocate(size_t count, uint32_t fill);
    void release();

    uint32_t* data() const { return pixels_; }
    size_t size() const { return count_; }
    bool empty() const { return pixels_ == nullptr; }

  private:
    uint32_t* pixels_ = nullptr;
    size_t count_ = 0;
    size_t mapped_ = 0;  // bytes
};

}  // namespace user
