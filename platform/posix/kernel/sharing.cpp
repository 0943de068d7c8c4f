// Share modes. Within the process the handle table is the record. Between
// processes each handle holds shared locks on reserved bytes far past any
// data: one byte per right it holds and one per right it denies. A newcomer
// conflicts when a byte for a right it wants is denied, or a right it denies
// is held; the check and the claim happen under an exclusive flock() gate,
// so two processes cannot both pass. The locks go with the descriptor.
#include "platform/posix/kernel/sharing.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/vfs.h>
#include <time.h>

#include <stdint.h>

#include "platform/posix/kernel/handles.h"
#include "platform/posix/kernel/syscalls.h"

namespace kernel {

namespace {

// Bytes lock_base + 0..2: holds read, write, delete; + 3..5: denies them.
constexpr off_t lock_base = INT64_MAX - 64;
constexpr unsigned denied_shift = 3;
constexpr int gate_attempts = 200;

enum class Lock { free, taken, refused };

struct Query {
    const struct stat* st;
    const SharingRequest* request;
    bool conflict;
};

bool check_holder(void* object, void* context) {
    const OpenFile* open = static_cast<const OpenFile*>(object);
    Query* query = static_cast<Query*>(context);
    const SharingRequest& request = *query->request;
    // Opens without data access neither restrict nor are restricted.
    if (open->rights == 0 || open->device != query->st->st_dev || open->inode != query->st->st_ino) {
        return true;
    }
    // Both ways: the newcomer must be admitted by the holder's share mode,
    // and must itself admit what the holder already does.
    if ((request.checked & ~open->share) != 0 || (open->rights & ~request.share) != 0) {
        query->conflict = true;
        return false;
    }
    return true;
}

// Network file systems turn flock() into byte-range locks of the whole
// file, and FUSE may not pass locks on at all: the rule stops there.
bool on_local_file_system(int fd) {
    const uint32_t remote[] = {
        0x6969,      // NFS
        0x517B,      // SMB
        0xFF534D42,  // CIFS
        0xFE534D42,  // SMB2
        0x65735546,  // FUSE
        0x73757245,  // Coda
        0x5346414F,  // AFS
        0x00C36400,  // Ceph
        0x01021997,  // 9P
    };
    struct statfs fs;
    if (sys.fstatfs(fd, &fs) != 0) {
        return false;
    }
    for (uint32_t type : remote) {
        if (static_cast<uint32_t>(fs.f_type) == type) {
            return false;
        }
    }
    return true;
}

Lock take_gate(int fd) {
    for (int attempt = 0; attempt < gate_attempts; ++attempt) {
        if (sys.flock(fd, LOCK_EX | LOCK_NB) == 0) {
            return Lock::free;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return Lock::refused;
        }
        // Another process is between its check and its claim.
        struct timespec pause = {0, 500 * 1000};
        sys.nanosleep(&pause, nullptr);
    }
    return Lock::taken;
}

struct flock range_of(short type, unsigned first, unsigned count) {
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = lock_base + first;
    lock.l_len = count;
    return lock;
}

// Applies the call to each run of set bits of the mask, stopping at the
// first run that is not free.
template <typename Call>
Lock each_run(unsigned mask, Call call) {
    unsigned bit = 0;
    while (bit < 2 * denied_shift) {
        if ((mask & (1u << bit)) == 0) {
            ++bit;
            continue;
        }
        unsigned first = bit;
        while (bit < 2 * denied_shift && (mask & (1u << bit)) != 0) {
            ++bit;
        }
        Lock result = call(first, bit - first);
        if (result != Lock::free) {
            return result;
        }
    }
    return Lock::free;
}

Lock test_bytes(int fd, unsigned mask) {
    return each_run(mask, [fd](unsigned first, unsigned count) {
        struct flock lock = range_of(F_WRLCK, first, count);
        if (sys.fcntl(fd, F_OFD_GETLK, &lock) != 0) {
            return Lock::refused;
        }
        return lock.l_type == F_UNLCK ? Lock::free : Lock::taken;
    });
}

Lock claim_bytes(int fd, unsigned mask) {
    return each_run(mask, [fd](unsigned first, unsigned count) {
        struct flock lock = range_of(F_RDLCK, first, count);
        return sys.fcntl(fd, F_OFD_SETLK, &lock) == 0 ? Lock::free : Lock::refused;
    });
}

// Under the gate: whether the request conflicts with another process's
// handle, and if not, its own bytes claimed.
Lock check_and_claim(int fd, const SharingRequest& request) {
    unsigned denied = all_rights & ~request.share;
    Lock found = test_bytes(fd, (request.checked << denied_shift) | denied);
    if (found != Lock::free) {
        return found;
    }
    // A handle without data access restricts nobody.
    unsigned claim = request.rights == 0 ? 0 : request.rights | (denied << denied_shift);
    Lock claimed = claim_bytes(fd, claim);
    if (claimed != Lock::free) {
        struct flock all = range_of(F_UNLCK, 0, 2 * denied_shift);
        sys.fcntl(fd, F_OFD_SETLK, &all);
    }
    return claimed;
}

}  // namespace

DWORD claim_sharing(int fd, const struct stat& st, const SharingRequest& request, bool* between_processes) {
    *between_processes = false;
    if (request.rights == 0 && request.checked == 0) {
        return ERROR_SUCCESS;
    }
    Query query = {&st, &request, false};
    for_each_handle(HandleKind::File, check_holder, &query);
    if (query.conflict) {
        return ERROR_SHARING_VIOLATION;
    }
    if (!S_ISREG(st.st_mode) || !on_local_file_system(fd)) {
        return ERROR_SUCCESS;
    }
    Lock gate = take_gate(fd);
    if (gate == Lock::taken) {
        return ERROR_SHARING_VIOLATION;
    }
    if (gate == Lock::refused) {
        return ERROR_SUCCESS;
    }
    Lock result = check_and_claim(fd, request);
    sys.flock(fd, LOCK_UN);
    if (result == Lock::taken) {
        return ERROR_SHARING_VIOLATION;
    }
    *between_processes = result == Lock::free && request.rights != 0;
    return ERROR_SUCCESS;
}

}  // namespace kernel
