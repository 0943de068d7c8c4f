#include "app/list_file.h"

#include <string.h>

#include "runtime/files/channels.h"
#include "runtime/files/file_system.h"
#include "runtime/memory/arrays.h"
#include "runtime/memory/strings.h"

// The UTF-8 byte-order mark as read_byte returns it.
#define BYTE_ORDER_MARK_0 (-17)
#define BYTE_ORDER_MARK_1 (-69)
#define BYTE_ORDER_MARK_2 (-65)

char** line_array = nullptr;
int32_t current_section = NO_SECTION;

void declare_line_array() {
    free_string_array(line_array);
    allocate_array(&line_array, LIST_LINE_UPPER_BOUND, sizeof(char*), string_element_layout, LIST_LINE_KIND);
}

// An editor saving UTF-8 may put EF BB BF before the first line, which would
// turn the first keyword into an item under no section.
static bool skip_byte_order_mark() {
    if (read_byte() == BYTE_ORDER_MARK_0 && read_byte() == BYTE_ORDER_MARK_1 && read_byte() == BYTE_ORDER_MARK_2) {
        return true;
    }
    return set_file_position(0) != 0;
}

Failure load_list() {
    if (file_size(LIST_FILE_NAME) == FILE_SIZE_MISSING) {
        return ListMissing;
    }
    // Reading only, so that a read-only list loads too.
    if (!open_channel(LIST_FILE_CHANNEL, LIST_FILE_NAME, OPEN_MODE_READ_ONLY)) {
        return ListUnopenable;
    }
    if (!skip_byte_order_mark()) {
        close_file(LIST_FILE_CHANNEL);
        return ListUnopenable;
    }
    for (int32_t i = 0; i < LIST_LINE_COUNT; ++i) {
        char* start = result_cursor;
        read_line();
        assign_string(&line_array[i], start);
    }
    close_file(LIST_FILE_CHANNEL);
    return Success;
}

// True when the whole line and its CR LF reached the file.
static bool write_whole_line(const char* text) {
    return write_line(text) == static_cast<int32_t>(strlen(text)) + 2;
}

static bool section_selected(int32_t section, CategoryState category_state) {
    if (section == ALWAYS_SECTION) {
        return true;
    }
    return section >= 0 && section < CATEGORY_COUNT && category_state(section) == 1;
}

Failure write_gamble_table(CategoryState category_state) {
    if (!create_file(TABLE_FILE_CHANNEL, GAMBLE_TABLE_PATH)) {
        close_file(TABLE_FILE_CHANNEL);
        make_directory("Data");
        make_directory("Data/Global");
        if (!make_directory("Data/Global/Excel")) {
            return FolderFailed;
        }
        if (!create_file(TABLE_FILE_CHANNEL, GAMBLE_TABLE_PATH)) {
            return TableFailed;
        }
    }

    Failure result = Success;
    if (!write_whole_line(GAMBLE_TABLE_HEADER)) {
        result = TableFailed;
    }
    current_section = NO_SECTION;
    for (int32_t i = 0; i < LIST_LINE_COUNT && result == Success; ++i) {
        const char* line = line_array[i];
        LineClass line_class = classify_line(line);
        if (line_class.kind == KeywordLine) {
            current_section = line_class.section;
        } else if (line_class.kind == ItemLine && section_selected(current_section, category_state)) {
            if (!write_whole_line(line)) {
                result = TableFailed;
            }
        }
    }
    close_file(TABLE_FILE_CHANNEL);
    return result;
}
