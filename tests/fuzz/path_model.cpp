#include "fuzz/path_model.h"

#include <algorithm>

namespace fuzz {

namespace {

const unsigned share_read = FILE_SHARE_READ;
const unsigned share_write = FILE_SHARE_WRITE;

bool separator(char c) {
    return c == '/' || c == '\\';
}

char folded(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

bool same_ignoring_case(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (folded(a[i]) != folded(b[i])) {
            return false;
        }
    }
    return true;
}

bool forbidden_in_name(char c) {
    return static_cast<unsigned char>(c) < 32 || std::string("<>:\"|?*").find(c) != std::string::npos;
}

bool forbidden_in_pattern(char c) {
    return static_cast<unsigned char>(c) < 32 || std::string("<>:\"|").find(c) != std::string::npos;
}

std::vector<std::string> split(const std::string& text) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (separator(c)) {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}

std::string without_trailing_dots_and_blanks(std::string part) {
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) {
        part.pop_back();
    }
    return part;
}

// The parts that name something, after folding `.` and `..`; false when a
// `..` would leave the working folder.
bool fold(const std::string& text, std::vector<std::string>* parts) {
    for (const std::string& part : split(text)) {
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            if (parts->empty()) {
                return false;
            }
            parts->pop_back();
            continue;
        }
        std::string kept = without_trailing_dots_and_blanks(part);
        if (!kept.empty()) {
            parts->push_back(kept);
        }
    }
    return true;
}

// `*` any run of characters, `?` any one character, letters in either case.
bool matches(const std::string& pattern, const std::string& name) {
    std::vector<std::vector<bool>> table(pattern.size() + 1, std::vector<bool>(name.size() + 1, false));
    table[pattern.size()][name.size()] = true;
    for (size_t p = pattern.size(); p-- > 0;) {
        for (size_t n = name.size() + 1; n-- > 0;) {
            if (pattern[p] == '*') {
                table[p][n] = table[p + 1][n] || (n < name.size() && table[p][n + 1]);
            } else if (n < name.size() && (pattern[p] == '?' || folded(pattern[p]) == folded(name[n]))) {
                table[p][n] = table[p + 1][n + 1];
            }
        }
    }
    return table[0][0];
}

int dot_rank(const std::string& name) {
    return name == "." ? 0 : name == ".." ? 1 : 2;
}

// `.` and `..` first, then by the names folded to upper case, a name before
// its longer continuations; names differing only in case by their bytes.
bool listed_before(const std::string& a, const std::string& b) {
    if (dot_rank(a) != dot_rank(b)) {
        return dot_rank(a) < dot_rank(b);
    }
    std::string x, y;
    for (char c : a) {
        x += folded(c);
    }
    for (char c : b) {
        y += folded(c);
    }
    if (x != y) {
        return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(), [](char l, char r) {
            return static_cast<unsigned char>(l) < static_cast<unsigned char>(r);
        });
    }
    return a < b;
}

}  // namespace

PathModel::PathModel() {
    entries_.push_back(Entry{-1, "", true, false, ""});
}

bool PathModel::stays_inside(const std::string& name) const {
    if (name.empty() || separator(name[0]) || name.find(':') != std::string::npos) {
        return false;
    }
    std::vector<std::string> parts;
    return fold(name, &parts);
}

bool PathModel::pattern_stays_inside(const std::string& pattern) const {
    size_t cut = pattern.find_last_of("/\\");
    return cut == std::string::npos || stays_inside(pattern.substr(0, cut + 1));
}

int PathModel::child(int folder, const std::string& name) const {
    int exact = -1, other = -1;
    for (size_t i = 1; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        if (e.parent != folder) {
            continue;
        }
        if (e.name == name) {
            exact = static_cast<int>(i);
        } else if (same_ignoring_case(e.name, name) && (other < 0 || e.name < entries_[other].name)) {
            other = static_cast<int>(i);
        }
    }
    return exact >= 0 ? exact : other;
}

std::vector<int> PathModel::children(int folder) const {
    std::vector<int> found;
    for (size_t i = 1; i < entries_.size(); ++i) {
        if (entries_[i].parent == folder) {
            found.push_back(static_cast<int>(i));
        }
    }
    return found;
}

PathModel::Resolved PathModel::resolve(const std::string& name) const {
    Resolved r = {true, 0, true, true, false, -1, 0, ""};
    for (char c : name) {
        if (forbidden_in_name(c)) {
            r.valid = false;
            r.error = ERROR_INVALID_NAME;
            return r;
        }
    }
    r.trailing_separator = separator(name.back());
    std::vector<std::string> parts;
    fold(name, &parts);
    int at = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        int next = r.parent_exists ? child(at, parts[i]) : -1;
        r.parent = at;
        r.last = next >= 0 ? entries_[next].name : parts[i];
        if (i + 1 < parts.size() && (next < 0 || !entries_[next].folder)) {
            r.parent_exists = false;
        }
        r.exists = next >= 0 && r.parent_exists;
        r.entry = next;
        at = next;
    }
    return r;
}

Result PathModel::create_file(const std::string& name, DWORD access, DWORD share, DWORD disposition, int* handle) {
    unsigned rights = ((access & GENERIC_READ) ? share_read : 0) | ((access & GENERIC_WRITE) ? share_write : 0);
    bool truncates = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
    if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING ||
        (disposition == TRUNCATE_EXISTING && !(rights & share_write))) {
        return {false, ERROR_INVALID_PARAMETER};
    }
    Resolved r = resolve(name);
    if (!r.valid) {
        return {false, r.error};
    }
    if (!r.parent_exists) {
        return {false, ERROR_PATH_NOT_FOUND};
    }
    int entry = r.entry;
    bool existed = r.exists;
    if (existed) {
        const Entry& e = entries_[entry];
        if (disposition == CREATE_NEW) {
            return {false, ERROR_FILE_EXISTS};
        }
        if (e.folder) {
            return {false, ERROR_ACCESS_DENIED};
        }
        if (r.trailing_separator) {
            return {false, ERROR_INVALID_NAME};
        }
        if (((rights & share_write) || truncates) && e.read_only) {
            return {false, ERROR_ACCESS_DENIED};
        }
        unsigned asked = rights | (truncates ? share_write : 0);
        unsigned admits = share & (FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        for (int open : open_) {
            const OpenHandle& h = handles_[open];
            if (h.entry == entry && h.rights != 0 && asked != 0 &&
                ((asked & ~h.share) != 0 || (h.rights & ~admits) != 0)) {
                return {false, ERROR_SHARING_VIOLATION};
            }
        }
        if (truncates) {
            entries_[entry].bytes.clear();
        }
    } else {
        if (disposition == OPEN_EXISTING || disposition == TRUNCATE_EXISTING) {
            return {false, ERROR_FILE_NOT_FOUND};
        }
        if (r.trailing_separator) {
            return {false, ERROR_INVALID_NAME};
        }
        entries_.push_back(Entry{r.parent, r.last, false, false, ""});
        entry = static_cast<int>(entries_.size()) - 1;
    }
    handles_.push_back(OpenHandle{entry, rights, share & (FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE), 0});
    *handle = static_cast<int>(handles_.size()) - 1;
    open_.push_back(*handle);
    bool reports_existing = existed && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS);
    return {true, reports_existing ? static_cast<DWORD>(ERROR_ALREADY_EXISTS) : static_cast<DWORD>(ERROR_SUCCESS)};
}

void PathModel::close(int handle) {
    open_.erase(std::find(open_.begin(), open_.end(), handle));
}

Result PathModel::read(int handle, size_t count, std::string* bytes) {
    OpenHandle& h = handles_[handle];
    bytes->clear();
    if (!(h.rights & share_read)) {
        return {false, ERROR_ACCESS_DENIED};
    }
    const std::string& data = entries_[h.entry].bytes;
    if (h.position < data.size()) {
        *bytes = data.substr(h.position, count);
    }
    h.position += bytes->size();
    return {true, 0};
}

Result PathModel::write(int handle, const std::string& bytes) {
    OpenHandle& h = handles_[handle];
    if (!(h.rights & share_write)) {
        return {false, ERROR_ACCESS_DENIED};
    }
    std::string& data = entries_[h.entry].bytes;
    if (data.size() < h.position + bytes.size()) {
        data.resize(h.position + bytes.size(), '\0');
    }
    data.replace(h.position, bytes.size(), bytes);
    h.position += bytes.size();
    return {true, 0};
}

Result PathModel::create_directory(const std::string& name) {
    Resolved r = resolve(name);
    if (!r.valid) {
        return {false, r.error};
    }
    if (!r.parent_exists) {
        return {false, ERROR_PATH_NOT_FOUND};
    }
    if (r.exists) {
        return {false, ERROR_ALREADY_EXISTS};
    }
    entries_.push_back(Entry{r.parent, r.last, true, false, ""});
    return {true, 0};
}

Result PathModel::attributes(const std::string& name, DWORD* attributes) const {
    Resolved r = resolve(name);
    if (!r.valid) {
        return {false, r.error};
    }
    if (!r.parent_exists) {
        return {false, ERROR_PATH_NOT_FOUND};
    }
    if (!r.exists) {
        return {false, ERROR_FILE_NOT_FOUND};
    }
    if (r.trailing_separator && !entries_[r.entry].folder) {
        return {false, ERROR_INVALID_NAME};
    }
    *attributes = describe(r.entry).attributes;
    return {true, 0};
}

FoundEntry PathModel::describe(int entry) const {
    const Entry& e = entries_[entry];
    DWORD attributes = e.folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (e.read_only) {
        attributes |= FILE_ATTRIBUTE_READONLY;
    }
    return {e.name, attributes, e.folder ? 0 : static_cast<DWORD>(e.bytes.size())};
}

Result PathModel::find(const std::string& pattern_text, std::vector<FoundEntry>* found) const {
    found->clear();
    size_t cut = pattern_text.find_last_of("/\\");
    std::string pattern = cut == std::string::npos ? pattern_text : pattern_text.substr(cut + 1);
    std::string folder_name = cut == std::string::npos ? "." : pattern_text.substr(0, cut + 1);
    if (pattern.empty()) {
        return {false, ERROR_FILE_NOT_FOUND};
    }
    for (char c : pattern) {
        if (forbidden_in_pattern(c)) {
            return {false, ERROR_INVALID_NAME};
        }
    }
    Resolved folder = resolve(folder_name);
    if (!folder.valid) {
        return {false, folder.error};
    }
    if (!folder.exists || !entries_[folder.entry].folder) {
        return {false, ERROR_PATH_NOT_FOUND};
    }
    const FoundEntry dot = {".", FILE_ATTRIBUTE_DIRECTORY, 0};
    const FoundEntry dot_dot = {"..", FILE_ATTRIBUTE_DIRECTORY, 0};
    if (pattern.find_first_of("*?") == std::string::npos) {
        if (pattern == "." || pattern == "..") {
            found->push_back(pattern == "." ? dot : dot_dot);
        } else if (int e = child(folder.entry, pattern); e >= 0) {
            found->push_back(describe(e));
        }
    } else {
        if (pattern == "*.*") {
            pattern = "*";
        }
        std::vector<FoundEntry> all = {dot, dot_dot};
        for (int e : children(folder.entry)) {
            all.push_back(describe(e));
        }
        for (const FoundEntry& e : all) {
            if (matches(pattern, e.name)) {
                found->push_back(e);
            }
        }
        std::sort(found->begin(), found->end(),
                  [](const FoundEntry& a, const FoundEntry& b) { return listed_before(a.name, b.name); });
    }
    if (found->empty()) {
        return {false, ERROR_FILE_NOT_FOUND};
    }
    return {true, 0};
}

int32_t PathModel::file_size(const std::string& name) const {
    if (name.empty()) {
        return -1;
    }
    std::string searched = name.back() == '\\' ? name.substr(0, name.size() - 1) : name;
    std::vector<FoundEntry> found;
    if (searched.empty() || !find(searched, &found).ok) {
        return -1;
    }
    return (found[0].attributes & FILE_ATTRIBUTE_DIRECTORY) ? -2 : static_cast<int32_t>(found[0].size);
}

int PathModel::add_file_directly(int folder, const std::string& name) {
    entries_.push_back(Entry{folder, name, false, false, ""});
    return static_cast<int>(entries_.size()) - 1;
}

void PathModel::set_read_only(int entry, bool read_only) {
    entries_[entry].read_only = read_only;
}

std::string PathModel::path_of(int entry) const {
    std::string path;
    for (int e = entry; e > 0; e = entries_[e].parent) {
        path = path.empty() ? entries_[e].name : entries_[e].name + "/" + path;
    }
    return path.empty() ? "." : path;
}

}  // namespace fuzz
