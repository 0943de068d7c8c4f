// Process and thread identity, the command line, the module handle, and
// ending the process.
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>

#include <string>

#include "platform/posix/kernel/process.h"
#include "platform/posix/kernel/syscalls.h"
#include "platform/posix/win32_kernel.h"

namespace {

// Where a Windows executable is usually based; only ever compared.
HMODULE const instance = reinterpret_cast<HMODULE>(uintptr_t(0x00400000));

std::string read_own_arguments() {
    std::string raw;
    int fd = kernel::sys.open("/proc/self/cmdline", O_RDONLY | O_CLOEXEC, 0);
    if (fd < 0) {
        return raw;
    }
    char buffer[4096];
    for (;;) {
        ssize_t count = kernel::sys.read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        raw.append(buffer, static_cast<size_t>(count));
    }
    kernel::sys.close(fd);
    return raw;
}

// Quotes an argument so that the platform's own splitting gives it back.
void append_quoted(std::string* line, const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
        *line += argument;
        return;
    }
    *line += '"';
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
        } else if (c == '"') {
            line->append(backslashes * 2 + 1, '\\');
            backslashes = 0;
        } else {
            line->append(backslashes, '\\');
            backslashes = 0;
        }
        if (c != '\\') {
            *line += c;
        }
    }
    line->append(backslashes * 2, '\\');
    *line += '"';
}

}  // namespace

namespace kernel {

// Joins NUL-separated arguments into one Windows command line.
std::string command_line_from(const std::string& raw) {
    std::string line;
    size_t start = 0;
    while (start < raw.size()) {
        size_t end = raw.find('\0', start);
        if (end == std::string::npos) {
            end = raw.size();
        }
        if (!line.empty() || start > 0) {
            line += ' ';
        }
        append_quoted(&line, raw.substr(start, end - start));
        start = end + 1;
    }
    return line;
}

}  // namespace kernel

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
    if (lpModuleName == nullptr) {
        return instance;
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

LPSTR WINAPI GetCommandLineA(void) {
    // Built once: callers keep the pointer, as they may on Windows.
    static std::string line = kernel::command_line_from(read_own_arguments());
    return &line[0];
}

void WINAPI ExitProcess(UINT uExitCode) {
    fflush(nullptr);
    kernel::sys.exit(static_cast<int>(uExitCode));
    _Exit(static_cast<int>(uExitCode));  // should the table's exit have returned
}

DWORD WINAPI GetCurrentThreadId(void) {
    return static_cast<DWORD>(kernel::sys.gettid());
}

DWORD WINAPI GetCurrentProcessId(void) {
    return static_cast<DWORD>(kernel::sys.getpid());
}
