// How the handle table lays out its slots, and the lookup of a handle
// without a lock, inline so that the byte-at-a-time reader's ReadFile
// makes no call for it. Only handles.cpp changes slots.
#pragma once

#include <stdint.h>

#include <atomic>

#include "platform/posix/kernel/handles.h"

namespace kernel {

// A value is (generation << 18) | ((slot + 1) << 2) with 13 bits of
// generation: never 0, at least 0x40004, and below 2^31, so it reads the
// same as a LONG, a DWORD or a pointer.
constexpr unsigned handle_index_shift = 2;
constexpr unsigned handle_generation_shift = 18;
constexpr uint32_t max_handle_slots = (uint32_t(1) << (handle_generation_shift - handle_index_shift)) - 1;
static_assert(last_handle_generation == (uint64_t(1) << (31 - handle_generation_shift)) - 1, "bit 31 stays clear");

// A slot's live generation and kind in one word, so one load tells whether a
// handle names it: generation << kind_bits | kind, and 0 for a free slot.
constexpr unsigned handle_kind_bits = 3;
constexpr unsigned handle_kind_count = static_cast<unsigned>(HandleKind::DeviceContext) + 1;
static_assert(handle_kind_count <= (1u << handle_kind_bits), "kinds fit");

inline uint32_t handle_tag(uint64_t generation, HandleKind kind) {
    return static_cast<uint32_t>(generation << handle_kind_bits) | static_cast<uint32_t>(kind);
}

struct HandleSlot {
    std::atomic<uint32_t> tag{0};
    std::atomic<void*> object{nullptr};
    uint64_t generation = 1;  // the current or the next one; under the table's lock
};

// Slots live in chunks that never move nor go away, so a lookup needs no
// lock: any thread may look a handle up while another makes or retires one.
constexpr uint32_t handle_chunk_bits = 8;
constexpr uint32_t handle_chunk_size = uint32_t(1) << handle_chunk_bits;
constexpr uint32_t handle_chunk_count = (max_handle_slots + handle_chunk_size - 1) / handle_chunk_size;
extern std::atomic<HandleSlot*> handle_chunks[handle_chunk_count];

inline HandleSlot* handle_slot_at(uint32_t index) {
    HandleSlot* chunk = handle_chunks[index >> handle_chunk_bits].load(std::memory_order_acquire);
    return chunk == nullptr ? nullptr : &chunk[index & (handle_chunk_size - 1)];
}

// Where a value points: its slot's index and its generation; false for a
// value no handle ever has.
inline bool parse_handle(HANDLE handle, uint32_t* index, uint64_t* generation) {
    uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    uintptr_t number = (value & ((uintptr_t(1) << handle_generation_shift) - 1)) >> handle_index_shift;
    *generation = static_cast<uint64_t>(value >> handle_generation_shift);
    if ((value & ((uintptr_t(1) << handle_index_shift) - 1)) != 0 || number == 0 ||
        *generation > last_handle_generation) {
        return false;
    }
    *index = static_cast<uint32_t>(number - 1);
    return true;
}

// The object of a live handle of the kind, null otherwise. The tag is read
// on both sides of the object (whose stores release what came before them),
// so an object read while its slot was retired and given out again is never
// returned for the old handle. What a caller does with an object that
// another thread closes meanwhile is the program's race, as on the platform
// a handle closed by one thread while another uses it is.
inline void* lookup_handle(HANDLE handle, HandleKind kind) {
    uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    uintptr_t number = (value & ((uintptr_t(1) << handle_generation_shift) - 1)) >> handle_index_shift;
    uint64_t generation = static_cast<uint64_t>(value >> handle_generation_shift);
    if ((value & ((uintptr_t(1) << handle_index_shift) - 1)) != 0 || number == 0 ||
        generation > last_handle_generation) {
        return nullptr;
    }
    HandleSlot* slot = handle_slot_at(static_cast<uint32_t>(number - 1));
    if (slot == nullptr) {
        return nullptr;
    }
    uint32_t wanted = handle_tag(generation, kind);
    if (slot->tag.load(std::memory_order_acquire) != wanted) {
        return nullptr;
    }
    void* object = slot->object.load(std::memory_order_acquire);
    return slot->tag.load(std::memory_order_relaxed) == wanted ? object : nullptr;
}

}  // namespace kernel
