#include "app/state_file.h"

#include "runtime/files/channels.h"
#include "runtime/memory/arrays.h"

int8_t* selection_array = nullptr;

void declare_selection_array() {
    free_array(selection_array);
    allocate_array(&selection_array, SELECTION_UPPER_BOUND, 1, nullptr, SELECTION_KIND);
}

Failure load_selection() {
    if (!open_file(STATE_FILE_CHANNEL, STATE_FILE_NAME)) {
        return StateUnopenable;
    }
    for (int32_t i = 0; i < CATEGORY_COUNT; ++i) {
        selection_array[i] = static_cast<int8_t>(read_byte());
    }
    close_file(STATE_FILE_CHANNEL);
    return Success;
}

void apply_default_selection() {
    int32_t sum = 0;
    for (int32_t i = 0; i < CATEGORY_COUNT; ++i) {
        sum += selection_array[i];
    }
    if (sum == 0) {
        for (int32_t i = 0; i < CATEGORY_COUNT; ++i) {
            selection_array[i] = 1;
        }
    }
}

// Best effort: a full disk still lets bytes already in the file be
// overwritten, so the file usually goes back to its earlier selection.
static void put_back(const int8_t* previous, int32_t count) {
    if (!set_file_position(0)) {
        return;
    }
    for (int32_t i = 0; i < count; ++i) {
        if (write_byte(previous[i]) != 1) {
            return;
        }
    }
}

Failure save_selection(CategoryState category_state) {
    if (!open_file(STATE_FILE_CHANNEL, STATE_FILE_NAME)) {
        return StateUnopenable;
    }
    // A write failing part-way would otherwise leave a selection nobody
    // made, which the next start would load without a word.
    int8_t previous[CATEGORY_COUNT];
    for (int32_t i = 0; i < CATEGORY_COUNT; ++i) {
        previous[i] = static_cast<int8_t>(read_byte());
    }
    Failure result = set_file_position(0) ? Success : StateUnopenable;
    int32_t written = 0;
    while (result == Success && written < CATEGORY_COUNT) {
        // A selection that did not reach the file is not reported as saved.
        if (write_byte(category_state(written)) != 1) {
            result = StateUnopenable;
        } else {
            ++written;
        }
    }
    if (result != Success && written > 0) {
        put_back(previous, written);
    }
    close_file(STATE_FILE_CHANNEL);
    return result;
}
