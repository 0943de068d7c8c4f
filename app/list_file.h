// The master item list, read once at start-up, and the gamble table written
// from it.
#pragma once

#include <stdint.h>

#include "app/categories.h"
#include "app/failures.h"

#define LIST_FILE_NAME "sorvane.lst"
#define GAMBLE_TABLE_PATH "./data/global/excel/gamble.txt"
#define GAMBLE_TABLE_HEADER "name\tcode"
#define LIST_FILE_CHANNEL 1
#define TABLE_FILE_CHANNEL 1
#define LIST_LINE_COUNT 430
#define LIST_LINE_UPPER_BOUND 430
#define LIST_LINE_KIND 8

// The list's lines without their terminators; entries past the file's end
// hold the empty string.
extern char** line_array;

// The section the generator is in.
extern int32_t current_section;

// Releases the line array and allocates it anew, 431 missing strings.
void declare_line_array();

// Reads the first 430 lines, after a UTF-8 byte-order mark at the very
// start if there is one.
Failure load_list();

// Writes the header and every item line in an "#ALWAYS" section or in the
// section of a category whose state is exactly 1. Item lines before the
// first keyword are never written.
Failure write_gamble_table(CategoryState category_state);
