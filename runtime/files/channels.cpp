#include "runtime/files/channels.h"

#include <string.h>

#include "runtime/memory/heaps.h"
#include "runtime/memory/strings.h"

HANDLE* file_table = nullptr;
int32_t file_table_capacity = 0;
NodeLink* dynamic_channels = nullptr;
HANDLE current_file = 0;

void init_files() {
    file_table_capacity = INITIAL_FILE_TABLE_CAPACITY;
    file_table = static_cast<HANDLE*>(HeapAlloc(main_heap, HEAP_ZERO_MEMORY, file_table_capacity * sizeof(HANDLE)));
    dynamic_channels = nullptr;
    current_file = 0;
}

static bool is_table_channel(intptr_t channel) {
    return channel >= 0 && channel < file_table_capacity;
}

// Only ids of open dynamic channels are honoured, so a stale id never
// reaches a released node.
static HANDLE* dynamic_slot(intptr_t channel) {
    for (NodeLink* node = dynamic_channels; node; node = node->next) {
        if (reinterpret_cast<intptr_t>(payload_of_node(node)) == channel) {
            return static_cast<HANDLE*>(payload_of_node(node));
        }
    }
    return nullptr;
}

static HANDLE* resolve_slot(intptr_t channel) {
    if (channel == DYNAMIC_CHANNEL) {
        return nullptr;
    }
    if (is_table_channel(channel)) {
        return file_table ? &file_table[channel] : nullptr;
    }
    return dynamic_slot(channel);
}

static bool grow_table(intptr_t channel) {
    if (channel > INT32_MAX - INITIAL_FILE_TABLE_CAPACITY) {
        return false;
    }
    int32_t capacity = static_cast<int32_t>(channel) + INITIAL_FILE_TABLE_CAPACITY;
    void* grown = HeapReAlloc(main_heap, HEAP_ZERO_MEMORY, file_table, capacity * sizeof(HANDLE));
    if (!grown) {
        return false;
    }
    file_table = static_cast<HANDLE*>(grown);
    file_table_capacity = capacity;
    return true;
}

static HANDLE create_file_handle(const char* name, int32_t open_mode) {
    switch (open_mode) {
        case OPEN_MODE_READ_ONLY:
            return CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
        case OPEN_MODE_READ_WRITE:
            return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, 0);
        case OPEN_MODE_CREATE: {
            HANDLE handle =
                CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
            if (handle == INVALID_HANDLE_VALUE) {
                handle = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, TRUNCATE_EXISTING, 0, 0);
            }
            return handle;
        }
        default:
            return INVALID_HANDLE_VALUE;
    }
}

intptr_t open_channel(intptr_t channel, const char* name, int32_t open_mode) {
    HANDLE handle = create_file_handle(name, open_mode);
    current_file = handle == INVALID_HANDLE_VALUE ? 0 : handle;
    if (!current_file) {
        return 0;
    }

    HANDLE* slot;
    if (channel == DYNAMIC_CHANNEL) {
        slot = static_cast<HANDLE*>(alloc_node(&dynamic_channels, sizeof(NodeLink) + sizeof(HANDLE)));
    } else if (channel >= file_table_capacity && grow_table(channel)) {
        slot = &file_table[channel];
    } else {
        slot = resolve_slot(channel);
    }
    if (!slot) {
        // Nowhere to keep it: undo the open rather than leak a handle.
        CloseHandle(handle);
        current_file = 0;
        return 0;
    }

    // The earlier file goes only now that the new one is open. A reopened
    // dynamic channel keeps its node.
    HANDLE earlier = *slot;
    *slot = handle;
    if (earlier) {
        CloseHandle(earlier);
    }
    return channel == DYNAMIC_CHANNEL ? reinterpret_cast<intptr_t>(slot) : reinterpret_cast<intptr_t>(handle);
}

intptr_t open_file(intptr_t channel, const char* name) {
    return open_channel(channel, name, OPEN_MODE_READ_WRITE);
}

intptr_t create_file(intptr_t channel, const char* name) {
    return open_channel(channel, name, OPEN_MODE_CREATE);
}

void close_file(intptr_t channel) {
    HANDLE* slot = resolve_slot(channel);
    if (!slot || !*slot) {
        return;
    }
    HANDLE handle = *slot;
    CloseHandle(handle);
    // A closed file is never used again.
    if (handle == current_file) {
        current_file = 0;
    }
    if (is_table_channel(channel)) {
        *slot = 0;
    } else {
        free_node(&dynamic_channels, slot);
    }
}

void close_all_files() {
    NodeLink* node = dynamic_channels;
    while (node) {
        NodeLink* next = node->next;
        close_file(reinterpret_cast<intptr_t>(payload_of_node(node)));
        node = next;
    }
    for (int32_t channel = 0; channel < file_table_capacity; ++channel) {
        close_file(channel);
    }
}

// One byte from the current file: true and *byte when one was read.
static bool read_one(unsigned char* byte) {
    DWORD count = 0;
    *byte = 0;
    if (!ReadFile(current_file, byte, 1, &count, nullptr) || count != 1) {
        *byte = 0;
        return false;
    }
    return true;
}

int32_t read_byte() {
    unsigned char byte = 0;
    if (current_file) {
        read_one(&byte);
    }
    return static_cast<signed char>(byte);
}

char* read_line() {
    if (!current_file || !result_cursor) {
        return nullptr;
    }
    char* start = result_cursor;
    size_t room = string_room();
    unsigned char byte = 0;
    while (read_one(&byte) && byte != '\r' && byte != '\n' && byte != 0) {
        if (room > 0) {
            *result_cursor++ = static_cast<char>(byte);
            --room;
        }
    }
    *result_cursor = 0;
    if (byte == '\r') {
        unsigned char next = 0;
        if (read_one(&next) && next != '\n') {
            SetFilePointer(current_file, -1, nullptr, FILE_CURRENT);
        }
    }
    return start;
}

int32_t write_line(const char* text) {
    if (!current_file) {
        return 0;
    }
    int32_t total = 0;
    DWORD count = 0;
    if (text && text[0]) {
        WriteFile(current_file, text, static_cast<DWORD>(strlen(text)), &count, nullptr);
        total += static_cast<int32_t>(count);
    }
    static const char terminator[2] = {'\r', '\n'};
    count = 0;
    WriteFile(current_file, terminator, 2, &count, nullptr);
    return total + static_cast<int32_t>(count);
}

int32_t write_byte(int32_t value) {
    if (!current_file) {
        return 0;
    }
    unsigned char byte = static_cast<unsigned char>(value & 0xFF);
    DWORD count = 0;
    WriteFile(current_file, &byte, 1, &count, nullptr);
    return static_cast<int32_t>(count);
}

int32_t set_file_position(int32_t offset) {
    if (!current_file || offset < 0) {
        return 0;
    }
    return SetFilePointer(current_file, offset, nullptr, FILE_BEGIN) == static_cast<DWORD>(offset) ? 1 : 0;
}
