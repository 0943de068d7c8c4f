// Share modes between processes: a forked child opens the file a parent
// handle holds, as a second copy of the tool would.
#include <errno.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/unit/platform/kernel/test_folder.h"

namespace {

class KernelSharing : public KernelFolder {};

// A second process of ours holding the file, opened after the fork so
// that this process's own table knows nothing of it.
struct Holder {
    pid_t pid;
    int release;
};

Holder hold_in_child(DWORD access, DWORD share) {
    int ready[2], release[2];
    EXPECT_EQ(pipe(ready) | pipe(release), 0);
    pid_t pid = fork();
    if (pid == 0) {
        close(release[1]);
        HANDLE file = CreateFileA("shared.txt", access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        char held = file != INVALID_HANDLE_VALUE ? 1 : 0;
        char go = 0;
        if (write(ready[1], &held, 1) != 1 || read(release[0], &go, 1) < 0) {
            _exit(2);
        }
        _exit(0);
    }
    char held = 0;
    EXPECT_EQ(read(ready[0], &held, 1), 1);
    EXPECT_EQ(held, 1);
    close(ready[0]);
    close(ready[1]);
    close(release[0]);
    return Holder{pid, release[1]};
}

void release(const Holder& holder) {
    close(holder.release);
    int status = -1;
    waitpid(holder.pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// 0 when the open succeeds, the last error when it fails.
DWORD open_here(DWORD access, DWORD share) {
    HANDLE file = CreateFileA("shared.txt", access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    CloseHandle(file);
    return 0;
}

const DWORD all = FILE_SHARE_READ | FILE_SHARE_WRITE;

TEST_F(KernelSharing, AnotherProcessIsRefusedWhatTheHoldersShareModeRefuses) {
    put_file("shared.txt", "abc");
    Holder holder = hold_in_child(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ);
    EXPECT_EQ(open_here(GENERIC_WRITE, all), DWORD(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(open_here(GENERIC_READ, FILE_SHARE_READ), DWORD(ERROR_SHARING_VIOLATION));  // refuses its writing
    EXPECT_EQ(open_here(GENERIC_READ, all), 0u);
    EXPECT_EQ(open_here(0, 0), 0u);  // no data access: neither restricts nor is restricted
    release(holder);
    EXPECT_EQ(open_here(GENERIC_READ | GENERIC_WRITE, 0), 0u);  // the locks went with the process

    // The other way round: what this process holds, the child is refused.
    HANDLE held = CreateFileA("shared.txt", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        CloseHandle(held);  // the child's own table no longer refuses it
        _exit(open_here(GENERIC_READ, all) == ERROR_SHARING_VIOLATION ? 0 : 1);
    }
    int status = -1;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    CloseHandle(held);
}

TEST_F(KernelSharing, WhereTheFileSystemRefusesTheLocksTheRuleStopsAtTheProcess) {
    put_file("shared.txt", "abc");
    kernel::sys.fcntl = [](int, int, struct flock*) {
        errno = ENOLCK;
        return -1;
    };
    Holder holder = hold_in_child(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ);
    EXPECT_EQ(open_here(GENERIC_WRITE, all), 0u);
    HANDLE held = CreateFileA("shared.txt", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(open_here(GENERIC_WRITE, all), DWORD(ERROR_SHARING_VIOLATION));
    CloseHandle(held);
    release(holder);
}

}  // namespace
