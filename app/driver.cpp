#include "app/driver.h"

#include "app/categories.h"
#include "app/failures.h"
#include "app/list_file.h"
#include "app/state_file.h"
#include "runtime/files/channels.h"
#include "runtime/memory/heaps.h"
#include "runtime/memory/strings.h"
#include "runtime/shutdown.h"
#include "runtime/ui/controls.h"
#include "runtime/ui/events.h"
#include "runtime/ui/message_box.h"
#include "runtime/ui/windows.h"

#define MAIN_HEAP_INITIAL_SIZE 4000
#define TITLE "Sorvane"
#define TITLE_AFTER_GENERATION "Vorthane Sorvane"

// The driver's own state; zeroed before anything else runs.
static HINSTANCE program_instance;
static int32_t last_event;
static int32_t loop_index;

static const char* failure_text(Failure failure) {
    switch (failure) {
        case StateUnopenable:
            return "Can't open sorvane.sav  ";
        case ListMissing:
            return "Can't find sorvane.lst  ";
        case ListUnopenable:
            return "Can't open sorvane.lst  ";
        case FolderFailed:
            return "Can't create Data/Global/Excel folder  ";
        case TableFailed:
            return "Can't generate gamble.txt  ";
        case Success:
            break;
    }
    return "";
}

static void report(const char* title, Failure failure) {
    show_message(title, failure_text(failure), 0);
}

// The checkboxes are the live selection: read at the moment of each lookup.
static int32_t checkbox_state(int32_t index) {
    return get_control_state(index);
}

bool build_main_window() {
    if (!open_window(MAIN_WINDOW, MAIN_WINDOW_X, MAIN_WINDOW_Y, MAIN_WINDOW_CLIENT_WIDTH, MAIN_WINDOW_CLIENT_HEIGHT,
                     MAIN_WINDOW_FLAGS, MAIN_WINDOW_TITLE)) {
        return false;
    }
    if (!set_control_parent(current_window_handle())) {
        return true;
    }
    for (loop_index = 0; loop_index < CATEGORY_COUNT; ++loop_index) {
        const Category& c = categories[loop_index];
        create_checkbox(c.index, c.x, c.y, c.width, c.height, c.label);
    }
    for (loop_index = 0; loop_index < OTHER_CONTROL_COUNT; ++loop_index) {
        const ControlLayout& c = other_controls[loop_index];
        switch (c.kind) {
            case TextLayout:
                create_text(c.number, c.x, c.y, c.width, c.height, c.text);
                break;
            case FrameLayout:
                create_frame(c.number, c.x, c.y, c.width, c.height, c.text);
                break;
            case ButtonLayout:
                create_button(c.number, c.x, c.y, c.width, c.height, c.text);
                break;
            case CheckboxLayout:
                create_checkbox(c.number, c.x, c.y, c.width, c.height, c.text);
                break;
        }
    }
    return true;
}

void show_selection() {
    for (loop_index = 0; loop_index < CATEGORY_COUNT; ++loop_index) {
        set_control_state(loop_index, selection_array[loop_index]);
    }
}

static void set_all(int32_t state) {
    for (loop_index = 0; loop_index < CATEGORY_COUNT; ++loop_index) {
        set_control_state(loop_index, state);
    }
}

bool set_filter() {
    Failure failure = write_gamble_table(checkbox_state);
    if (failure != Success) {
        report(TITLE, failure);
        return false;
    }
    failure = save_selection(checkbox_state);
    if (failure != Success) {
        report(TITLE_AFTER_GENERATION, failure);
        return false;
    }
    show_message(TITLE_AFTER_GENERATION, "Generated a new gamble table  ", 0);
    return true;
}

bool start_up() {
    main_heap = HeapCreate(0, MAIN_HEAP_INITIAL_SIZE, 0);
    init_node_heap();
    init_files();
    init_window_runtime();
    init_controls();
    init_common_controls();
    init_string_buffer();
    declare_selection_array();
    declare_line_array();

    Failure failure = load_selection();
    if (failure == Success) {
        failure = load_list();
    }
    if (failure != Success) {
        report(TITLE, failure);
        return false;
    }
    apply_default_selection();
    if (!build_main_window()) {
        return false;
    }
    show_selection();
    return true;
}

// Returns when the window is closed or a failure ended the tool.
static void run() {
    if (!start_up()) {
        return;
    }
    while (last_event != EVENT_CLOSE) {
        last_event = wait_event();
        if (last_event != EVENT_CONTROL) {
            continue;
        }
        switch (event_control()) {
            case CHECK_ALL_BUTTON:
                set_all(1);
                break;
            case UNCHECK_ALL_BUTTON:
                set_all(0);
                break;
            case SET_FILTER_BUTTON:
                if (!set_filter()) {
                    return;
                }
                break;
            case EXIT_BUTTON:
                last_event = EVENT_CLOSE;
                break;
            default:
                break;  // a checkbox toggles itself; texts and frames do nothing
        }
    }
}

void app_main(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    program_instance = nullptr;
    last_event = 0;
    loop_index = 0;
    current_section = 0;
    main_heap = nullptr;
    selection_array = nullptr;
    line_array = nullptr;
    program_instance = instance;

    run();

    runtime_shutdown();
    HeapDestroy(main_heap);
    ExitProcess(0);
}
