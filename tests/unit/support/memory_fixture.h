// A fresh main heap, node heap and working string buffer for each test.
#pragma once

#include <gtest/gtest.h>

#include "runtime/memory/heaps.h"
#include "runtime/memory/strings.h"

inline void start_memory_runtime() {
    main_heap = HeapCreate(0, 4000, 0);
    init_node_heap();
    result_cursor = nullptr;
    init_string_buffer();
}

inline void stop_memory_runtime() {
    destroy_node_heap();
    HeapDestroy(main_heap);
    main_heap = 0;
    result_cursor = nullptr;
}

class MemoryTest : public ::testing::Test {
  protected:
    void SetUp() override { start_memory_runtime(); }
    void TearDown() override { stop_memory_runtime(); }
};
