#include "runtime/memory/arrays.h"

#include <string.h>

#include "runtime/memory/heaps.h"

const LayoutEntry string_element_layout[] = {0, LAYOUT_END};

ArrayHeader* array_header(void* elements) {
    return reinterpret_cast<ArrayHeader*>(static_cast<char*>(elements) - sizeof(ArrayHeader));
}

void allocate_array(void* variable, int32_t upper_bound, int32_t element_size, const LayoutEntry* layout,
                    int32_t kind) {
    void* elements = nullptr;
    if (upper_bound >= 0 && element_size > 0) {
        size_t bytes = sizeof(ArrayHeader) + (static_cast<size_t>(upper_bound) + 1) * static_cast<size_t>(element_size);
        ArrayHeader* header = static_cast<ArrayHeader*>(HeapAlloc(main_heap, HEAP_ZERO_MEMORY, bytes));
        if (header) {
            header->element_size = element_size;
            header->element_layout = layout;
            header->owner_variable = variable;
            header->upper_bound = upper_bound;
            header->element_kind = kind;
            elements = reinterpret_cast<char*>(header) + sizeof(ArrayHeader);
        }
    }
    // The owner variable may be of any pointer type.
    memcpy(variable, &elements, sizeof elements);
}

void free_array(void* elements) {
    if (elements) {
        HeapFree(main_heap, 0, array_header(elements));
    }
}

void free_string_array(void* elements) {
    if (!elements) {
        return;
    }
    ArrayHeader* header = array_header(elements);
    if (header->element_layout) {
        char* element = static_cast<char*>(elements);
        for (int32_t i = 0; i <= header->upper_bound; ++i) {
            free_strings_by_layout(element, header->element_layout);
            element += header->element_size;
        }
    }
    HeapFree(main_heap, 0, header);
}

void free_strings_by_layout(void* element, const LayoutEntry* layout) {
    char* base = static_cast<char*>(element);
    while (layout && *layout != LAYOUT_END) {
        if (*layout >= 0) {
            char* text;
            memcpy(&text, base + *layout, sizeof text);
            if (text) {
                HeapFree(main_heap, 0, text);
            }
            layout += 1;
        } else if (*layout == LAYOUT_GROUP) {
            LayoutEntry count = layout[1];
            LayoutEntry offset = layout[2];
            LayoutEntry stride = layout[3];
            const LayoutEntry* members = reinterpret_cast<const LayoutEntry*>(layout[4]);
            for (LayoutEntry i = 0; i < count; ++i) {
                free_strings_by_layout(base + offset + i * stride, members);
            }
            layout += 5;
        } else {
            // No other entry is defined; stop rather than read on blindly.
            return;
        }
    }
}
