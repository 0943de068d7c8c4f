// File-system probes that need no channel.
#pragma once

#include <stdint.h>

#define FILE_NAME_WORK_SIZE 1024
#define FILE_SIZE_MISSING (-1)
#define FILE_SIZE_DIRECTORY (-2)
#define FILE_SIZE_LARGEST 2147483647

// -1: no such name (also null, empty, or 1024 bytes and longer); -2: a folder
// or an existing drive; otherwise the file's size, FILE_SIZE_LARGEST for files
// of 2^31 bytes or more. A name with wildcards reports its first match.
int32_t file_size(const char* name);

// Creates one folder level; nonzero when it was created.
int32_t make_directory(const char* path);
