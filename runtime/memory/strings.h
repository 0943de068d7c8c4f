// Strings: zero-terminated 8-bit byte strings, built in one working buffer
// and stored, each in its own main-heap block, by assign_string.
//
// Calling protocol for every string-producing operation: take result_cursor
// as the start, call the operation, use the result (string_equal or
// assign_string), then set result_cursor back to the start (assign_string
// does that itself). A null string reference is the empty string.
#pragma once

#include <stddef.h>
#include <stdint.h>

#define STRING_BUFFER_SIZE 64000

// Where the next result is built; null until init_string_buffer.
extern char* result_cursor;

void init_string_buffer();

// Bytes a result built at the cursor may hold before its terminating zero
// byte without running past the buffer; 0 without a buffer.
size_t string_room();

// The first n bytes of text (all of it when shorter), cut to string_room().
char* left_string(const char* text, int32_t n);

// Replaces the stored string of *variable by the result that begins at
// start, and sets result_cursor back to start.
void assign_string(char** variable, char* start);

// 1 when a and b are byte for byte the same, else 0.
int32_t string_equal(const char* a, const char* b);
