// An independent model of the file system rules of the platform's file
// calls, over a small tree kept in memory: names matched without regard to
// ASCII case (an exact spelling first, else the first match in byte order),
// trailing dots and blanks dropped, `.` and `..` folded first; the access,
// share mode and disposition rules of CreateFileA; read-only files refusing
// every write, also for root; and FindFirstFileA's matches in the order the
// platform lists them.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "platform/win32.h"

namespace fuzz {

struct Entry {
    int parent;  // -1 for the working folder
    std::string name;
    bool folder;
    bool read_only;
    std::string bytes;
};

struct OpenHandle {
    int entry;
    unsigned rights;  // FILE_SHARE_READ / FILE_SHARE_WRITE bits
    unsigned share;
    size_t position;
};

// What a call returns: ok, or the platform's error code.
struct Result {
    bool ok;
    DWORD error;  // on failure; for CreateFileA also on success
};

struct FoundEntry {
    std::string name;
    DWORD attributes;
    DWORD size;
};

class PathModel {
  public:
    PathModel();

    // False when the name would reach outside the working folder or is
    // absolute: the fuzzer then skips the call.
    bool stays_inside(const std::string& name) const;
    bool pattern_stays_inside(const std::string& pattern) const;

    // CreateFileA; on success *handle is the model's handle number.
    Result create_file(const std::string& name, DWORD access, DWORD share, DWORD disposition, int* handle);
    void close(int handle);
    Result read(int handle, size_t count, std::string* bytes);
    Result write(int handle, const std::string& bytes);
    Result create_directory(const std::string& name);
    Result attributes(const std::string& name, DWORD* attributes) const;
    // FindFirstFileA and FindNextFileA until the end.
    Result find(const std::string& pattern, std::vector<FoundEntry>* found) const;
    // The runtime's file_size.
    int32_t file_size(const std::string& name) const;

    // A file made or changed behind the layer's back; the name is new in
    // its folder in exactly that spelling.
    int add_file_directly(int folder, const std::string& name);
    void set_read_only(int entry, bool read_only);

    // The Linux path of an entry relative to the working folder.
    std::string path_of(int entry) const;
    // An entry's name as a Win32 caller might spell it.
    const std::vector<Entry>& entries() const { return entries_; }
    const std::vector<int>& open_handles() const { return open_; }

  private:
    struct Resolved {
        bool valid;  // false: *error says why
        DWORD error;
        bool parent_exists;
        bool exists;
        bool trailing_separator;
        int parent;  // the folder that holds or would hold the last part
        int entry;   // when it exists
        std::string last;
    };
    Resolved resolve(const std::string& name) const;
    int child(int folder, const std::string& name) const;
    std::vector<int> children(int folder) const;
    FoundEntry describe(int entry) const;

    std::vector<Entry> entries_;  // entry 0 is the working folder
    std::vector<OpenHandle> handles_;
    std::vector<int> open_;
};

}  // namespace fuzz
