// The slot table behind every handle. The value is
// (generation << 18) | ((slot + 1) << 2) with 13 bits of generation: never 0,
// at least 0x40004, and below 2^31, so it reads the same as a LONG, a DWORD
// or a pointer.
#include "platform/posix/kernel/handles.h"

#include <atomic>
#include <mutex>
#include <new>
#include <vector>

namespace kernel {

namespace {

constexpr unsigned index_shift = 2;
constexpr unsigned generation_shift = 18;
constexpr uintptr_t max_slots = (uintptr_t(1) << (generation_shift - index_shift)) - 1;
constexpr uint64_t last_generation = last_handle_generation;
static_assert(last_generation == (uint64_t(1) << (31 - generation_shift)) - 1, "bit 31 stays clear");

// A slot's live generation and kind in one word, so one load tells whether a
// handle names it: generation << kind_bits | kind, with None for a free slot.
constexpr unsigned kind_bits = 3;
static_assert(static_cast<unsigned>(HandleKind::DeviceContext) < (1u << kind_bits), "kinds fit");

uint32_t tag_of(uint64_t generation, HandleKind kind) {
    return static_cast<uint32_t>(generation << kind_bits) | static_cast<uint32_t>(kind);
}

struct Slot {
    std::atomic<uint32_t> tag{0};
    std::atomic<void*> object{nullptr};
    uint64_t generation = 1;  // the next or current one; under the mutex
};

// Slots live in chunks that never move nor go away, so that a lookup needs
// no lock: any thread may look a handle up while another makes or retires
// one. Inserting, removing and walking the table take the mutex.
constexpr uint32_t chunk_bits = 8;
constexpr uint32_t chunk_size = 1u << chunk_bits;
constexpr uint32_t chunk_count = static_cast<uint32_t>((max_slots + chunk_size - 1) / chunk_size);

// Never destroyed, so that a handle closed by a static destructor at exit
// still finds its table.
struct Table {
    std::recursive_mutex mutex;
    std::atomic<Slot*> chunks[chunk_count] = {};
    uint32_t used = 0;  // slots handed out at least once
    std::vector<uint32_t> free_slots;
};
Table& table = *new Table;

Slot* slot_at(uint32_t index) {
    Slot* chunk = table.chunks[index >> chunk_bits].load(std::memory_order_acquire);
    return chunk == nullptr ? nullptr : &chunk[index & (chunk_size - 1)];
}

// Where a handle value points: its slot's index and its generation; false
// for a value no handle ever has.
bool parse(HANDLE handle, uint32_t* index, uint64_t* generation) {
    uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    uintptr_t number = (value & ((uintptr_t(1) << generation_shift) - 1)) >> index_shift;
    *generation = static_cast<uint64_t>(value >> generation_shift);
    if ((value & ((uintptr_t(1) << index_shift) - 1)) != 0 || number == 0 || *generation > last_generation) {
        return false;
    }
    *index = static_cast<uint32_t>(number - 1);
    return true;
}

// The slot a handle value names, and the generation it must have.
Slot* named_slot(HANDLE handle, uint64_t* generation) {
    uint32_t index = 0;
    return parse(handle, &index, generation) ? slot_at(index) : nullptr;
}

HANDLE handle_of(uint32_t index, uint64_t generation) {
    uintptr_t value = (uintptr_t(generation) << generation_shift) | ((uintptr_t(index) + 1) << index_shift);
    return reinterpret_cast<HANDLE>(value);
}

}  // namespace

HANDLE insert_handle(HandleKind kind, void* object) {
    std::lock_guard<std::recursive_mutex> lock(table.mutex);
    uint32_t index = table.used;
    if (!table.free_slots.empty()) {
        index = table.free_slots.back();
    } else if (table.used >= max_slots) {
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        return nullptr;
    }
    std::atomic<Slot*>& chunk = table.chunks[index >> chunk_bits];
    Slot* slots = chunk.load(std::memory_order_relaxed);
    if (slots == nullptr) {
        slots = new (std::nothrow) Slot[chunk_size];
        if (slots == nullptr) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        chunk.store(slots, std::memory_order_release);
    }
    if (index == table.used) {
        table.used++;
    } else {
        table.free_slots.pop_back();
    }
    Slot& slot = slots[index & (chunk_size - 1)];
    // The object before the tag: a reader that sees the tag sees the object.
    slot.object.store(object, std::memory_order_release);
    slot.tag.store(tag_of(slot.generation, kind), std::memory_order_release);
    return handle_of(index, slot.generation);
}

// Lock-free: the tag is read on both sides of the object (whose stores
// release what came before them), so an object read while its slot was
// retired and given out again is never returned for the old handle. What the object's owner does with it after a
// concurrent close is the caller's race, as it was with a lock around the lookup alone.
void* peek_handle(HANDLE handle, HandleKind kind) {
    uint64_t generation = 0;
    Slot* slot = named_slot(handle, &generation);
    if (slot == nullptr) {
        return nullptr;
    }
    uint32_t wanted = tag_of(generation, kind);
    if (slot->tag.load(std::memory_order_acquire) != wanted) {
        return nullptr;
    }
    void* object = slot->object.load(std::memory_order_acquire);
    return slot->tag.load(std::memory_order_relaxed) == wanted ? object : nullptr;
}

void* find_handle(HANDLE handle, HandleKind kind) {
    void* object = peek_handle(handle, kind);
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return object;
}

HandleKind handle_kind(HANDLE handle) {
    uint64_t generation = 0;
    Slot* slot = named_slot(handle, &generation);
    if (slot == nullptr) {
        return HandleKind::None;
    }
    uint32_t tag = slot->tag.load(std::memory_order_acquire);
    if ((tag >> kind_bits) != generation) {
        return HandleKind::None;
    }
    return static_cast<HandleKind>(tag & ((1u << kind_bits) - 1));
}

void* remove_handle(HANDLE handle, HandleKind kind) {
    std::lock_guard<std::recursive_mutex> lock(table.mutex);
    uint32_t index = 0;
    uint64_t generation = 0;
    Slot* slot = parse(handle, &index, &generation) ? slot_at(index) : nullptr;
    if (slot == nullptr || slot->tag.load(std::memory_order_relaxed) != tag_of(generation, kind)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    void* object = slot->object.load(std::memory_order_relaxed);
    slot->tag.store(tag_of(0, HandleKind::None), std::memory_order_release);
    slot->object.store(nullptr, std::memory_order_release);
    // A slot whose generations are used up is retired rather than reused.
    if (slot->generation < last_generation) {
        slot->generation++;
        table.free_slots.push_back(index);
    }
    return object;
}

void for_each_handle(HandleKind kind, bool (*visit)(void* object, void* context), void* context) {
    std::lock_guard<std::recursive_mutex> lock(table.mutex);
    for (uint32_t index = 0; index < table.used; ++index) {
        Slot& slot = *slot_at(index);
        if ((slot.tag.load(std::memory_order_relaxed) & ((1u << kind_bits) - 1)) == static_cast<uint32_t>(kind) &&
            kind != HandleKind::None && !visit(slot.object.load(std::memory_order_relaxed), context)) {
            return;
        }
    }
}

void set_free_generations_for_test(uint64_t generation) {
    std::lock_guard<std::recursive_mutex> lock(table.mutex);
    if (generation < 1 || generation > last_generation) {
        return;
    }
    for (uint32_t index : table.free_slots) {
        slot_at(index)->generation = generation;
    }
}

}  // namespace kernel

BOOL WINAPI CloseHandle(HANDLE hObject) {
    switch (kernel::handle_kind(hObject)) {
        case kernel::HandleKind::File:
            return kernel::close_file_handle(hObject);
        case kernel::HandleKind::Find:
            return kernel::close_find_handle(hObject);
        default:
            // Heaps are destroyed, not closed.
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
    }
}
