// Random names through the kernel layer's file calls (CreateFileA, ReadFile,
// WriteFile, CloseHandle, CreateDirectoryA, GetFileAttributesA,
// FindFirstFileA and FindNextFileA) and the runtime's file_size, each result
// checked against the model. The input is a script: each call takes an
// opcode byte and its arguments from the bytes that follow.
#include <fcntl.h>
#include <ftw.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/path_model.h"
#include "platform/win32.h"
#include "runtime/files/file_system.h"

namespace {

const size_t most_calls = 64;
const size_t most_open = 6;
// Letters of both cases, the characters that sort between them, blanks,
// dots, both separators, wildcards and one character no name may hold.
const char name_characters[] = "aAbBzZ_[]^. ./\\/*?<";
const char plain_characters[] = "aAbBzZ_[]^. ";

struct Script {
    const uint8_t* data;
    size_t size;
    size_t at;
    bool more() const { return at < size; }
    uint8_t next() { return at < size ? data[at++] : 0; }
};

std::string random_name(Script* s, const char* alphabet, size_t alphabet_size) {
    size_t length = 1 + s->next() % 10;
    std::string name;
    for (size_t i = 0; i < length; ++i) {
        name += alphabet[s->next() % alphabet_size];
    }
    return name;
}

// Either a made-up name, or the path of an entry the model knows, spelled in
// another case, with either separator, sometimes with a tail added.
std::string name_from(Script* s, const fuzz::PathModel& model) {
    uint8_t kind = s->next();
    if (kind < 96) {
        return random_name(s, name_characters, sizeof name_characters - 1);
    }
    const std::vector<fuzz::Entry>& entries = model.entries();
    std::string path = model.path_of(static_cast<int>(s->next() % entries.size()));
    uint8_t flips = s->next();
    for (size_t i = 0; i < path.size(); ++i) {
        char c = path[i];
        if ((flips >> (i % 8)) & 1) {
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 32);
            } else if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c + 32);
            } else if (c == '/') {
                c = '\\';
            }
        }
        path[i] = c;
    }
    if (kind & 1) {
        path += (kind & 2) ? "\\" : "/";
        if (kind & 4) {
            path += random_name(s, name_characters, sizeof name_characters - 1);
        }
    }
    return path;
}

struct Real {
    std::vector<HANDLE> handles;  // by the model's handle number
};

std::string describe_call(const char* call, const std::string& name) {
    return std::string(call) + " \"" + name + "\"";
}

void check(const char* call, const std::string& name, const fuzz::Result& expected, bool ok, DWORD error) {
    if (expected.ok != ok || ((!ok || expected.error != 0) && expected.error != error)) {
        char text[128];
        snprintf(text, sizeof text, "%s, error %lu", ok ? "succeeded" : "failed", static_cast<unsigned long>(error));
        char wanted[128];
        snprintf(wanted, sizeof wanted, "%s, error %lu", expected.ok ? "succeeded" : "failed",
                 static_cast<unsigned long>(expected.error));
        fuzz::mismatch(describe_call(call, name).c_str(), wanted, text);
    }
}

void call_create_file(Script* s, fuzz::PathModel* model, Real* real) {
    static const DWORD access_choices[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE, 0};
    DWORD access = access_choices[s->next() % 4];
    DWORD share = s->next() % 8;
    DWORD disposition = s->next() % 6;
    std::string name = name_from(s, *model);
    if (!model->stays_inside(name) || model->open_handles().size() >= most_open) {
        return;
    }
    int number = -1;
    fuzz::Result expected = model->create_file(name, access, share, disposition, &number);
    SetLastError(0xDEAD);
    HANDLE handle = CreateFileA(name.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD error = GetLastError();
    check("CreateFileA", name, expected, handle != INVALID_HANDLE_VALUE, error);
    if (number >= 0) {
        real->handles.resize(number + 1, INVALID_HANDLE_VALUE);
        real->handles[number] = handle;
    }
}

int pick_open(Script* s, const fuzz::PathModel& model) {
    const std::vector<int>& open = model.open_handles();
    return open.empty() ? -1 : open[s->next() % open.size()];
}

void call_read_write_close(uint8_t op, Script* s, fuzz::PathModel* model, Real* real) {
    int number = pick_open(s, *model);
    size_t count = s->next() % 9;
    if (number < 0) {
        return;
    }
    HANDLE handle = real->handles[number];
    if (op == 0) {
        model->close(number);
        fuzz::require(CloseHandle(handle), "CloseHandle of an open file");
        return;
    }
    DWORD done = 0;
    if (op == 1) {
        std::string expected_bytes;
        fuzz::Result expected = model->read(number, count, &expected_bytes);
        char buffer[16];
        BOOL ok = ReadFile(handle, buffer, static_cast<DWORD>(count), &done, nullptr);
        check("ReadFile", "", expected, ok, GetLastError());
        if (std::string(buffer, ok ? done : 0) != expected_bytes) {
            fuzz::mismatch("ReadFile bytes", expected_bytes, std::string(buffer, done));
        }
        return;
    }
    std::string bytes;
    for (size_t i = 0; i < count; ++i) {
        bytes += static_cast<char>(s->next());
    }
    fuzz::Result expected = model->write(number, bytes);
    BOOL ok = WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    check("WriteFile", "", expected, ok, GetLastError());
    fuzz::require(done == (ok ? bytes.size() : 0), "WriteFile reports the bytes written");
}

void call_create_directory(Script* s, fuzz::PathModel* model) {
    std::string name = name_from(s, *model);
    if (!model->stays_inside(name)) {
        return;
    }
    fuzz::Result expected = model->create_directory(name);
    BOOL ok = CreateDirectoryA(name.c_str(), nullptr);
    check("CreateDirectoryA", name, expected, ok, GetLastError());
}

void call_attributes(Script* s, const fuzz::PathModel& model) {
    std::string name = name_from(s, model);
    if (!model.stays_inside(name)) {
        return;
    }
    DWORD expected_attributes = 0;
    fuzz::Result expected = model.attributes(name, &expected_attributes);
    DWORD attributes = GetFileAttributesA(name.c_str());
    check("GetFileAttributesA", name, expected, attributes != INVALID_FILE_ATTRIBUTES, GetLastError());
    if (expected.ok && attributes != expected_attributes) {
        fuzz::mismatch(describe_call("GetFileAttributesA", name).c_str(), std::to_string(expected_attributes),
                       std::to_string(attributes));
    }
}

std::string listing(const std::vector<fuzz::FoundEntry>& found) {
    std::string text;
    for (const fuzz::FoundEntry& e : found) {
        text += e.name + " (" + std::to_string(e.attributes) + ", " + std::to_string(e.size) + ") ";
    }
    return text;
}

void call_find(Script* s, const fuzz::PathModel& model) {
    std::string pattern = name_from(s, model);
    if (s->next() & 1) {
        pattern += "*";
    }
    if (!model.pattern_stays_inside(pattern)) {
        return;
    }
    std::vector<fuzz::FoundEntry> expected_found;
    fuzz::Result expected = model.find(pattern, &expected_found);
    WIN32_FIND_DATAA record;
    HANDLE search = FindFirstFileA(pattern.c_str(), &record);
    check("FindFirstFileA", pattern, expected, search != INVALID_HANDLE_VALUE, GetLastError());
    std::vector<fuzz::FoundEntry> found;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            found.push_back({record.cFileName, record.dwFileAttributes, record.nFileSizeLow});
        } while (FindNextFileA(search, &record));
        fuzz::require(GetLastError() == ERROR_NO_MORE_FILES, "FindNextFileA ends with ERROR_NO_MORE_FILES");
        fuzz::require(FindClose(search), "FindClose");
    }
    if (listing(found) != listing(expected_found)) {
        fuzz::mismatch(describe_call("FindFirstFileA", pattern).c_str(), listing(expected_found), listing(found));
    }
}

void call_file_size(Script* s, const fuzz::PathModel& model) {
    std::string name = name_from(s, model);
    if (!model.pattern_stays_inside(name)) {
        return;
    }
    int32_t expected = model.file_size(name);
    int32_t size = file_size(name.c_str());
    if (size != expected) {
        fuzz::mismatch(describe_call("file_size", name).c_str(), std::to_string(expected), std::to_string(size));
    }
}

// Files made or marked read-only behind the layer's back, as a user might.
void change_directly(Script* s, fuzz::PathModel* model) {
    uint8_t what = s->next();
    const std::vector<fuzz::Entry>& entries = model->entries();
    int entry = static_cast<int>(s->next() % entries.size());
    if (what & 1) {
        if (!entries[entry].folder) {
            return;
        }
        std::string name = random_name(s, plain_characters, sizeof plain_characters - 1);
        if (name == "." || name == "..") {
            return;
        }
        for (const fuzz::Entry& e : entries) {
            if (e.parent == entry && e.name == name) {
                return;
            }
        }
        model->add_file_directly(entry, name);
        int fd = open((model->path_of(entry) + "/" + name).c_str(), O_WRONLY | O_CREAT, 0644);
        fuzz::require(fd >= 0, "making a file directly");
        close(fd);
        return;
    }
    if (entries[entry].folder) {
        return;
    }
    bool read_only = (what & 2) != 0;
    model->set_read_only(entry, read_only);
    fuzz::require(chmod(model->path_of(entry).c_str(), read_only ? 0444 : 0644) == 0, "chmod");
}

int remove_entry(const char* path, const struct stat*, int, struct FTW*) {
    return remove(path);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::start_in_private_folder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A fresh, empty working folder for every input.
    fuzz::require(chdir(fuzz::private_folder().c_str()) == 0, "entering the private folder");
    nftw("box", remove_entry, 16, FTW_DEPTH | FTW_PHYS);
    fuzz::require(mkdir("box", 0755) == 0 && chdir("box") == 0, "a fresh working folder");

    fuzz::PathModel model;
    Real real;
    Script script = {data, size, 0};
    for (size_t calls = 0; calls < most_calls && script.more(); ++calls) {
        uint8_t op = script.next() % 10;
        switch (op) {
            case 0:
            case 1:
                call_create_file(&script, &model, &real);
                break;
            case 2:
            case 3:
            case 4:
                call_read_write_close(static_cast<uint8_t>(op - 2), &script, &model, &real);
                break;
            case 5:
                call_create_directory(&script, &model);
                break;
            case 6:
                call_attributes(&script, model);
                break;
            case 7:
                call_find(&script, model);
                break;
            case 8:
                call_file_size(&script, model);
                break;
            default:
                change_directly(&script, &model);
                break;
        }
    }
    for (int number : model.open_handles()) {
        CloseHandle(real.handles[number]);
    }
    return 0;
}
