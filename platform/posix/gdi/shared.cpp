// GDI's one state object, made on first use.
#include "platform/posix/gdi/shared.h"

namespace gdi {

Shared& shared() {
    static Shared state;
    return state;
}

}  // namespace gdi
