// The blocks a private heap handed out, by address, with their sizes: an
// open-addressing table, since a heap records every block a program makes
// and a node per record would cost as much as the block. Linear probing
// at most half full, and deletion by moving back the records after the
// gap, so no record is ever a tombstone.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "platform/posix/win32_kernel.h"

namespace kernel {

class BlockTable {
  public:
    BlockTable() = default;
    BlockTable(const BlockTable&) = delete;
    BlockTable& operator=(const BlockTable&) = delete;
    ~BlockTable();

    // Room for count records without growing; false when memory ran out.
    bool reserve(size_t count);
    // The recorded size of the block, or null for one not recorded.
    SIZE_T* find(const void* block) const;
    // Records a block not yet recorded; false when memory ran out.
    bool insert(void* block, SIZE_T size);
    void erase(const void* block);
    size_t size() const { return used_; }

    template <typename Visit>
    void for_each(Visit visit) const {
        for (size_t i = 0; i < capacity_; i++) {
            if (slots_[i].block != nullptr) {
                visit(slots_[i].block, slots_[i].size);
            }
        }
    }

  private:
    struct Slot {
        void* block;
        SIZE_T size;
    };
    size_t home(const void* block) const;
    bool rebuild(size_t capacity);

    Slot* slots_ = nullptr;
    size_t capacity_ = 0;  // 0 or a power of two
    size_t used_ = 0;
};

}  // namespace kernel
