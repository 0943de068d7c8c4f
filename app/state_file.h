// The checkbox selection kept between runs: byte i of the state file is the
// state of category i.
#pragma once

#include <stdint.h>

#include "app/categories.h"
#include "app/failures.h"

#define STATE_FILE_NAME "sorvane.sav"
#define STATE_FILE_CHANNEL 1
#define SELECTION_UPPER_BOUND 27
#define SELECTION_KIND 1

// The states read at start-up, one signed byte per category.
extern int8_t* selection_array;

// Releases the selection array and allocates it anew, 28 zero bytes.
void declare_selection_array();

// Opens (creating it empty if missing) and reads the state file.
Failure load_selection();

// Checks every category when the signed sum of the states is 0.
void apply_default_selection();

// Overwrites bytes 0 to 26 in place; later bytes are kept. When a byte
// cannot be written the earlier bytes are put back, as far as possible.
Failure save_selection(CategoryState category_state);
