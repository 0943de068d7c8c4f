#include "platform/posix/a11y/extents.h"

namespace a11y {

namespace {

// A tree deeper than this loops.
constexpr int deepest = 32;

}  // namespace

Box extents(const Tree& tree, const Node& node, atspi::CoordType coordinates) {
    Box box = node.bounds;
    Node origin;
    bool relative = false;
    if (coordinates == atspi::CoordType::window) {
        origin = node;
        relative = true;
        for (int depth = 0; origin.parent != 0 && depth < deepest; depth++) {
            if (!tree.describe(origin.parent, &origin)) {
                break;
            }
        }
    } else if (coordinates == atspi::CoordType::parent && node.parent != 0) {
        relative = tree.describe(node.parent, &origin);
    }
    if (relative) {
        box.x -= origin.bounds.x;
        box.y -= origin.bounds.y;
    }
    return box;
}

bool contains(const Box& box, int x, int y) {
    return x >= box.x && y >= box.y && x < box.x + box.width && y < box.y + box.height;
}

NodeId child_at(const Tree& tree, const Node& node, int x, int y, atspi::CoordType coordinates) {
    NodeId found = 0;
    for (NodeId child : node.children) {
        Node c;
        if (tree.describe(child, &c) && contains(extents(tree, c, coordinates), x, y)) {
            found = child;
        }
    }
    return found;
}

int index_in_parent(const Tree& tree, NodeId id, const Node& node) {
    std::vector<NodeId> siblings;
    Node parent;
    if (node.parent == 0) {
        siblings = tree.top_levels();
    } else if (tree.describe(node.parent, &parent)) {
        siblings = parent.children;
    }
    for (size_t i = 0; i < siblings.size(); i++) {
        if (siblings[i] == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace a11y
