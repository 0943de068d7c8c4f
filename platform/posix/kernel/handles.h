// The process's kernel handle table. A handle names a slot and the slot's
// generation, so a closed, stale or made-up value is recognised and refused
// without touching memory it does not own.
#pragma once

#include "platform/posix/win32_kernel.h"

namespace kernel {

enum class HandleKind { None, Heap, File, Find };

// A new handle for the object, never 0 nor INVALID_HANDLE_VALUE; null when
// the table cannot grow.
HANDLE insert_handle(HandleKind kind, void* object);

// The object behind a live handle of that kind; null with ERROR_INVALID_HANDLE
// otherwise.
void* find_handle(HANDLE handle, HandleKind kind);

// The kind of a live handle, None for anything else.
HandleKind handle_kind(HANDLE handle);

// Retires the handle and gives back its object; null with ERROR_INVALID_HANDLE
// when it is not a live handle of that kind.
void* remove_handle(HANDLE handle, HandleKind kind);

// Calls visit for every live object of the kind until it returns false.
void for_each_handle(HandleKind kind, bool (*visit)(void* object, void* context), void* context);

}  // namespace kernel

namespace kernel {

// Closers of the kinds that CloseHandle accepts, in files.cpp and find.cpp.
BOOL close_file_handle(HANDLE handle);
BOOL close_find_handle(HANDLE handle);

}  // namespace kernel
