// The event loop and the translator from window messages to events.
#include "runtime/ui/events.h"

#include <string.h>

#include "runtime/ui/navigation.h"
#include "runtime/ui/windows.h"

int32_t pending_event;
intptr_t event_control_number;
int32_t event_detail;

namespace {

MSG message_record;
char scratch_class_name[CLASS_NAME_SIZE];

// Common-control notification codes.
const int NOTIFY_CLICK = -2;
const int NOTIFY_DOUBLE_CLICK = -3;
const int NOTIFY_RIGHT_CLICK = -5;
const int NOTIFY_RIGHT_DOUBLE_CLICK = -6;
const int LIST_VIEW_ITEM_CHANGED = -101;
const int LIST_VIEW_ITEM_ACTIVATE = -114;
const int TREE_VIEW_SELECTION_CHANGED = -402;
const int UP_DOWN_DELTA = -722;
const int CALENDAR_SELECTION_CHANGE = -749;
const int DATE_TIME_CHANGE = -759;

const int LIST_BOX_SELECTION_CHANGE = 1;
const int LIST_BOX_DOUBLE_CLICK = 2;

// The class name of window in the scratch buffer; empty when it has none.
void read_class_name(HWND window) {
    scratch_class_name[0] = 0;
    if (GetClassNameA(window, scratch_class_name, CLASS_NAME_SIZE) == 0) {
        scratch_class_name[0] = 0;
    }
}

bool class_begins(const char* prefix) {
    return strncmp(scratch_class_name, prefix, 4) == 0;
}

void record_event(int32_t event, intptr_t control) {
    pending_event = event;
    event_control_number = control;
}

intptr_t window_id(HWND window) {
    return GetWindowLongPtrA(window, GWLP_ID);
}

// The id is 32 bits wide on the platform: it may come back sign- or
// zero-extended.
bool is_command_control_id(intptr_t id) {
    int64_t high = static_cast<int64_t>(id) >> 32;
    return static_cast<int32_t>(id) == COMMAND_CONTROL_ID && (high == 0 || high == -1);
}

void translate_notify(const NMHDR* header) {
    int code = static_cast<int>(header->code);
    event_control_number = static_cast<intptr_t>(header->idFrom);
    read_class_name(header->hwndFrom);

    if (class_begins("SysT") || class_begins("SysL")) {
        switch (code) {
            case NOTIFY_CLICK:
                event_detail = 0;
                break;
            case NOTIFY_DOUBLE_CLICK:
            case LIST_VIEW_ITEM_ACTIVATE:
                event_detail = 2;
                break;
            case NOTIFY_RIGHT_CLICK:
                event_detail = 1;
                break;
            case NOTIFY_RIGHT_DOUBLE_CLICK:
                event_detail = 3;
                break;
            default:
                break;
        }
        if (event_detail != -1 || code == TREE_VIEW_SELECTION_CHANGED || code == LIST_VIEW_ITEM_CHANGED) {
            pending_event = EVENT_CONTROL;
            return;
        }
    }
    if (class_begins("SysD") && code == DATE_TIME_CHANGE) {
        pending_event = EVENT_CONTROL;
        return;
    }
    if (class_begins("SysM") && code == CALENDAR_SELECTION_CHANGE) {
        pending_event = EVENT_CONTROL;
        return;
    }
    if (code == UP_DOWN_DELTA) {
        pending_event = EVENT_CONTROL;
        event_detail = reinterpret_cast<const NMUPDOWN*>(header)->iDelta;
    }
}

LRESULT translate_command(WPARAM wParam, LPARAM lParam) {
    if (lParam != 0) {
        HWND control = reinterpret_cast<HWND>(lParam);
        int notification = HIWORD(wParam);
        intptr_t id = window_id(control);
        record_event(EVENT_CONTROL, id);
        event_detail = notification;
        if (is_command_control_id(id)) {
            record_event(EVENT_MENU, LOWORD(wParam));
        }
        read_class_name(control);
        if (class_begins("List")) {
            if (notification == LIST_BOX_SELECTION_CHANGE) {
                event_detail = 0;
            } else if (notification == LIST_BOX_DOUBLE_CLICK) {
                event_detail = 2;
            } else {
                pending_event = 0;
            }
        }
        return 0;
    }
    if (HIWORD(wParam) == 0) {
        record_event(EVENT_MENU, LOWORD(wParam));
        return 0;
    }
    switch (LOWORD(wParam)) {
        case CMD_NEXT_CONTROL:
            focus_next_control();
            return 0;
        case CMD_PREVIOUS_CONTROL:
            focus_previous_control();
            return 0;
        default:
            record_event(EVENT_MENU, LOWORD(wParam));
            return static_cast<LRESULT>(wParam & ~static_cast<WPARAM>(0xFFFF));
    }
}

void translate_relayed_click(WPARAM wParam, LPARAM lParam) {
    intptr_t control = static_cast<intptr_t>(wParam);
    switch (lParam) {
        case WM_LBUTTONUP:
            record_event(EVENT_RELAYED_CLICK, control);
            event_detail = 0;
            break;
        case WM_RBUTTONUP:
            record_event(EVENT_RELAYED_CLICK, control);
            event_detail = 1;
            break;
        case WM_LBUTTONDBLCLK:
            record_event(EVENT_RELAYED_CLICK, control);
            event_detail = 2;
            break;
        case WM_RBUTTONDBLCLK:
            record_event(EVENT_RELAYED_CLICK, control);
            event_detail = 3;
            break;
        default:
            record_event(0, control);
            break;
    }
}

}  // namespace

void reset_event_state() {
    pending_event = 0;
    event_control_number = 0;
    event_detail = 0;
    memset(&message_record, 0, sizeof message_record);
    memset(scratch_class_name, 0, sizeof scratch_class_name);
}

HACCEL accelerators_for_window(HWND window) {
    bool plain_tab = GetKeyState(VK_TAB) < 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0 &&
                     GetKeyState(VK_MENU) >= 0;
    if (plain_tab) {
        // A rich-edit control takes a plain Tab as text.
        char focus_class[5] = {0};
        if (GetClassNameA(GetFocus(), focus_class, sizeof focus_class) != 0 && strncmp(focus_class, "Rich", 4) == 0) {
            return nullptr;
        }
    }
    if (window == nullptr) {
        return nullptr;
    }
    for (NodeLink* node = window_list; node != nullptr; node = node->next) {
        WindowRecord* record = static_cast<WindowRecord*>(payload_of_node(node));
        if (record->window == window) {
            return record->accelerator_table;
        }
    }
    for (intptr_t number = 0; number < window_capacity; ++number) {
        if (window_table[number].window == window) {
            return window_table[number].accelerator_table;
        }
    }
    return nullptr;
}

int32_t wait_event() {
    event_detail = -1;
    GetMessageA(&message_record, nullptr, 0, 0);
    HWND active = GetActiveWindow();
    HACCEL table = accelerators_for_window(active);
    if (table == nullptr || !TranslateAcceleratorA(active, table, &message_record)) {
        TranslateMessage(&message_record);
        DispatchMessageA(&message_record);
    }
    int32_t result = pending_event != 0 ? pending_event : static_cast<int32_t>(message_record.message);
    pending_event = 0;
    return result;
}

intptr_t event_control() {
    return event_control_number;
}

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = translate_window_message(window, message, wParam, lParam);
    if (result == NOT_HANDLED) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return result;
}

LRESULT translate_window_message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case MSG_CONTROL_EVENT:
            record_event(EVENT_CONTROL, static_cast<intptr_t>(wParam));
            event_detail = static_cast<int32_t>(lParam);
            return lParam;
        case WM_NOTIFY:
            // A notification without its header carries nothing to record.
            if (lParam != 0) {
                translate_notify(reinterpret_cast<const NMHDR*>(lParam));
            }
            return 0;
        case WM_HSCROLL:
        case WM_VSCROLL:
            record_event(EVENT_CONTROL, window_id(reinterpret_cast<HWND>(lParam)));
            return 0;
        case WM_COMMAND:
            return translate_command(wParam, lParam);
        case MSG_CLICK_RELAYED:
            translate_relayed_click(wParam, lParam);
            return 0;
        case MSG_CLICK_RELAY:
            PostMessageA(window, MSG_CLICK_RELAYED, wParam, lParam);
            return 0;
        case WM_MOVE:
        case WM_SIZE:
        case WM_CLOSE:
            pending_event = static_cast<int32_t>(message);
            return 0;
        default:
            return NOT_HANDLED;
    }
}
