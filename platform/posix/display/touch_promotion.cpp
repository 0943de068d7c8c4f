// The promotion of touch to the mouse: the points down, and which is the mouse.
#include "platform/posix/display/touch_promotion.h"

namespace display {

namespace {

Input pointer_input(InputKind kind, const TouchPromotion& promotion, uint32_t time) {
    Input input;
    input.kind = kind;
    input.surface = promotion.surface;
    input.x = promotion.x;
    input.y = promotion.y;
    input.button = kind == InputKind::MouseMove ? 0 : ButtonLeft;
    input.time = time;
    return input;
}

int find_point(const TouchPromotion& promotion, int32_t id) {
    for (int i = 0; i < promotion.count; i++) {
        if (promotion.down[i] == id) {
            return i;
        }
    }
    return -1;
}

// A point beyond the ones kept is never the mouse, and its up is unknown.
void add_point(TouchPromotion* promotion, int32_t id) {
    if (find_point(*promotion, id) < 0 && promotion->count < TouchPromotion::max_points) {
        promotion->down[promotion->count++] = id;
    }
}

void remove_point(TouchPromotion* promotion, int32_t id) {
    const int at = find_point(*promotion, id);
    if (at >= 0) {
        promotion->down[at] = promotion->down[--promotion->count];
    }
}

bool is_primary(const TouchPromotion& promotion, int32_t id) {
    return promotion.held && promotion.primary == id;
}

}  // namespace

int promote_touch(TouchPromotion* promotion, const TouchPoint& point, Input out[2]) {
    switch (point.event) {
        case TouchEvent::Down: {
            const bool first = promotion->count == 0;
            add_point(promotion, point.id);
            if (!first || promotion->held) {
                return 0;
            }
            promotion->held = true;
            promotion->primary = point.id;
            promotion->surface = point.surface;
            promotion->x = point.x;
            promotion->y = point.y;
            out[0] = pointer_input(InputKind::MouseMove, *promotion, point.time);
            out[1] = pointer_input(InputKind::ButtonDown, *promotion, point.time);
            return 2;
        }
        case TouchEvent::Motion:
            if (!is_primary(*promotion, point.id)) {
                return 0;
            }
            promotion->x = point.x;
            promotion->y = point.y;
            out[0] = pointer_input(InputKind::MouseMove, *promotion, point.time);
            return 1;
        case TouchEvent::Up: {
            remove_point(promotion, point.id);
            if (!is_primary(*promotion, point.id)) {
                return 0;
            }
            promotion->held = false;
            out[0] = pointer_input(InputKind::ButtonUp, *promotion, point.time);
            return 1;
        }
        case TouchEvent::Cancel: {
            TouchPromotion outside;
            outside.surface = promotion->surface;
            outside.x = outside.y = touch_outside;
            const bool held = promotion->held;
            *promotion = TouchPromotion{};
            if (!held) {
                return 0;
            }
            out[0] = pointer_input(InputKind::MouseMove, outside, point.time);
            out[1] = pointer_input(InputKind::ButtonUp, outside, point.time);
            return 2;
        }
    }
    return 0;
}

void forget_touch_surface(TouchPromotion* promotion, SurfaceId surface) {
    if (promotion->held && promotion->surface == surface) {
        *promotion = TouchPromotion{};
    }
}

}  // namespace display
