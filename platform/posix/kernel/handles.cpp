// The slot table behind every handle; its layout and the lookup are in
// handle_lookup.h.
#include "platform/posix/kernel/handles.h"

#include <mutex>
#include <new>
#include <vector>

#include "platform/posix/kernel/handle_lookup.h"

namespace kernel {

// Static, so that it is there before any constructor and after every
// destructor that closes a handle; its chunks are never freed.
std::atomic<HandleSlot*> handle_chunks[handle_chunk_count];

namespace {

// Never destroyed, so that a handle closed by a static destructor at exit
// still finds its lock and its free slots. Inserting, removing and walking
// the table take the lock; looking up does not.
struct Table {
    std::recursive_mutex mutex;
    uint32_t used = 0;  // slots handed out at least once
    std::vector<uint32_t> free_slots;
    // Read without the lock by CloseHandle.
    std::atomic<CloseHook> close_hooks[handle_kind_count] = {};
};
Table& table = *new Table;

// The slot a handle value names, and the generation it must have.
HandleSlot* named_slot(HANDLE handle, uint64_t* generation) {
    uint32_t index = 0;
    return parse_handle(handle, &index, generation) ? handle_slot_at(index) : nullptr;
}

HANDLE handle_of(uint32_t index, uint64_t generation) {
    uintptr_t value =
        (uintptr_t(generation) << handle_generation_shift) | ((uintptr_t(index) + 1) << handle_index_shift);
    return reinterpret_cast<HANDLE>(value);
}

}  // namespace

HANDLE insert_handle(HandleKind kind, void* object) {
    std::lock_guard<std::recursive_mutex> lock(table.mutex);
    uint32_t index = table.used;
    if (!table.free_slots.empty()) {
        index = table.free_slots.back();
    } else if (table.used >= max_handle_slots) {
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        return nullptr;
    }
    std::atomic<HandleSlot*>& chunk = handle_chunks[index >> handle_chunk_bits];
    HandleSlot* slots = chunk.load(std::memory_order_relaxed);
    if (slots == nullptr) {
        slots = new (std::nothrow) HandleSlot[handle_chunk_size];
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
    HandleSlot& slot = slots[index & (handle_chunk_size - 1)];
    // The object before the tag: a reader that sees the tag sees the object.
    slot.object.store(object, std::memory_order_release);
    slot.tag.store(handle_tag(slot.generation, kind), std::memory_order_release);
    return handle_of(index, slot.generation);
}

void* peek_handle(HANDLE handle, HandleKind kind) {
    return lookup_handle(handle, kind);
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
    HandleSlot* slot = named_slot(handle, &generation);
    if (slot == nullptr) {
        return HandleKind::None;
    }
    uint32_t tag = slot->tag.load(std::memory_order_acquire);
    if ((tag >> handle_kind_bits) != generation) {
        return HandleKind::None;
    }
    return static_cast<HandleKind>(tag & ((1u << handle_kind_bits) - 1));
}

void* remove_handle(HANDLE handle, HandleKind kind) {
    std::lock_guard<std::recursive_mutex> lock(table.mutex);
    uint32_t index = 0;
    uint64_t generation = 0;
    HandleSlot* slot = parse_handle(handle, &index, &generation) ? handle_slot_at(index) : nullptr;
    if (slot == nullptr || slot->tag.load(std::memory_order_relaxed) != handle_tag(generation, kind)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    void* object = slot->object.load(std::memory_order_relaxed);
    slot->tag.store(handle_tag(0, HandleKind::None), std::memory_order_release);
    slot->object.store(nullptr, std::memory_order_release);
    // A slot whose generations are used up is retired rather than reused.
    if (slot->generation < last_handle_generation) {
        slot->generation++;
        table.free_slots.push_back(index);
    }
    return object;
}

void set_close_hook(HandleKind kind, CloseHook hook) {
    table.close_hooks[static_cast<unsigned>(kind)].store(hook, std::memory_order_release);
}

void for_each_handle(HandleKind kind, bool (*visit)(void* object, void* context), void* context) {
    std::lock_guard<std::recursive_mutex> lock(table.mutex);
    for (uint32_t index = 0; index < table.used; ++index) {
        HandleSlot& slot = *handle_slot_at(index);
        if ((slot.tag.load(std::memory_order_relaxed) & ((1u << handle_kind_bits) - 1)) ==
                static_cast<uint32_t>(kind) &&
            kind != HandleKind::None && !visit(slot.object.load(std::memory_order_relaxed), context)) {
            return;
        }
    }
}

void set_free_generations_for_test(uint64_t generation) {
    std::lock_guard<std::recursive_mutex> lock(table.mutex);
    if (generation < 1 || generation > last_handle_generation) {
        return;
    }
    for (uint32_t index : table.free_slots) {
        handle_slot_at(index)->generation = generation;
    }
}

}  // namespace kernel

BOOL WINAPI CloseHandle(HANDLE hObject) {
    kernel::HandleKind kind = kernel::handle_kind(hObject);
    kernel::CloseHook hook =
        kind == kernel::HandleKind::None
            ? nullptr
            : kernel::table.close_hooks[static_cast<unsigned>(kind)].load(std::memory_order_acquire);
    if (hook == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return hook(hObject);
}
