// Whole list files through load_list and write_gamble_table, checked against
// the model. The first 27 bytes are the checkbox states (signed), the rest is
// the list file, in which the token "\xFE<LONG>" and a count byte n stand for
// n KiB of the byte before the token: lines longer than the working buffer
// then cost the fuzzer a few bytes, not 64 000 of every input it mutates.
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "app/list_file.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/list_table_model.h"
#include "runtime/files/channels.h"
#include "runtime/memory/strings.h"

namespace {

int32_t states[fuzz::category_count];

int32_t state_of(int32_t index) {
    fuzz::require(index >= 0 && index < fuzz::category_count, "a category lookup out of range");
    return states[index];
}

const char long_token[] = "\xFE<LONG>";

std::string expanded(const std::string& raw) {
    const size_t token_size = sizeof long_token - 1;
    std::string list;
    size_t at = 0;
    while (at < raw.size()) {
        size_t token = raw.find(long_token, at);
        if (token == std::string::npos || token + token_size >= raw.size()) {
            list += raw.substr(at);
            break;
        }
        list += raw.substr(at, token - at);
        char repeated = list.empty() ? 'x' : list.back();
        list.append(static_cast<size_t>(static_cast<uint8_t>(raw[token + token_size])) * 1024, repeated);
        at = token + token_size + 1;
    }
    return list;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::start_in_private_folder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Lines are cut to the room left in the working buffer, all of it here.
    static char* const buffer_start = result_cursor;
    size_t state_bytes = size < fuzz::category_count ? size : fuzz::category_count;
    for (size_t i = 0; i < fuzz::category_count; ++i) {
        states[i] = i < state_bytes ? static_cast<int8_t>(data[i]) : 0;
    }
    std::string list = expanded(std::string(reinterpret_cast<const char*>(data) + state_bytes, size - state_bytes));
    fuzz::put_file(LIST_FILE_NAME, list);

    declare_line_array();
    fuzz::require(load_list() == Success, "load_list of an existing list");
    fuzz::require(write_gamble_table(state_of) == Success, "write_gamble_table");
    fuzz::require(file_table[LIST_FILE_CHANNEL] == 0, "channel 1 closed");
    fuzz::require(result_cursor == buffer_start, "the working buffer's cursor back at its start");

    std::string table = fuzz::file_bytes("Data/Global/Excel/gamble.txt");
    std::string expected = fuzz::expected_table(list, states);
    if (table != expected) {
        fuzz::mismatch("gamble table", expected, table);
    }
    return 0;
}
