// The process's one handle table: kernel objects, windows, accelerator
// tables and GDI objects alike. A handle names a slot and the slot's
// generation, so a closed, stale or made-up value is recognised and refused
// without touching memory it does not own. Every value fits 31 bits and is a
// multiple of 4, as programs keep USER and GDI handles in a LONG and expect
// kernel handles to be multiples of 4; a slot whose generations are used up
// is never reused, so a stale handle never becomes valid again. Looking a
// handle up takes no lock, so the byte-at-a-time reader pays no lock per
// byte; making and retiring handles take one.
#pragma once

#include "platform/posix/win32_kernel.h"

namespace kernel {

enum class HandleKind { None, Heap, File, Find, Window, Accelerators, GdiObject, DeviceContext };

// A new handle for the object, never 0 nor INVALID_HANDLE_VALUE, and never
// below 0x10000 (so never a resource number or a small control id); null
// with ERROR_TOO_MANY_OPEN_FILES when the table (65,535 live handles) cannot
// grow.
HANDLE insert_handle(HandleKind kind, void* object);

// The object behind a live handle of that kind; null with ERROR_INVALID_HANDLE
// otherwise.
void* find_handle(HANDLE handle, HandleKind kind);
// The same without touching the last error.
void* peek_handle(HANDLE handle, HandleKind kind);

// The kind of a live handle, None for anything else.
HandleKind handle_kind(HANDLE handle);

// Retires the handle and gives back its object; null with ERROR_INVALID_HANDLE
// when it is not a live handle of that kind.
void* remove_handle(HANDLE handle, HandleKind kind);

// What CloseHandle does with a live handle of a kind: retires it and frees
// its object, or fails with the last error set.
using CloseHook = BOOL (*)(HANDLE handle);

// Lets CloseHandle close handles of the kind. The file that makes a kind
// registers its closer before it gives out a handle of it, so the table
// never calls a kind's code by name: kinds build on the table, and the
// table needs none of them. Kinds without a hook (heaps, windows, GDI
// objects) are refused with ERROR_INVALID_HANDLE.
void set_close_hook(HandleKind kind, CloseHook hook);

// Calls visit for every live object of the kind until it returns false.
void for_each_handle(HandleKind kind, bool (*visit)(void* object, void* context), void* context);

// The last generation a slot gives out.
constexpr uint64_t last_handle_generation = (uint64_t(1) << 13) - 1;
// For tests: gives every free slot this generation, so that the end of a
// slot's generations is reached without using them all up.
void set_free_generations_for_test(uint64_t generation);

}  // namespace kernel
