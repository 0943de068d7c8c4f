// The heaps' record of blocks against a model: inserts, look-ups and
// erasures in any order, across growth and runs that wrap the table.
#include "platform/posix/kernel/heap_blocks.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

namespace {

TEST(HeapBlocks, MatchesAModelThroughGrowthAndErasure) {
    kernel::BlockTable table;
    std::map<void*, SIZE_T> model;
    // Addresses 16 apart, as malloc's blocks are, from a pool that makes
    // the same address come and go many times.
    std::vector<char> arena(16 * 4096);
    auto address = [&](size_t i) { return static_cast<void*>(arena.data() + 16 * i); };
    std::mt19937 random(7);
    for (int step = 0; step < 200000; step++) {
        void* block = address(random() % 4096);
        const bool known = model.count(block) != 0;
        if (!known && random() % 3 != 0) {
            const SIZE_T size = random() % 1000;
            ASSERT_TRUE(table.insert(block, size));
            model[block] = size;
        } else if (known && random() % 2 == 0) {
            table.erase(block);
            model.erase(block);
        }
        SIZE_T* found = table.find(block);
        ASSERT_EQ(found != nullptr, model.count(block) != 0) << "at step " << step;
        if (found != nullptr) {
            ASSERT_EQ(*found, model[block]);
        }
        ASSERT_EQ(table.size(), model.size());
    }
    // Every record is still found, and a full visit sees each once.
    std::map<void*, SIZE_T> visited;
    table.for_each([&](void* block, SIZE_T size) { visited[block] = size; });
    EXPECT_EQ(visited, model);
    for (const auto& entry : model) {
        ASSERT_NE(table.find(entry.first), nullptr);
    }
    // Erasing everything leaves nothing found, stray pointers included.
    for (const auto& entry : model) {
        table.erase(entry.first);
    }
    EXPECT_EQ(table.size(), 0u);
    EXPECT_EQ(table.find(address(5)), nullptr);
    EXPECT_EQ(table.find(nullptr), nullptr);
    table.erase(address(5));
    EXPECT_EQ(table.size(), 0u);
}

}  // namespace
