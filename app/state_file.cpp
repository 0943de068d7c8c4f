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

Failure save_selection(CategoryState category_state) {
    if (!open_file(STATE_FILE_CHANNEL, STATE_FILE_NAME)) {
        return StateUnopenable;
    }
    Failure result = Success;
    for (int32_t i = 0; i < CATEGORY_COUNT && result == Success; ++i) {
        // A selection that did not reach the file is not reported as saved.
        if (write_byte(category_state(i)) != 1) {
            result = StateUnopenable;
        }
    }
    close_file(STATE_FILE_CHANNEL);
    return result;
}
