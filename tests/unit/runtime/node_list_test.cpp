#include "runtime/memory/node_list.h"

#include <vector>

#include "unit/support/memory_fixture.h"

namespace {

struct Payload {
    int32_t value;
};

const size_t node_size = sizeof(NodeLink) + sizeof(Payload);

std::vector<int32_t> values_newest_first(NodeLink* head) {
    std::vector<int32_t> values;
    NodeLink* last = nullptr;
    for (NodeLink* node = head; node; node = node->next) {
        EXPECT_EQ(node->previous, last);
        values.push_back(static_cast<Payload*>(payload_of_node(node))->value);
        last = node;
    }
    return values;
}

class NodeListTest : public MemoryTest {
  protected:
    NodeLink* head = nullptr;
    Payload* nodes[4] = {};
    void SetUp() override {
        MemoryTest::SetUp();
        for (int32_t i = 0; i < 4; ++i) {
            nodes[i] = static_cast<Payload*>(alloc_node(&head, node_size));
            ASSERT_NE(nodes[i], nullptr);
            EXPECT_EQ(nodes[i]->value, 0);  // zero-filled
            nodes[i]->value = i;
        }
    }
};

TEST_F(NodeListTest, NewNodesGoToTheFront) {
    EXPECT_EQ(values_newest_first(head), (std::vector<int32_t>{3, 2, 1, 0}));
    EXPECT_EQ(reinterpret_cast<char*>(nodes[3]) - reinterpret_cast<char*>(head),
              static_cast<ptrdiff_t>(sizeof(NodeLink)));
}

TEST_F(NodeListTest, RemovingTheHeadMiddleAndTailKeepsTheRestLinked) {
    free_node(&head, nodes[3]);
    EXPECT_EQ(values_newest_first(head), (std::vector<int32_t>{2, 1, 0}));
    free_node(&head, nodes[1]);
    EXPECT_EQ(values_newest_first(head), (std::vector<int32_t>{2, 0}));
    free_node(&head, nodes[0]);
    EXPECT_EQ(values_newest_first(head), (std::vector<int32_t>{2}));
    free_node(&head, nodes[2]);
    EXPECT_EQ(head, nullptr);
}

TEST_F(NodeListTest, NewNodeAfterRemovalsLinksBothWays) {
    free_node(&head, nodes[3]);
    free_node(&head, nodes[0]);
    Payload* fresh = static_cast<Payload*>(alloc_node(&head, node_size));
    fresh->value = 9;
    EXPECT_EQ(values_newest_first(head), (std::vector<int32_t>{9, 2, 1}));
}

}  // namespace
