// FindFirstFileA and its companions. A search reads the whole folder at
// once and hands out its matches in case-insensitive order, `.` and `..`
// first, as the platform's file systems list them: names compared folded to
// upper case, so `_`, `[`, `]` and `^` come after the letters.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/posix/kernel/attributes.h"
#include "platform/posix/kernel/handles.h"
#include "platform/posix/kernel/paths.h"
#include "platform/posix/kernel/syscalls.h"

namespace {

struct Search {
    std::vector<WIN32_FIND_DATAA> records;
    size_t next;
};

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c;
}

bool wildcard_match(const char* pattern, const char* name) {
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name != '\0') {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == '?' || (*pattern != '\0' && lower(*pattern) == lower(*name))) {
            ++pattern;
            ++name;
        } else if (star != nullptr) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*') {
        ++pattern;
    }
    return *pattern == '\0';
}

int dot_rank(const std::string& name) {
    if (name == ".") {
        return 0;
    }
    return name == ".." ? 1 : 2;
}

bool listed_before(const std::string& a, const std::string& b) {
    if (dot_rank(a) != dot_rank(b)) {
        return dot_rank(a) < dot_rank(b);
    }
    size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        unsigned char x = static_cast<unsigned char>(upper(a[i]));
        unsigned char y = static_cast<unsigned char>(upper(b[i]));
        if (x != y) {
            return x < y;
        }
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

bool make_record(const std::string& folder, const std::string& name, WIN32_FIND_DATAA* record) {
    if (name.size() >= MAX_PATH) {
        return false;  // cannot be named through the ANSI calls
    }
    std::string path = folder == "/" ? "/" + name : folder + "/" + name;
    struct stat st;
    if (kernel::sys.stat(path.c_str(), &st) != 0 && kernel::sys.lstat(path.c_str(), &st) != 0) {
        return false;  // gone since the folder was read
    }
    memset(record, 0, sizeof *record);
    record->dwFileAttributes = kernel::attributes_of(st);
    record->ftCreationTime = kernel::filetime_of(st.st_mtim);
    record->ftLastAccessTime = kernel::filetime_of(st.st_atim);
    record->ftLastWriteTime = kernel::filetime_of(st.st_mtim);
    if (!S_ISDIR(st.st_mode)) {
        uint64_t size = static_cast<uint64_t>(st.st_size);
        record->nFileSizeHigh = static_cast<DWORD>(size >> 32);
        record->nFileSizeLow = static_cast<DWORD>(size);
    }
    memcpy(record->cFileName, name.c_str(), name.size() + 1);
    return true;
}

// Splits the searched name into its folder ("." when none) and its last
// part, the pattern; false with the last error for an empty or unusable
// pattern.
bool split_search(const std::string& text, std::string* folder, std::string* pattern) {
    size_t split = 0;
    if (text.size() >= 2 && text[1] == ':') {
        split = 2;
    }
    for (size_t i = split; i < text.size(); ++i) {
        if (kernel::is_separator(text[i])) {
            split = i + 1;
        }
    }
    *pattern = text.substr(split);
    *folder = split == 0 ? "." : text.substr(0, split);
    if (pattern->empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    for (char c : *pattern) {
        if (static_cast<unsigned char>(c) < 32 || strchr("<>:\"|", c) != nullptr) {
            SetLastError(ERROR_INVALID_NAME);
            return false;
        }
    }
    return true;
}

// The names in the folder that match the pattern, in listing order; false
// with the last error when the folder cannot be read.
bool matching_names(const std::string& folder, std::string pattern, std::vector<std::string>* names) {
    if (pattern.find_first_of("*?") == std::string::npos) {
        std::string found;
        if (kernel::match_entry(folder, pattern, &found)) {
            names->push_back(found);
        }
        return true;
    }
    if (pattern == "*.*") {
        pattern = "*";  // the old spelling of "everything"
    }
    DIR* dir = kernel::sys.opendir(folder.c_str());
    if (dir == nullptr) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    while (struct dirent* entry = kernel::sys.readdir(dir)) {
        if (wildcard_match(pattern.c_str(), entry->d_name)) {
            names->push_back(entry->d_name);
        }
    }
    kernel::sys.closedir(dir);
    std::sort(names->begin(), names->end(), listed_before);
    return true;
}

BOOL close_search(HANDLE handle) {
    Search* search = static_cast<Search*>(kernel::remove_handle(handle, kernel::HandleKind::Find));
    if (search == nullptr) {
        return FALSE;
    }
    delete search;
    return TRUE;
}

}  // namespace

HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
    if (lpFileName == nullptr || lpFileName[0] == '\0' || lpFindFileData == nullptr) {
        SetLastError(lpFindFileData == nullptr ? ERROR_INVALID_PARAMETER : ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::string folder_name;
    std::string pattern;
    if (!split_search(lpFileName, &folder_name, &pattern)) {
        return INVALID_HANDLE_VALUE;
    }
    kernel::ResolvedPath folder;
    if (!kernel::resolve_path(folder_name.c_str(), &folder)) {
        return INVALID_HANDLE_VALUE;
    }
    if (!folder.exists || !S_ISDIR(folder.st.st_mode)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::vector<std::string> names;
    if (!matching_names(folder.path, pattern, &names)) {
        return INVALID_HANDLE_VALUE;
    }
    Search* search = new Search{{}, 1};
    for (const std::string& name : names) {
        WIN32_FIND_DATAA record;
        if (make_record(folder.path, name, &record)) {
            search->records.push_back(record);
        }
    }
    if (search->records.empty()) {
        delete search;
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    kernel::set_close_hook(kernel::HandleKind::Find, close_search);
    HANDLE handle = kernel::insert_handle(kernel::HandleKind::Find, search);
    if (handle == nullptr) {
        delete search;
        return INVALID_HANDLE_VALUE;
    }
    *lpFindFileData = search->records[0];
    return handle;
}

BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
    Search* search = static_cast<Search*>(kernel::find_handle(hFindFile, kernel::HandleKind::Find));
    if (search == nullptr) {
        return FALSE;
    }
    if (search->next >= search->records.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    if (lpFindFileData == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpFindFileData = search->records[search->next++];
    return TRUE;
}

BOOL WINAPI FindClose(HANDLE hFindFile) {
    return close_search(hFindFile);
}
