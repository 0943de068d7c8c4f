// The control table, creation, states, and the subclass that frees a
// control's number when its window is destroyed.
#include "runtime/ui/controls.h"

#include <string.h>

#include "runtime/memory/heaps.h"

ControlKind text_kind;
ControlKind checkbox_kind;
ControlKind button_kind;

ControlEntry* control_table;
intptr_t control_capacity;
NodeLink* control_list;

HWND control_parent;
HFONT default_font;

namespace {

HINSTANCE control_instance;
// What the paint filter replaced: the control procedure, the same for every frame.
WNDPROC frame_previous_procedure;

const intptr_t LARGEST_TABLE_NUMBER = 0x7fffff00;

const DWORD TEXT_STYLE = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
const DWORD FRAME_STYLE = WS_CHILD | WS_VISIBLE | WS_GROUP | BS_GROUPBOX;
const DWORD CHECKBOX_STYLE = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX;
const DWORD BUTTON_STYLE = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON;

ControlEntry* entry_of_node(NodeLink* node) {
    return static_cast<ControlEntry*>(payload_of_node(node));
}

bool is_table_number(intptr_t number) {
    return number >= 0 && number <= control_capacity;
}

int32_t get_check(HWND window) {
    return static_cast<int32_t>(SendMessageA(window, BM_GETCHECK, 0, 0));
}

void set_check(HWND window, int32_t value) {
    // Sign-extended, so -1 reaches the button as the platform's (WPARAM)-1.
    SendMessageA(window, BM_SETCHECK, static_cast<WPARAM>(static_cast<intptr_t>(value)), 0);
}

bool grow_control_table(intptr_t number) {
    if (number < control_capacity) {
        return true;
    }
    void* storage = HeapReAlloc(main_heap, HEAP_ZERO_MEMORY, control_table, (number + 32) * sizeof(ControlEntry));
    if (storage == nullptr) {
        return false;
    }
    control_table = static_cast<ControlEntry*>(storage);
    control_capacity = number + 30;
    return true;
}

ControlEntry* live_entry(intptr_t number) {
    ControlEntry* entry = find_control_entry(number);
    return entry != nullptr && entry->window != nullptr ? entry : nullptr;
}

intptr_t create_control(intptr_t number, const char* class_name, DWORD style, ControlKind* kind, bool frame, int32_t x,
                        int32_t y, int32_t width, int32_t height, const char* text) {
    bool dynamic = number == -1;
    if (dynamic) {
        void* payload = alloc_node(&control_list, sizeof(NodeLink) + sizeof(ControlEntry));
        if (payload == nullptr) {
            return 0;
        }
        number = reinterpret_cast<intptr_t>(payload);
    } else {
        if (number < 0 || number > LARGEST_TABLE_NUMBER || control_table == nullptr || !grow_control_table(number)) {
            return 0;
        }
        free_control(number);
    }

    HWND window = CreateWindowExA(0, class_name, text, style, x, y, width, height, control_parent,
                                  reinterpret_cast<HMENU>(number), control_instance, nullptr);
    // The table may have moved during the creation's messages.
    ControlEntry* entry = find_control_entry(number);
    entry->window = window;
    entry->kind = kind;
    if (window == nullptr) {
        return 0;
    }
    entry->previous_procedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(control_procedure)));
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(default_font), 1);
    if (frame) {
        frame_previous_procedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(frame_paint_filter)));
    }
    return dynamic ? number : reinterpret_cast<intptr_t>(window);
}

}  // namespace

void init_controls() {
    control_capacity = CONTROL_INITIAL_CAPACITY;
    control_list = nullptr;
    control_parent = nullptr;
    frame_previous_procedure = nullptr;
    memset(&text_kind, 0, sizeof text_kind);
    memset(&checkbox_kind, 0, sizeof checkbox_kind);
    memset(&button_kind, 0, sizeof button_kind);
    control_instance = GetModuleHandleA(nullptr);
    control_table = static_cast<ControlEntry*>(
        HeapAlloc(main_heap, HEAP_ZERO_MEMORY, (CONTROL_INITIAL_CAPACITY + 2) * sizeof(ControlEntry)));
    default_font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    InitCommonControls();
}

void init_common_controls() {
    InitCommonControls();
}

HWND set_control_parent(HWND window) {
    control_parent = window;
    return window;
}

ControlEntry* find_control_entry(intptr_t number) {
    if (is_table_number(number)) {
        return control_table != nullptr ? &control_table[number] : nullptr;
    }
    // Only addresses this runtime handed out are dereferenced.
    for (NodeLink* node = control_list; node != nullptr; node = node->next) {
        if (reinterpret_cast<intptr_t>(entry_of_node(node)) == number) {
            return entry_of_node(node);
        }
    }
    return nullptr;
}

intptr_t create_text(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char* text) {
    return create_control(number, "STATIC", TEXT_STYLE, &text_kind, false, x, y, width, height, text);
}

intptr_t create_frame(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char* text) {
    button_kind.get_state = get_check;
    button_kind.set_state = set_check;
    return create_control(number, "BUTTON", FRAME_STYLE, &button_kind, true, x, y, width, height, text);
}

intptr_t create_checkbox(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char* text) {
    checkbox_kind.get_state = get_check;
    checkbox_kind.set_state = set_check;
    return create_control(number, "BUTTON", CHECKBOX_STYLE, &checkbox_kind, false, x, y, width, height, text);
}

intptr_t create_button(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char* text) {
    button_kind.get_state = get_check;
    button_kind.set_state = set_check;
    return create_control(number, "BUTTON", BUTTON_STYLE, &button_kind, false, x, y, width, height, text);
}

int32_t get_control_state(intptr_t number) {
    ControlEntry* entry = live_entry(number);
    if (entry == nullptr || entry->kind == nullptr || entry->kind->get_state == nullptr) {
        return 0;
    }
    return entry->kind->get_state(entry->window);
}

void set_control_state(intptr_t number, int32_t value) {
    ControlEntry* entry = live_entry(number);
    if (entry == nullptr || entry->kind == nullptr || entry->kind->set_state == nullptr) {
        return;
    }
    entry->kind->set_state(entry->window, value);
}

void free_control(intptr_t number) {
    ControlEntry* entry = live_entry(number);
    if (entry == nullptr) {
        return;
    }
    if (entry->kind != nullptr && entry->kind->free != nullptr) {
        entry->kind->free(entry->window);
    } else {
        DestroyWindow(entry->window);
    }
}

LRESULT CALLBACK control_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    intptr_t number = GetWindowLongPtrA(window, GWLP_ID);
    ControlEntry* entry = live_entry(number);
    if (entry == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    WNDPROC previous = entry->previous_procedure;
    if (message == WM_NCDESTROY) {
        if (is_table_number(number)) {
            entry->window = nullptr;
        } else {
            free_node(&control_list, entry);
        }
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

LRESULT CALLBACK frame_paint_filter(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        char class_name[8];
        if (GetClassNameA(window, class_name, sizeof class_name) != 0 && _stricmp(class_name, "static") == 0) {
            ValidateRect(window, nullptr);
        }
    }
    return CallWindowProcA(frame_previous_procedure, window, message, wParam, lParam);
}
