// The slot table behind every handle. The value is
// (generation << 18) | ((slot + 1) << 2) with 13 bits of generation: never 0,
// at least 0x40004, and below 2^31, so it reads the same as a LONG, a DWORD
// or a pointer.
#include "platform/posix/kernel/handles.h"

#include <mutex>
#include <vector>

namespace kernel {

namespace {

constexpr unsigned index_shift = 2;
constexpr unsigned generation_shift = 18;
constexpr uintptr_t max_slots = (uintptr_t(1) << (generation_shift - index_shift)) - 1;
constexpr uint64_t last_generation = last_handle_generation;
static_assert(last_generation == (uint64_t(1) << (31 - generation_shift)) - 1, "bit 31 stays clear");

struct Slot {
    HandleKind kind;
    uint64_t generation;
    void* object;
};

// Never destroyed, so that a handle closed by a static destructor at exit
// still finds its table.
struct Table {
    std::recursive_mutex mutex;
    std::vector<Slot> slots;
    std::vector<uint32_t> free_slots;
};
Table& table = *new Table;
std::recursive_mutex& table_mutex = table.mutex;
std::vector<Slot>& slots = table.slots;
std::vector<uint32_t>& free_slots = table.free_slots;

Slot* slot_of(HANDLE handle) {
    uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if ((value & ((uintptr_t(1) << index_shift) - 1)) != 0) {
        return nullptr;
    }
    uintptr_t index = (value & ((uintptr_t(1) << generation_shift) - 1)) >> index_shift;
    uint64_t generation = static_cast<uint64_t>(value >> generation_shift);
    if (index == 0 || index > slots.size()) {
        return nullptr;
    }
    Slot* slot = &slots[index - 1];
    if (slot->kind == HandleKind::None || slot->generation != generation) {
        return nullptr;
    }
    return slot;
}

HANDLE handle_of(const Slot& slot) {
    uintptr_t index = static_cast<uintptr_t>(&slot - slots.data());
    uintptr_t value = (uintptr_t(slot.generation) << generation_shift) | ((index + 1) << index_shift);
    return reinterpret_cast<HANDLE>(value);
}

}  // namespace

HANDLE insert_handle(HandleKind kind, void* object) {
    std::lock_guard<std::recursive_mutex> lock(table_mutex);
    uint32_t index;
    if (!free_slots.empty()) {
        index = free_slots.back();
        free_slots.pop_back();
    } else {
        if (slots.size() >= max_slots) {
            SetLastError(ERROR_TOO_MANY_OPEN_FILES);
            return nullptr;
        }
        index = static_cast<uint32_t>(slots.size());
        slots.push_back(Slot{HandleKind::None, 1, nullptr});
    }
    Slot& slot = slots[index];
    slot.kind = kind;
    slot.object = object;
    return handle_of(slot);
}

void* peek_handle(HANDLE handle, HandleKind kind) {
    std::lock_guard<std::recursive_mutex> lock(table_mutex);
    Slot* slot = slot_of(handle);
    return slot != nullptr && slot->kind == kind ? slot->object : nullptr;
}

void* find_handle(HANDLE handle, HandleKind kind) {
    void* object = peek_handle(handle, kind);
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return object;
}

HandleKind handle_kind(HANDLE handle) {
    std::lock_guard<std::recursive_mutex> lock(table_mutex);
    Slot* slot = slot_of(handle);
    return slot == nullptr ? HandleKind::None : slot->kind;
}

void* remove_handle(HANDLE handle, HandleKind kind) {
    std::lock_guard<std::recursive_mutex> lock(table_mutex);
    Slot* slot = slot_of(handle);
    if (slot == nullptr || slot->kind != kind) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    void* object = slot->object;
    slot->kind = HandleKind::None;
    slot->object = nullptr;
    // A slot whose generations are used up is retired rather than reused.
    if (slot->generation < last_generation) {
        slot->generation++;
        free_slots.push_back(static_cast<uint32_t>(slot - slots.data()));
    }
    return object;
}

void for_each_handle(HandleKind kind, bool (*visit)(void* object, void* context), void* context) {
    std::lock_guard<std::recursive_mutex> lock(table_mutex);
    for (Slot& slot : slots) {
        if (slot.kind == kind && !visit(slot.object, context)) {
            return;
        }
    }
}

void set_free_generations_for_test(uint64_t generation) {
    std::lock_guard<std::recursive_mutex> lock(table_mutex);
    if (generation < 1 || generation > last_generation) {
        return;
    }
    for (uint32_t index : free_slots) {
        slots[index].generation = generation;
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
