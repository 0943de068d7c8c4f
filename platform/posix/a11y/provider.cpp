#include "platform/posix/a11y/provider.h"

namespace a11y {

Provider& provider() {
    static Provider p;
    return p;
}

}  // namespace a11y
