// SelectObject, and DeleteObject, which refuses an object some DC still
// draws with. Apart from gdi_objects.cpp because both look at the DCs.
#include <utility>

#include "platform/posix/gdi/device_context.h"
#include "platform/posix/gdi/gdi_objects.h"
#include "platform/posix/kernel/handles.h"

using gdi::Object;
using gdi::ObjectKind;

namespace {

bool selected_anywhere(const Object* object) {
    bool found = false;
    auto visit = [](void* dc_object, void* context) {
        const auto* dc = static_cast<const gdi::DeviceContext*>(dc_object);
        auto* seen = static_cast<std::pair<const Object*, bool*>*>(context);
        if (dc->font == seen->first || dc->brush == seen->first || dc->pen == seen->first) {
            *seen->second = true;
            return false;
        }
        return true;
    };
    std::pair<const Object*, bool*> context{object, &found};
    kernel::for_each_handle(kernel::HandleKind::DeviceContext, visit, &context);
    return found;
}

}  // namespace

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    gdi::DeviceContext* dc = gdi::find_dc(hdc);
    Object* object = gdi::find_any_object(h);
    if (!dc || !object) {
        return nullptr;
    }
    Object** slot = object->kind == ObjectKind::Brush ? &dc->brush
                    : object->kind == ObjectKind::Pen ? &dc->pen
                                                      : &dc->font;
    Object* previous = *slot;
    *slot = object;
    return previous != nullptr ? previous->handle : nullptr;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    Object* object = gdi::find_any_object(ho);
    if (!object) {
        return FALSE;
    }
    if (object->stock) {
        return TRUE;
    }
    // Freeing an object a DC still draws with would leave the DC dangling.
    if (selected_anywhere(object)) {
        return FALSE;
    }
    kernel::remove_handle(ho, kernel::HandleKind::GdiObject);
    delete object;
    return TRUE;
}
