// Windows and files first: closing them frees nodes that the node heap holds.
#include "runtime/shutdown.h"

#include "runtime/files/channels.h"
#include "runtime/memory/heaps.h"
#include "runtime/ui/windows.h"

void runtime_shutdown() {
    close_all_windows();
    close_all_files();
    destroy_node_heap();
}
