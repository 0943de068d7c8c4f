// Numbered file channels with unbuffered byte and line input and output.
//
// A channel is a caller-chosen number 0 and above naming a slot of the file
// table, or -1 to have an open allocate a dynamic channel whose id (the
// address of its node's payload) is returned. Every open makes its file the
// current file, on which the byte and line operations act.
#pragma once

#include <stdint.h>

#include "platform/win32.h"
#include "runtime/memory/node_list.h"

#define DYNAMIC_CHANNEL (-1)
#define INITIAL_FILE_TABLE_CAPACITY 10

// Open modes of open_channel.
#define OPEN_MODE_READ_ONLY 1   // existing file, reading only
#define OPEN_MODE_READ_WRITE 2  // open or create, read and write, no truncation
#define OPEN_MODE_CREATE 3      // create or truncate, write only

extern HANDLE* file_table;
extern int32_t file_table_capacity;
extern NodeLink* dynamic_channels;
// 0 when there is none.
extern HANDLE current_file;

void init_files();

// 0 on failure (the channel keeps its earlier file, there is no current
// file); otherwise the handle, or for DYNAMIC_CHANNEL the new channel's id.
intptr_t open_channel(intptr_t channel, const char* name, int32_t open_mode);
intptr_t open_file(intptr_t channel, const char* name);
intptr_t create_file(intptr_t channel, const char* name);

void close_file(intptr_t channel);
void close_all_files();

// The next byte sign-extended; 0 at the end, on error or with no current file.
int32_t read_byte();

// Reads one line into the working string buffer at result_cursor and returns
// its start, with result_cursor on its terminating zero. A line ends at LF,
// CR, CR LF, NUL or the end of the file. Bytes that do not fit the buffer are
// read and dropped. Null with no current file.
char* read_line();

// Writes text (null is empty) and CR LF; returns the bytes written.
int32_t write_line(const char* text);

// Writes the low byte of value; returns the bytes written.
int32_t write_byte(int32_t value);

// Moves the current file's position to the byte offset from its start;
// 1 on success, 0 on failure or with no current file.
int32_t set_file_position(int32_t offset);
