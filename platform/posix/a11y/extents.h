// Where a node is and what lies at a point, in AT-SPI's coordinate types,
// from the device-pixel rectangles the tree describes; and where a node
// stands among its siblings.
#pragma once

#include "platform/posix/a11y/a11y.h"

namespace a11y {

// Relative to the screen, the node's top-level window or its parent (a
// top-level window's parent is the screen).
Box extents(const Tree& tree, const Node& node, atspi::CoordType coordinates);
bool contains(const Box& box, int x, int y);
// The topmost of the node's children at the point, 0 for none.
NodeId child_at(const Tree& tree, const Node& node, int x, int y, atspi::CoordType coordinates);
// Among the parent's children (the application's for a top-level window),
// -1 when not there.
int index_in_parent(const Tree& tree, NodeId id, const Node& node);

}  // namespace a11y
