// Arrays: one zero-filled main-heap block, a header followed by
// upper_bound + 1 elements. The owner variable holds element 0's address;
// the header stands immediately in front of it.
#pragma once

#include <stdint.h>

// One entry of an element layout. Entries are pointer-sized so that a nested
// group can hold its members' layout by address on any build.
typedef intptr_t LayoutEntry;

// Entries of an element layout, read in order:
//   offset >= 0      a stored string reference at that byte offset to release;
//   LAYOUT_GROUP, count, first offset, stride, (LayoutEntry) member layout
//                    a nested group of count members, each with its own layout;
//   LAYOUT_END       the end.
#define LAYOUT_END (-1)
#define LAYOUT_GROUP (-2)

struct ArrayHeader {
    int32_t element_size;               // bytes per element, the step between elements
    const LayoutEntry* element_layout;  // null when the elements hold no stored strings
    void* owner_variable;               // recorded, never read back
    int32_t upper_bound;                // the highest index
    int32_t element_kind;               // the caller's kind code, recorded, never read back
};

// An element that is exactly one string reference: 0, LAYOUT_END.
extern const LayoutEntry string_element_layout[];

// variable is the address of the owner variable (a pointer to the element
// type). It takes element 0's address, or null when no block could be had.
void allocate_array(void* variable, int32_t upper_bound, int32_t element_size, const LayoutEntry* layout, int32_t kind);

ArrayHeader* array_header(void* elements);

// Releases an array whose elements hold no stored strings. Null does nothing.
void free_array(void* elements);

// Releases every stored string the header's layout locates, then the array.
void free_string_array(void* elements);

void free_strings_by_layout(void* element, const LayoutEntry* layout);
