// The heaps' table of blocks.
#include "platform/posix/kernel/heap_blocks.h"

#include <stdlib.h>

namespace kernel {

namespace {

constexpr size_t smallest_capacity = 16;

}  // namespace

BlockTable::~BlockTable() {
    free(slots_);
}

// Blocks are at least 16-byte aligned: the low bits say nothing.
size_t BlockTable::home(const void* block) const {
    const uint64_t bits = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(block) >> 4) * 0x9E3779B97F4A7C15ull;
    return static_cast<size_t>(bits >> 32) & (capacity_ - 1);
}

bool BlockTable::rebuild(size_t capacity) {
    Slot* slots = static_cast<Slot*>(calloc(capacity, sizeof(Slot)));
    if (slots == nullptr) {
        return false;
    }
    Slot* old = slots_;
    const size_t old_capacity = capacity_;
    slots_ = slots;
    capacity_ = capacity;
    for (size_t i = 0; i < old_capacity; i++) {
        if (old[i].block != nullptr) {
            size_t at = home(old[i].block);
            while (slots_[at].block != nullptr) {
                at = (at + 1) & (capacity_ - 1);
            }
            slots_[at] = old[i];
        }
    }
    free(old);
    return true;
}

bool BlockTable::reserve(size_t count) {
    size_t capacity = capacity_ > 0 ? capacity_ : smallest_capacity;
    while (capacity / 2 < count) {
        capacity *= 2;
    }
    return capacity == capacity_ || rebuild(capacity);
}

SIZE_T* BlockTable::find(const void* block) const {
    if (capacity_ == 0 || block == nullptr) {
        return nullptr;
    }
    for (size_t at = home(block);; at = (at + 1) & (capacity_ - 1)) {
        if (slots_[at].block == block) {
            return &slots_[at].size;
        }
        if (slots_[at].block == nullptr) {
            return nullptr;
        }
    }
}

bool BlockTable::insert(void* block, SIZE_T size) {
    if (!reserve(used_ + 1)) {
        return false;
    }
    size_t at = home(block);
    while (slots_[at].block != nullptr) {
        at = (at + 1) & (capacity_ - 1);
    }
    slots_[at] = Slot{block, size};
    used_++;
    return true;
}

void BlockTable::erase(const void* block) {
    if (capacity_ == 0 || block == nullptr) {
        return;
    }
    const size_t mask = capacity_ - 1;
    size_t gap = home(block);
    while (slots_[gap].block != block) {
        if (slots_[gap].block == nullptr) {
            return;
        }
        gap = (gap + 1) & mask;
    }
    // Each later record of the run moves into the gap unless its home lies
    // after the gap, where a search would no longer pass the gap to reach it.
    for (size_t next = (gap + 1) & mask; slots_[next].block != nullptr; next = (next + 1) & mask) {
        const size_t wanted = home(slots_[next].block);
        const bool stays = gap <= next ? (gap < wanted && wanted <= next) : (gap < wanted || wanted <= next);
        if (!stays) {
            slots_[gap] = slots_[next];
            gap = next;
        }
    }
    slots_[gap] = Slot{nullptr, 0};
    used_--;
}

}  // namespace kernel
