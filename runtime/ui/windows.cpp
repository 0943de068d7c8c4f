// The window table, per-number classes and accelerator tables.
#include "runtime/ui/windows.h"

#include <stdarg.h>
#include <string.h>

#include "runtime/memory/heaps.h"
#include "runtime/ui/events.h"

WindowRecord* window_table;
intptr_t window_capacity;
NodeLink* window_list;
char class_name_buffer[CLASS_NAME_SIZE];
HINSTANCE module_instance;

namespace {

WNDCLASSA class_description;
HWND current_window;

// Table numbers stay well inside 32 bits, so their storage size never
// overflows and the number formats the same through "%ld" on both builds.
const intptr_t LARGEST_TABLE_NUMBER = 0x7fffff00;

WindowRecord* record_of_node(NodeLink* node) {
    return static_cast<WindowRecord*>(payload_of_node(node));
}

void format_into(char* buffer, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    wvsprintfA(buffer, format, arguments);
    va_end(arguments);
}

// Writes number in signed decimal; buffer holds at least 21 bytes.
void decimal_text(intptr_t number, char* buffer) {
    char digits[24];
    int count = 0;
    uintptr_t magnitude = number < 0 ? 0 - static_cast<uintptr_t>(number) : static_cast<uintptr_t>(number);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (number < 0) {
        *buffer++ = '-';
    }
    while (count > 0) {
        *buffer++ = digits[--count];
    }
    *buffer = 0;
}

// Makes room for slot number; false when the storage cannot grow.
bool grow_window_table(intptr_t number) {
    if (static_cast<uintptr_t>(number) < static_cast<uintptr_t>(window_capacity)) {
        return true;
    }
    void* storage = HeapReAlloc(main_heap, HEAP_ZERO_MEMORY, window_table, (number + 32) * sizeof(WindowRecord));
    if (storage == nullptr) {
        return false;
    }
    window_table = static_cast<WindowRecord*>(storage);
    window_capacity = number + 30;
    return true;
}

DWORD style_from_flags(int32_t flags, bool* maximise) {
    DWORD style = static_cast<DWORD>(flags) & ~static_cast<DWORD>(WINDOW_CENTRE_SCREEN | WINDOW_CENTRE_ACTIVE);
    if (style == 0 || style == WINDOW_HIDDEN) {
        style |= WS_CAPTION;
    }
    *maximise = false;
    if ((style & WINDOW_HIDDEN) != 0) {
        style &= ~static_cast<DWORD>(WINDOW_HIDDEN);
    } else {
        style |= WS_VISIBLE;
        *maximise = (style & WS_MAXIMIZE) != 0;
    }
    return style;
}

int32_t centred_on_screen(int32_t outer, int metric) {
    int32_t screen = GetSystemMetrics(metric);
    int32_t span = outer < screen ? outer : screen;
    return (screen >> 1) - (span >> 1);
}

void place_window(int32_t flags, int32_t outer_width, int32_t outer_height, int32_t* x, int32_t* y) {
    bool centre_active = (flags & WINDOW_CENTRE_ACTIVE) != 0;
    bool centre_screen = (flags & WINDOW_CENTRE_SCREEN) != 0;
    if (centre_active) {
        HWND active = GetActiveWindow();
        RECT area;
        if (active != nullptr && GetWindowRect(active, &area)) {
            *x = area.left - (outer_width >> 1) + ((area.right - area.left) >> 1);
            *y = area.top - (outer_height >> 1) + ((area.bottom - area.top) >> 1);
            if (*x < 0) {
                *x = 0;
            }
            if (*y < 0) {
                *y = 0;
            }
            return;
        }
        centre_screen = true;
    }
    if (centre_screen) {
        *x = centred_on_screen(outer_width, SM_CXSCREEN);
        *y = centred_on_screen(outer_height, SM_CYSCREEN);
    }
}

void build_accelerators(WindowRecord* record) {
    ACCEL* entries = static_cast<ACCEL*>(HeapAlloc(main_heap, 0, WINDOW_ACCELERATOR_COUNT * sizeof(ACCEL)));
    if (entries == nullptr) {
        return;
    }
    entries[0].fVirt = FVIRTKEY | FNOINVERT;
    entries[0].key = VK_TAB;
    entries[0].cmd = CMD_NEXT_CONTROL;
    entries[1].fVirt = FVIRTKEY | FNOINVERT | FSHIFT;
    entries[1].key = VK_TAB;
    entries[1].cmd = CMD_PREVIOUS_CONTROL;
    record->accelerator_count = WINDOW_ACCELERATOR_COUNT;
    record->accelerators = entries;
    record->accelerator_table = CreateAcceleratorTableA(entries, WINDOW_ACCELERATOR_COUNT);
}

}  // namespace

void format_window_class_name(intptr_t number) {
    if (number >= INT32_MIN && number <= INT32_MAX) {
        format_into(class_name_buffer, "WindowClass_%ld", static_cast<long>(number));
        return;
    }
    // "%ld" reads 32 bits on Windows; a record's address needs all its digits.
    char digits[24];
    decimal_text(number, digits);
    format_into(class_name_buffer, "WindowClass_%s", digits);
}

void init_window_runtime() {
    window_table = nullptr;
    window_capacity = WINDOW_INITIAL_CAPACITY;
    window_list = nullptr;
    current_window = nullptr;
    memset(class_name_buffer, 0, sizeof class_name_buffer);
    reset_event_state();
    module_instance = GetModuleHandleA(nullptr);
    window_table = static_cast<WindowRecord*>(
        HeapAlloc(main_heap, HEAP_ZERO_MEMORY, (WINDOW_INITIAL_CAPACITY + 2) * sizeof(WindowRecord)));

    memset(&class_description, 0, sizeof class_description);
    class_description.style = CS_DBLCLKS;
    class_description.lpfnWndProc = window_procedure;
    class_description.hInstance = module_instance;
    class_description.hIcon = LoadIconA(module_instance, MAKEINTRESOURCEA(1));
    class_description.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    class_description.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_BTNFACE + 1));
    class_description.lpszClassName = "TemplateClass";
    RegisterClassA(&class_description);
    class_description.lpszClassName = class_name_buffer;
}

WindowRecord* find_window_record(intptr_t number) {
    if (number >= 0 && number <= window_capacity) {
        return window_table != nullptr ? &window_table[number] : nullptr;
    }
    // Only addresses this runtime handed out are dereferenced.
    for (NodeLink* node = window_list; node != nullptr; node = node->next) {
        if (reinterpret_cast<intptr_t>(record_of_node(node)) == number) {
            return record_of_node(node);
        }
    }
    return nullptr;
}

intptr_t open_window(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height, int32_t flags,
                     const char* title) {
    bool dynamic = number == -1;
    if (dynamic) {
        void* payload = alloc_node(&window_list, sizeof(NodeLink) + sizeof(WindowRecord));
        if (payload == nullptr) {
            return 0;
        }
        number = reinterpret_cast<intptr_t>(payload);
    } else {
        if (number < 0 || number > LARGEST_TABLE_NUMBER || window_table == nullptr || !grow_window_table(number)) {
            return 0;
        }
        close_window(number);
    }

    format_window_class_name(number);
    RegisterClassA(&class_description);

    bool maximise;
    DWORD style = style_from_flags(flags, &maximise);
    RECT outer = {x, y, x + width, y + height};
    AdjustWindowRect(&outer, style, FALSE);
    int32_t outer_width = outer.right - outer.left;
    int32_t outer_height = outer.bottom - outer.top;
    place_window(flags, outer_width, outer_height, &x, &y);

    HWND window = CreateWindowExA(0, class_name_buffer, title, style, x, y, outer_width, outer_height, nullptr, nullptr,
                                  module_instance, nullptr);
    // Looked up again: nothing may hold a slot across the creation's messages.
    WindowRecord* record = find_window_record(number);
    record->window = window;
    if (window == nullptr) {
        return 0;
    }
    current_window = window;
    if (maximise) {
        ShowWindow(window, SW_MAXIMIZE);
    }
    build_accelerators(record);
    return dynamic ? number : reinterpret_cast<intptr_t>(window);
}

HWND current_window_handle() {
    return current_window;
}

void close_window(intptr_t number) {
    WindowRecord* record = find_window_record(number);
    if (record == nullptr || record->window == nullptr) {
        return;
    }
    DestroyWindow(record->window);
    format_window_class_name(number);
    UnregisterClassA(class_name_buffer, module_instance);
    if (record->accelerator_count != 0) {
        HeapFree(main_heap, 0, record->accelerators);
        DestroyAcceleratorTable(record->accelerator_table);
    }
    if (number >= 0 && number <= window_capacity) {
        memset(record, 0, sizeof *record);
    } else {
        free_node(&window_list, record);
    }
}

void close_all_windows() {
    NodeLink* node = window_list;
    while (node != nullptr) {
        NodeLink* next = node->next;
        WindowRecord* record = record_of_node(node);
        if (record->window != nullptr) {
            close_window(reinterpret_cast<intptr_t>(record));
        }
        node = next;
    }
    for (intptr_t number = window_capacity - 1; number >= 0; --number) {
        close_window(number);
    }
}
