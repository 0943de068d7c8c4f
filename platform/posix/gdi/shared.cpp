// GDI's one state object, made on first use.
#include "platform/posix/gdi/shared.h"

namespace gdi {

Shared& shared() {
    // Never destroyed, as the handle table is not: a static destructor that
    // draws at exit still finds the stock objects, and with no destructor to
    // run this file needs nothing of font.cpp, which needs this file.
    static Shared& state = *new Shared;
    return state;
}

}  // namespace gdi
