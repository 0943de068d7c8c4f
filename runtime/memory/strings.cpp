#include "runtime/memory/strings.h"

#include <string.h>

#include "runtime/memory/heaps.h"

char* result_cursor = nullptr;

// The buffer's bounds, kept only so that no result can run past its end.
static char* buffer_start = nullptr;
static char* buffer_end = nullptr;

static const char empty_string[1] = {0};

void init_string_buffer() {
    if (result_cursor) {
        return;
    }
    buffer_start = static_cast<char*>(HeapAlloc(main_heap, HEAP_ZERO_MEMORY, STRING_BUFFER_SIZE));
    buffer_end = buffer_start ? buffer_start + STRING_BUFFER_SIZE : nullptr;
    result_cursor = buffer_start;
}

size_t string_room() {
    if (!result_cursor || result_cursor < buffer_start || result_cursor >= buffer_end) {
        return 0;
    }
    return static_cast<size_t>(buffer_end - result_cursor) - 1;
}

char* left_string(const char* text, int32_t n) {
    char* start = result_cursor;
    if (!start) {
        return nullptr;
    }
    size_t room = string_room();
    if (text && n > 0) {
        size_t limit = static_cast<size_t>(n) < room ? static_cast<size_t>(n) : room;
        for (size_t i = 0; i < limit && text[i]; ++i) {
            *result_cursor++ = text[i];
        }
    }
    *result_cursor = 0;
    return start;
}

void assign_string(char** variable, char* start) {
    if (*variable) {
        HeapFree(main_heap, 0, *variable);
        *variable = nullptr;
    }
    if (!start) {
        return;
    }
    size_t length = result_cursor >= start ? static_cast<size_t>(result_cursor - start) : 0;
    char* block = static_cast<char*>(HeapAlloc(main_heap, 0, length + 1));
    *variable = block;
    result_cursor = start;
    if (!block) {
        return;
    }
    // Up to the first zero byte, never past the block.
    size_t i = 0;
    for (; i < length && start[i]; ++i) {
        block[i] = start[i];
    }
    block[i] = 0;
}

int32_t string_equal(const char* a, const char* b) {
    if (!a) {
        a = empty_string;
    }
    if (!b) {
        b = empty_string;
    }
    return strcmp(a, b) == 0 ? 1 : 0;
}
