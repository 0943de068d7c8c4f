// Extents in each coordinate type, hit tests and indexes over a model tree,
// and the window layer's rectangles at a desktop scale of 1.5.
#include <gtest/gtest.h>

#include "platform/posix/a11y/extents.h"
#include "platform/posix/a11y/semantics.h"
#include "platform/posix/display/headless.h"
#include "platform/posix/gdi/device_scale.h"
#include "platform/posix/user/window.h"
#include "tests/unit/platform/a11y/model_tree.h"
#include "tests/unit/platform/user/test_window.h"

namespace {

using namespace a11y_test;
using a11y::Box;
using a11y::atspi::CoordType;

Box at(NodeId id, CoordType coordinates) {
    return a11y::extents(model_tree(), model().nodes.at(id), coordinates);
}

TEST(AccessibleExtents, EachCoordinateTypeAndTheChildAtAPoint) {
    make_main_window();
    EXPECT_EQ(at(3, CoordType::screen), (Box{463, 601, 90, 20}));
    EXPECT_EQ(at(3, CoordType::window), (Box{38, 87, 90, 20}));  // from the frame, two levels up
    EXPECT_EQ(at(3, CoordType::parent), (Box{15, 20, 90, 20}));  // from the group box
    EXPECT_EQ(at(1, CoordType::window), (Box{0, 0, 546, 325}));
    EXPECT_EQ(at(1, CoordType::parent), (Box{425, 514, 546, 325}));  // the screen's

    const Node& weapons = model().nodes.at(2);
    EXPECT_EQ(a11y::child_at(model_tree(), weapons, 463, 626, CoordType::screen), 4u);
    EXPECT_EQ(a11y::child_at(model_tree(), weapons, 15, 20, CoordType::parent), 3u);
    EXPECT_EQ(a11y::child_at(model_tree(), weapons, 553, 601, CoordType::screen), 0u);  // right of Axes
    EXPECT_TRUE(a11y::contains(Box{10, 10, 5, 5}, 14, 14));
    EXPECT_FALSE(a11y::contains(Box{10, 10, 5, 5}, 15, 10));

    EXPECT_EQ(a11y::index_in_parent(model_tree(), 4, model().nodes.at(4)), 1);
    EXPECT_EQ(a11y::index_in_parent(model_tree(), 1, model().nodes.at(1)), 0);
    EXPECT_EQ(a11y::layer_of(model().nodes.at(1)), a11y::atspi::Layer::window);
    EXPECT_EQ(a11y::layer_of(model().nodes.at(3)), a11y::atspi::Layer::widget);
}

class AccessibleExtentsAtScale : public user_test::UserTest {
  protected:
    void TearDown() override {
        UserTest::TearDown();
        display::headless::set_device_quarters(4);
    }
};

// At 1.5 each edge is mapped as the drawing maps it; relative extents are
// differences of mapped edges.
TEST_F(AccessibleExtentsAtScale, RectanglesAreTheDevicePixelsOfTheDrawing) {
    display::headless::set_device_quarters(6);
    HWND top = user_test::make_top("Sorvane");
    HWND box = user_test::make_child(top, "BUTTON", "Axes", BS_AUTOCHECKBOX, 35, 65, 90, 20, 0);
    const a11y::Tree& tree = user::accessibility_tree();
    a11y::Node frame, check;
    ASSERT_TRUE(tree.describe(reinterpret_cast<NodeId>(top), &frame));
    ASSERT_TRUE(tree.describe(reinterpret_cast<NodeId>(box), &check));
    RECT outer{}, inner{};
    GetWindowRect(top, &outer);
    GetWindowRect(box, &inner);
    EXPECT_EQ(frame.bounds.x, 633);  // 422 * 1.5
    EXPECT_EQ(frame.bounds.y, 738);
    EXPECT_EQ(frame.bounds.width, gdi::to_device(outer.right, 6) - 633);
    EXPECT_NEAR(frame.bounds.width, 819, 1);  // 546 * 1.5
    EXPECT_NEAR(frame.bounds.height, 488, 1);
    EXPECT_EQ(check.bounds.width, 135);
    EXPECT_EQ(check.bounds.height, 30);
    Box relative = a11y::extents(tree, check, CoordType::window);
    EXPECT_EQ(relative.x, gdi::to_device(inner.left, 6) - 633);
    EXPECT_EQ(relative.y, gdi::to_device(inner.top, 6) - 738);
    EXPECT_NEAR(relative.x, (3 + 35) * 3 / 2, 1);  // the frame's side and the box's place
    EXPECT_NEAR(relative.y, (22 + 65) * 3 / 2, 1);
}

}  // namespace
