// Private heaps. Each heap records its blocks, so a block from another heap
// or a stray pointer is refused, and HeapDestroy releases all of them at
// once. Blocks come from malloc, which keeps them visible to sanitizers.
#include <algorithm>
#include <mutex>

#include "platform/posix/kernel/handles.h"
#include "platform/posix/kernel/heap_blocks.h"
#include "platform/posix/kernel/syscalls.h"

namespace {

constexpr SIZE_T max_reserved_blocks = 1 << 16;

struct Heap {
    kernel::BlockTable blocks;
    SIZE_T maximum;  // 0: growable
    SIZE_T in_use;
};

// One lock for all heaps: lookup and use of a heap must not interleave with
// its destruction.
std::mutex heaps_mutex;

Heap* heap_of(HANDLE handle) {
    return static_cast<Heap*>(kernel::find_handle(handle, kernel::HandleKind::Heap));
}

// The heap's record of a block's size; null with ERROR_INVALID_PARAMETER for
// a pointer the heap did not hand out, null included.
SIZE_T* find_block(Heap* heap, const void* memory) {
    SIZE_T* size = heap->blocks.find(memory);
    if (size == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
    }
    return size;
}

bool fits(const Heap* heap, SIZE_T old_size, SIZE_T new_size) {
    if (heap->maximum == 0 || new_size <= old_size) {
        return true;
    }
    return new_size - old_size <= heap->maximum - heap->in_use;
}

}  // namespace

HANDLE WINAPI HeapCreate(DWORD flOptions, SIZE_T dwInitialSize, SIZE_T dwMaximumSize) {
    (void)flOptions;
    if (dwMaximumSize != 0 && dwInitialSize > dwMaximumSize) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(heaps_mutex);
    Heap* heap = new Heap();
    heap->maximum = dwMaximumSize;
    heap->in_use = 0;
    // Room for as many blocks as the initial size holds at 8 bytes each, so
    // the record of blocks does not grow again and again while a program
    // fills its heap at start.
    heap->blocks.reserve(std::min<SIZE_T>(dwInitialSize / 8, max_reserved_blocks));
    HANDLE handle = kernel::insert_handle(kernel::HandleKind::Heap, heap);
    if (handle == nullptr) {
        delete heap;
    }
    return handle;
}

BOOL WINAPI HeapDestroy(HANDLE hHeap) {
    std::lock_guard<std::mutex> lock(heaps_mutex);
    Heap* heap = static_cast<Heap*>(kernel::remove_handle(hHeap, kernel::HandleKind::Heap));
    if (heap == nullptr) {
        return FALSE;
    }
    heap->blocks.for_each([](void* block, SIZE_T) { kernel::sys.free(block); });
    delete heap;
    return TRUE;
}

LPVOID WINAPI HeapAlloc(HANDLE hHeap, DWORD dwFlags, SIZE_T dwBytes) {
    std::lock_guard<std::mutex> lock(heaps_mutex);
    Heap* heap = heap_of(hHeap);
    if (heap == nullptr) {
        return nullptr;
    }
    if (!fits(heap, 0, dwBytes)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // A zero-byte block is still a distinct block.
    const SIZE_T size = dwBytes == 0 ? 1 : dwBytes;
    void* block = (dwFlags & HEAP_ZERO_MEMORY) ? kernel::sys.calloc(1, size) : kernel::sys.malloc(size);
    if (block == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (!heap->blocks.insert(block, dwBytes)) {
        kernel::sys.free(block);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    heap->in_use += dwBytes;
    return block;
}

LPVOID WINAPI HeapReAlloc(HANDLE hHeap, DWORD dwFlags, LPVOID lpMem, SIZE_T dwBytes) {
    std::lock_guard<std::mutex> lock(heaps_mutex);
    Heap* heap = heap_of(hHeap);
    if (heap == nullptr) {
        return nullptr;
    }
    SIZE_T* found = find_block(heap, lpMem);
    if (found == nullptr) {
        return nullptr;
    }
    const SIZE_T old_size = *found;
    if (!fits(heap, old_size, dwBytes)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    void* block = lpMem;
    if (dwBytes > old_size) {
        if (dwFlags & HEAP_REALLOC_IN_PLACE_ONLY) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        block = kernel::sys.realloc(lpMem, dwBytes);
        if (block == nullptr) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        if (dwFlags & HEAP_ZERO_MEMORY) {
            memset(static_cast<char*>(block) + old_size, 0, dwBytes - old_size);
        }
    }
    // A shrinking block stays where it is; only its recorded size changes.
    if (block != lpMem) {
        // Erasing first leaves the room the new record needs.
        heap->blocks.erase(lpMem);
        heap->blocks.insert(block, dwBytes);
    } else {
        *found = dwBytes;
    }
    heap->in_use = heap->in_use - old_size + dwBytes;
    return block;
}

BOOL WINAPI HeapFree(HANDLE hHeap, DWORD dwFlags, LPVOID lpMem) {
    (void)dwFlags;
    std::lock_guard<std::mutex> lock(heaps_mutex);
    Heap* heap = heap_of(hHeap);
    if (heap == nullptr) {
        return FALSE;
    }
    if (lpMem == nullptr) {
        return TRUE;
    }
    SIZE_T* found = find_block(heap, lpMem);
    if (found == nullptr) {
        return FALSE;
    }
    heap->in_use -= *found;
    heap->blocks.erase(lpMem);
    kernel::sys.free(lpMem);
    return TRUE;
}

SIZE_T WINAPI HeapSize(HANDLE hHeap, DWORD dwFlags, LPCVOID lpMem) {
    (void)dwFlags;
    std::lock_guard<std::mutex> lock(heaps_mutex);
    Heap* heap = heap_of(hHeap);
    if (heap == nullptr) {
        return static_cast<SIZE_T>(-1);
    }
    const SIZE_T* found = find_block(heap, lpMem);
    return found != nullptr ? *found : static_cast<SIZE_T>(-1);
}
