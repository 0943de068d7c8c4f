#include "fuzz/fuzz_support.h"

#include <fcntl.h>
#include <ftw.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/files/channels.h"
#include "runtime/memory/heaps.h"
#include "runtime/memory/strings.h"

namespace fuzz {

namespace {

std::string folder;

int remove_entry(const char* path, const struct stat*, int, struct FTW*) {
    chmod(path, 0700);
    return remove(path);
}

// The folder and the heaps go with the process when it ends normally, the
// heaps before the leak check at exit looks at them.
void finish() {
    close_all_files();
    destroy_node_heap();
    HeapDestroy(main_heap);
    main_heap = nullptr;
    if (!folder.empty() && chdir("/") == 0) {
        nftw(folder.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
    }
}

std::string printable(const std::string& bytes) {
    std::string text;
    for (unsigned char c : bytes.substr(0, 200)) {
        char escaped[8];
        snprintf(escaped, sizeof escaped, c >= 32 && c < 127 && c != '\\' ? "%c" : "\\x%02X", c);
        text += escaped;
    }
    return bytes.size() > 200 ? text + "..." : text;
}

}  // namespace

void start_in_private_folder() {
    if (!folder.empty()) {
        return;
    }
    char pattern[] = "/tmp/sorvane-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0) {
        perror("fuzz folder");
        abort();
    }
    folder = pattern;
    atexit(finish);
    main_heap = HeapCreate(0, 4000, 0);
    init_node_heap();
    init_files();
    init_string_buffer();
}

const std::string& private_folder() {
    return folder;
}

void put_file(const char* name, const std::string& bytes) {
    int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    require(fd >= 0, "writing an input file");
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t count = write(fd, bytes.data() + done, bytes.size() - done);
        require(count > 0, "writing an input file");
        done += static_cast<size_t>(count);
    }
    close(fd);
}

std::string file_bytes(const char* name) {
    int fd = open(name, O_RDONLY);
    if (fd < 0) {
        return "<missing>";
    }
    std::string bytes;
    char chunk[65536];
    ssize_t count;
    while ((count = read(fd, chunk, sizeof chunk)) > 0) {
        bytes.append(chunk, static_cast<size_t>(count));
    }
    close(fd);
    return bytes;
}

void mismatch(const char* what, const std::string& expected, const std::string& actual) {
    size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) {
        ++at;
    }
    fprintf(stderr, "MISMATCH: %s\n  first difference at byte %zu of %zu expected, %zu actual\n", what, at,
            expected.size(), actual.size());
    size_t from = at > 40 ? at - 40 : 0;
    fprintf(stderr, "  expected: %s\n", printable(expected.substr(from)).c_str());
    fprintf(stderr, "  actual:   %s\n", printable(actual.substr(from)).c_str());
    abort();
}

void require(bool condition, const char* what) {
    if (!condition) {
        fprintf(stderr, "FAILED: %s\n", what);
        abort();
    }
}

}  // namespace fuzz
