// The process's two private heaps.
#pragma once

#include "platform/win32.h"

// Made by the application before any runtime starts: HeapCreate(0, 4000, 0).
// Holds every runtime table, stored string, array and the working string buffer.
extern HANDLE main_heap;

// Holds node-list nodes only.
extern HANDLE node_heap;

void init_node_heap();
void destroy_node_heap();
