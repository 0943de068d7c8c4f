// Share modes between every handle to a file: those of this process,
// checked in the handle table, and those of other processes of ours, held
// as open file description locks on reserved bytes of the file.
#pragma once

#include <sys/stat.h>

#include "platform/posix/kernel/open_file.h"

namespace kernel {

struct SharingRequest {
    unsigned rights;   // held by the new handle
    unsigned checked;  // asked of the holders; truncating counts as writing
    unsigned share;    // what the new handle lets others hold
};

// Admits the new descriptor past every holder of the file and claims its
// own locks; ERROR_SHARING_VIOLATION on a conflict. *between_processes
// tells whether the locks hold, false where the file system refuses them
// and the rule stops at the process. Called with the files lock held.
DWORD claim_sharing(int fd, const struct stat& st, const SharingRequest& request, bool* between_processes);

}  // namespace kernel
