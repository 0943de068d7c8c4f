// Name resolution and drive letters. `..` and `.` are folded before any
// lookup, as Windows does, so `missing\..\x` is `x`.
#include "platform/posix/kernel/paths.h"

#include <errno.h>
#include <limits.h>

#include <vector>

#include "platform/posix/kernel/errors.h"
#include "platform/posix/kernel/syscalls.h"

namespace kernel {

namespace {

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool is_drive_prefix(const char* name) {
    char letter = lower(name[0]);
    return letter >= 'a' && letter <= 'z' && name[1] == ':';
}

// Characters that no Win32 file name may hold.
bool is_forbidden(char c) {
    return static_cast<unsigned char>(c) < 32 || c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' ||
           c == '*';
}

// Windows drops trailing dots and blanks from a component.
std::string trim_component(const std::string& part) {
    size_t end = part.size();
    while (end > 0 && (part[end - 1] == '.' || part[end - 1] == ' ')) {
        --end;
    }
    return part.substr(0, end);
}

void split_into(const std::string& text, size_t from, std::vector<std::string>* parts, std::vector<bool>* verbatim,
                bool is_verbatim) {
    size_t start = from;
    for (size_t i = from; i <= text.size(); ++i) {
        if (i < text.size() && !(is_verbatim ? text[i] == '/' : is_separator(text[i]))) {
            continue;
        }
        std::string part = text.substr(start, i - start);
        start = i + 1;
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            if (!parts->empty()) {
                parts->pop_back();
                verbatim->pop_back();
            }
            continue;
        }
        if (!is_verbatim) {
            part = trim_component(part);
            if (part.empty()) {
                continue;
            }
        }
        parts->push_back(part);
        verbatim->push_back(is_verbatim);
    }
}

std::string join(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

bool status_of(const std::string& path, struct stat* st) {
    if (sys.stat(path.c_str(), st) == 0) {
        return true;
    }
    // A dangling symbolic link still occupies its name.
    return sys.lstat(path.c_str(), st) == 0;
}

}  // namespace

bool equal_ignoring_case(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

bool match_entry(const std::string& folder, const std::string& name, std::string* found, struct stat* st) {
    struct stat own;
    if (status_of(join(folder, name), st != nullptr ? st : &own)) {
        *found = name;
        return true;
    }
    DIR* dir = sys.opendir(folder.c_str());
    if (dir == nullptr) {
        return false;
    }
    bool any = false;
    while (struct dirent* entry = sys.readdir(dir)) {
        std::string candidate = entry->d_name;
        if (equal_ignoring_case(candidate, name) && (!any || candidate < *found)) {
            *found = candidate;
            any = true;
        }
    }
    sys.closedir(dir);
    return any && (st == nullptr || status_of(join(folder, *found), st));
}

bool resolve_path(const char* name, ResolvedPath* out) {
    if (name == nullptr || name[0] == '\0') {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    std::string text = name;
    size_t from = 0;
    bool absolute = is_separator(text[0]);
    if (is_drive_prefix(name)) {
        if (lower(text[0]) != 'z') {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return false;
        }
        from = 2;
        absolute = from < text.size() && is_separator(text[from]);
    }
    for (size_t i = from; i < text.size(); ++i) {
        if (is_forbidden(text[i])) {
            SetLastError(ERROR_INVALID_NAME);
            return false;
        }
    }

    std::vector<std::string> parts;
    std::vector<bool> verbatim;
    if (!absolute) {
        char cwd[PATH_MAX];
        if (sys.getcwd(cwd, sizeof cwd) == nullptr) {
            set_error_from_errno(errno);
            return false;
        }
        split_into(cwd, 0, &parts, &verbatim, true);
    }
    split_into(text, from, &parts, &verbatim, false);

    out->path = "/";
    out->last.clear();
    out->parent_exists = true;
    out->trailing_separator = text.size() > from && is_separator(text.back());
    size_t i = 0;
    // The current folder as getcwd spells it: when it is there, so is every
    // folder above it, and one status answers for them all.
    size_t spelled_out = 0;
    while (spelled_out < parts.size() && verbatim[spelled_out]) {
        ++spelled_out;
    }
    std::string folder;
    for (size_t k = 0; k < spelled_out; ++k) {
        folder += "/" + parts[k];
    }
    if (spelled_out > 0 && status_of(folder, &out->st) && S_ISDIR(out->st.st_mode)) {
        out->path = folder;
        out->last = parts[spelled_out - 1];
        out->exists = true;
        i = spelled_out;
    } else {
        out->exists = parts.empty() ? status_of("/", &out->st) : true;
    }
    for (; i < parts.size(); ++i) {
        std::string spelled = parts[i];
        const bool found = out->parent_exists && (verbatim[i] ? status_of(join(out->path, spelled), &out->st)
                                                              : match_entry(out->path, parts[i], &spelled, &out->st));
        out->path = join(out->path, spelled);
        out->last = spelled;
        if (i + 1 < parts.size() && (!found || !S_ISDIR(out->st.st_mode))) {
            out->parent_exists = false;
        }
        out->exists = found && out->parent_exists;
    }
    return true;
}

}  // namespace kernel

UINT WINAPI GetDriveTypeA(LPCSTR lpRootPathName) {
    // Null and a bare separator name the current drive, which is always Z:.
    const char* name = lpRootPathName;
    if (name == nullptr || name[0] == '\0' || (kernel::is_separator(name[0]) && name[1] == '\0')) {
        return DRIVE_FIXED;
    }
    size_t length = strlen(name);
    bool root_form = name[1] == ':' && (length == 2 || (length == 3 && kernel::is_separator(name[2])));
    if (root_form && (name[0] == 'z' || name[0] == 'Z')) {
        return DRIVE_FIXED;
    }
    return DRIVE_NO_ROOT_DIR;
}
