// Slot table behind every kernel handle. The value is (generation << 32) |
// ((slot + 1) << 2): never 0, never all ones, and low bits that a pointer
// from elsewhere rarely has in this combination.
#include "platform/posix/kernel/handles.h"

#include <mutex>
#include <vector>

namespace kernel {

namespace {

struct Slot {
    HandleKind kind;
    uint32_t generation;
    void* object;
};

const uintptr_t kMaxSlots = (uintptr_t(1) << 30) - 1;

std::mutex table_mutex;
std::vector<Slot> slots;
std::vector<uint32_t> free_slots;

Slot* slot_of(HANDLE handle) {
    uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if ((value & 3) != 0) {
        return nullptr;
    }
    uintptr_t index = ((value & 0xFFFFFFFFu) >> 2);
    uint32_t generation = static_cast<uint32_t>(value >> 32);
    if (index == 0 || index > slots.size()) {
        return nullptr;
    }
    Slot* slot = &slots[index - 1];
    if (slot->kind == HandleKind::None || slot->generation != generation) {
        return nullptr;
    }
    return slot;
}

}  // namespace

HANDLE insert_handle(HandleKind kind, void* object) {
    std::lock_guard<std::mutex> lock(table_mutex);
    uint32_t index;
    if (!free_slots.empty()) {
        index = free_slots.back();
        free_slots.pop_back();
    } else {
        if (slots.size() >= kMaxSlots) {
            SetLastError(ERROR_TOO_MANY_OPEN_FILES);
            return nullptr;
        }
        index = static_cast<uint32_t>(slots.size());
        slots.push_back(Slot{HandleKind::None, 1, nullptr});
    }
    Slot& slot = slots[index];
    slot.kind = kind;
    slot.object = object;
    uintptr_t value = (uintptr_t(slot.generation) << 32) | (uintptr_t(index + 1) << 2);
    return reinterpret_cast<HANDLE>(value);
}

void* find_handle(HANDLE handle, HandleKind kind) {
    std::lock_guard<std::mutex> lock(table_mutex);
    Slot* slot = slot_of(handle);
    if (slot == nullptr || slot->kind != kind) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return slot->object;
}

HandleKind handle_kind(HANDLE handle) {
    std::lock_guard<std::mutex> lock(table_mutex);
    Slot* slot = slot_of(handle);
    return slot == nullptr ? HandleKind::None : slot->kind;
}

void* remove_handle(HANDLE handle, HandleKind kind) {
    std::lock_guard<std::mutex> lock(table_mutex);
    Slot* slot = slot_of(handle);
    if (slot == nullptr || slot->kind != kind) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    void* object = slot->object;
    slot->kind = HandleKind::None;
    slot->object = nullptr;
    // Generation 0 is skipped so that a handle's high half is never zero.
    slot->generation = slot->generation == 0xFFFFFFFFu ? 1 : slot->generation + 1;
    free_slots.push_back(static_cast<uint32_t>(slot - slots.data()));
    return object;
}

void for_each_handle(HandleKind kind, bool (*visit)(void* object, void* context), void* context) {
    std::lock_guard<std::mutex> lock(table_mutex);
    for (Slot& slot : slots) {
        if (slot.kind == kind && !visit(slot.object, context)) {
            return;
        }
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
