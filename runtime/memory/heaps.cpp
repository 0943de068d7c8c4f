#include "runtime/memory/heaps.h"

HANDLE main_heap = 0;
HANDLE node_heap = 0;

void init_node_heap() {
    node_heap = HeapCreate(0, 1024, 0);
}

void destroy_node_heap() {
    if (node_heap) {
        HeapDestroy(node_heap);
    }
    node_heap = 0;
}
