// The rows of the last-error table. The last error is preset before each
// row; a row that must make objects first presets it again right before
// the call, and one that must clean up keeps the value right after it.
#include "tests/unit/platform/kernel/last_error_table.h"

#include <stdarg.h>
#include <string.h>

#include <initializer_list>

namespace last_error {

namespace {

const char* const window_class = "LastErrorRows";
const char* const unused_class = "LastErrorNobodyRegistered";
constexpr int button_id = 100;

struct World {
    HWND top, button, dead;
    HDC dc;
    HBRUSH brush;
    HANDLE heap, fixed_heap;
    HACCEL accelerators;
    HANDLE reader, writer, search;
};
World world;

// A multiple of 4 that no table hands out: a closed handle's value may be
// given to the next object on Windows.
HANDLE closed_search;
HANDLE const never_opened = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x7FFC));

bool kept_valid = false;
DWORD kept = 0;

void mark() {
    kept_valid = false;
    SetLastError(untouched);
}

bool keep(bool path_taken) {
    kept = GetLastError();
    kept_valid = true;
    return path_taken;
}

HANDLE open_as(const char* name, DWORD access, DWORD share, DWORD disposition) {
    return CreateFileA(name, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool write_file(const char* name, const char* text, DWORD attributes) {
    HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
    DWORD written = 0;
    bool ok = file != INVALID_HANDLE_VALUE && WriteFile(file, text, DWORD(strlen(text)), &written, nullptr);
    return CloseHandle(file) && ok;
}

HWND make_window(const char* cls, HWND parent, DWORD style) {
    return CreateWindowExA(0, cls, "Row", style, 10, 10, 200, 100, parent, nullptr, nullptr, nullptr);
}

bool opens(const char* name, DWORD access, DWORD share, DWORD disposition) {
    HANDLE file = open_as(name, access, share, disposition);
    keep(file != INVALID_HANDLE_VALUE);
    CloseHandle(file);
    return file != INVALID_HANDLE_VALUE;
}

bool refused_while_held(DWORD access, DWORD share) {
    HANDLE holder = open_as("scratch3.txt", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING);
    mark();
    bool refused = !opens("scratch3.txt", access, share, OPEN_EXISTING);
    CloseHandle(holder);
    return refused;
}

bool reads(HANDLE file, DWORD count) {
    char bytes[16];
    DWORD done = 0;
    return ReadFile(file, bytes, count, &done, nullptr) != FALSE;
}

bool writes(HANDLE file) {
    DWORD done = 0;
    return WriteFile(file, "x", 1, &done, nullptr) != FALSE;
}

bool finds(const char* pattern) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    keep(search != INVALID_HANDLE_VALUE);
    FindClose(search);
    return search != INVALID_HANDLE_VALUE;
}

bool registers(const char* name) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = name;
    return RegisterClassA(&wc) != 0;
}

int format(char* text, const char* pattern, ...) {
    va_list arguments;
    va_start(arguments, pattern);
    int length = wvsprintfA(text, pattern, arguments);
    va_end(arguments);
    return length;
}

// Handles whatever the rows left in the queue, paint included.
void drain() {
    MSG left;
    while (PeekMessageA(&left, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&left);
    }
}

BOOL CALLBACK keep_going(HWND, LPARAM) {
    return TRUE;
}

ACCEL f4 = {FVIRTKEY, VK_F4, 100};
RECT small = {0, 0, 10, 10};
char text[64];
POINT point;
MSG msg;
DWORD number;

const Row table[] = {
    // Heaps. HeapAlloc and HeapReAlloc are documented as not calling
    // SetLastError when they fail; Wine leaves 8 there, as we do.
    {"HeapCreate", "success", untouched, [] { return keep(HeapCreate(0, 0, 0) != nullptr); }},
    {"HeapAlloc", "success", untouched, [] { return HeapAlloc(world.heap, HEAP_ZERO_MEMORY, 64) != nullptr; }},
    {"HeapAlloc", "more than a fixed heap holds", ERROR_NOT_ENOUGH_MEMORY,
     [] { return HeapAlloc(world.fixed_heap, 0, 1 << 20) == nullptr; }},
    {"HeapReAlloc", "success", untouched,
     [] {
         void* block = HeapAlloc(world.heap, 0, 16);
         mark();
         return HeapReAlloc(world.heap, HEAP_ZERO_MEMORY, block, 4096) != nullptr;
     }},
    {"HeapReAlloc", "growing in place only, past a fixed heap", ERROR_NOT_ENOUGH_MEMORY,
     [] {
         void* block = HeapAlloc(world.fixed_heap, 0, 16);
         mark();
         return HeapReAlloc(world.fixed_heap, HEAP_REALLOC_IN_PLACE_ONLY, block, 1 << 20) == nullptr;
     }},
    {"HeapSize", "success", untouched,
     [] {
         void* block = HeapAlloc(world.heap, 0, 24);
         mark();
         return HeapSize(world.heap, 0, block) == 24;
     }},
    {"HeapFree", "success", untouched,
     [] {
         void* block = HeapAlloc(world.heap, 0, 24);
         mark();
         return HeapFree(world.heap, 0, block) != FALSE;
     }},
    {"HeapFree", "a null block", untouched, [] { return HeapFree(world.heap, 0, nullptr) != FALSE; }},
    {"HeapDestroy", "success", untouched,
     [] {
         HANDLE heap = HeapCreate(0, 0, 0);
         HeapAlloc(heap, 0, 100);
         mark();
         return HeapDestroy(heap) != FALSE;
     }},

    // Process.
    {"GetModuleHandleA", "the program itself", untouched, [] { return GetModuleHandleA(nullptr) != nullptr; }},
    {"GetModuleHandleA", "a module that is not loaded", ERROR_MOD_NOT_FOUND,
     [] { return GetModuleHandleA("lasterror_nosuch.dll") == nullptr; }},
    {"GetCommandLineA", "success", untouched, [] { return GetCommandLineA() != nullptr; }},
    {"GetCurrentThreadId", "success", untouched, [] { return GetCurrentThreadId() != 0; }},
    {"GetCurrentProcessId", "success", untouched, [] { return GetCurrentProcessId() != 0; }},
    {"SetLastError", "any value", 0x20001234, [] { return SetLastError(0x20001234), true; }},

    // Files. The documentation gives 183 or 0 for CREATE_ALWAYS and
    // OPEN_ALWAYS; the other dispositions' successes are Wine's.
    {"CreateFileA", "CREATE_ALWAYS, a new file", ERROR_SUCCESS,
     [] { return opens("created_always.txt", GENERIC_WRITE, 0, CREATE_ALWAYS); }},
    {"CreateFileA", "CREATE_ALWAYS, an existing file", ERROR_ALREADY_EXISTS,
     [] { return opens("scratch1.txt", GENERIC_WRITE, 0, CREATE_ALWAYS); }},
    {"CreateFileA", "OPEN_ALWAYS, a new file", ERROR_SUCCESS,
     [] { return opens("opened_always.txt", GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS); }},
    {"CreateFileA", "OPEN_ALWAYS, an existing file", ERROR_ALREADY_EXISTS,
     [] { return opens("ten.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_ALWAYS); }},
    {"CreateFileA", "OPEN_EXISTING, success", ERROR_SUCCESS,
     [] { return opens("ten.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING); }},
    {"CreateFileA", "CREATE_NEW, success", ERROR_SUCCESS,
     [] { return opens("created_new.txt", GENERIC_WRITE, 0, CREATE_NEW); }},
    {"CreateFileA", "TRUNCATE_EXISTING, success", ERROR_SUCCESS,
     [] { return opens("scratch2.txt", GENERIC_WRITE, 0, TRUNCATE_EXISTING); }},
    {"CreateFileA", "OPEN_EXISTING, a missing file", ERROR_FILE_NOT_FOUND,
     [] { return !opens("missing.txt", GENERIC_READ, 0, OPEN_EXISTING); }},
    {"CreateFileA", "TRUNCATE_EXISTING, a missing file", ERROR_FILE_NOT_FOUND,
     [] { return !opens("missing.txt", GENERIC_WRITE, 0, TRUNCATE_EXISTING); }},
    {"CreateFileA", "a missing folder", ERROR_PATH_NOT_FOUND,
     [] { return !opens("missing\\x.txt", GENERIC_WRITE, 0, CREATE_ALWAYS); }},
    {"CreateFileA", "CREATE_NEW, an existing file", ERROR_FILE_EXISTS,
     [] { return !opens("ten.txt", GENERIC_WRITE, 0, CREATE_NEW); }},
    {"CreateFileA", "a folder", ERROR_ACCESS_DENIED,
     [] { return !opens("folder", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING); }},
    // Wine as root opens a file without write permission for writing.
    {"CreateFileA", "a read-only file, for writing", ERROR_ACCESS_DENIED,
     [] { return !opens("readonly.txt", GENERIC_WRITE, 0, OPEN_EXISTING); }, ERROR_SUCCESS},
    {"CreateFileA", "an access the holder's share mode refuses", ERROR_SHARING_VIOLATION,
     [] { return refused_while_held(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE); }},
    {"CreateFileA", "a share mode that refuses the holder's access", ERROR_SHARING_VIOLATION,
     [] { return refused_while_held(GENERIC_READ, FILE_SHARE_READ); }},
    // The documentation requires GENERIC_WRITE; Wine truncates anyway.
    {"CreateFileA", "TRUNCATE_EXISTING without write access", ERROR_INVALID_PARAMETER,
     [] { return !opens("scratch5.txt", GENERIC_READ, FILE_SHARE_READ, TRUNCATE_EXISTING); }, ERROR_SUCCESS},
    {"CreateFileA", "an unknown disposition", ERROR_INVALID_PARAMETER,
     [] { return !opens("ten.txt", GENERIC_READ, FILE_SHARE_READ, 9); }},
    {"CreateFileA", "a name with a forbidden character", ERROR_INVALID_NAME,
     [] { return !opens("a<b.txt", GENERIC_WRITE, 0, CREATE_ALWAYS); }},
    {"CreateFileA", "an empty name", ERROR_PATH_NOT_FOUND, [] { return !opens("", GENERIC_READ, 0, OPEN_EXISTING); }},

    {"ReadFile", "success", untouched,
     [] { return SetFilePointer(world.reader, 0, nullptr, FILE_BEGIN), mark(), reads(world.reader, 4); }},
    {"ReadFile", "at the end of the file", untouched,
     [] { return SetFilePointer(world.reader, 0, nullptr, FILE_END), mark(), reads(world.reader, 4); }},
    {"ReadFile", "a handle without read access", ERROR_ACCESS_DENIED, [] { return !reads(world.writer, 4); }},
    {"ReadFile", "a handle never opened", ERROR_INVALID_HANDLE, [] { return !reads(never_opened, 4); }},
    {"WriteFile", "success", untouched, [] { return writes(world.writer); }},
    {"WriteFile", "a handle without write access", ERROR_ACCESS_DENIED, [] { return !writes(world.reader); }},
    {"WriteFile", "a handle never opened", ERROR_INVALID_HANDLE, [] { return !writes(never_opened); }},
    {"SetFilePointer", "success", untouched, [] { return SetFilePointer(world.reader, 3, nullptr, FILE_BEGIN) == 3; }},
    {"SetFilePointer", "success, at the end", untouched,
     [] { return SetFilePointer(world.reader, 0, nullptr, FILE_END) == 10; }},
    {"SetFilePointer", "success with a low part of 0xFFFFFFFF", ERROR_SUCCESS,
     [] {
         LONG high = 0;
         return SetFilePointer(world.reader, -1, &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER;
     }},
    {"SetFilePointer", "before the start of the file", ERROR_NEGATIVE_SEEK,
     [] { return SetFilePointer(world.reader, -20, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER; }},
    {"SetFilePointer", "an unknown move method", ERROR_INVALID_PARAMETER,
     [] { return SetFilePointer(world.reader, 0, nullptr, 7) == INVALID_SET_FILE_POINTER; }},
    {"SetFilePointer", "a handle never opened", ERROR_INVALID_HANDLE,
     [] { return SetFilePointer(never_opened, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER; }},
    {"GetFileSize", "success", untouched, [] { return GetFileSize(world.reader, &number) == 10 && number == 0; }},
    {"GetFileSize", "a handle never opened", ERROR_INVALID_HANDLE,
     [] { return GetFileSize(never_opened, nullptr) == 0xFFFFFFFF; }},
    {"CloseHandle", "success", untouched,
     [] {
         HANDLE file = open_as("ten.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
         mark();
         return CloseHandle(file) != FALSE;
     }},
    {"CloseHandle", "a handle never opened", ERROR_INVALID_HANDLE, [] { return CloseHandle(never_opened) == FALSE; }},
    // Only files and searches register a closer: a heap is destroyed, and
    // a closed handle stays closed.
    {"CloseHandle", "a heap", ERROR_INVALID_HANDLE,
     [] {
         HANDLE heap = HeapCreate(0, 0, 0);
         bool refused = keep(CloseHandle(heap) == FALSE);
         return HeapDestroy(heap) && refused;
     }},
    {"CloseHandle", "a closed file", ERROR_INVALID_HANDLE,
     [] {
         HANDLE file = open_as("ten.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
         CloseHandle(file);
         return CloseHandle(file) == FALSE;
     }},

    // Searches and the file system.
    {"FindFirstFileA", "a pattern", untouched, [] { return finds("folder\\*"); }},
    {"FindFirstFileA", "a name in another case", untouched, [] { return finds("FOLDER"); }},
    {"FindFirstFileA", "no match", ERROR_FILE_NOT_FOUND, [] { return !finds("folder\\*.none"); }},
    {"FindFirstFileA", "a trailing backslash", ERROR_FILE_NOT_FOUND, [] { return !finds("folder\\"); }},
    {"FindFirstFileA", "a missing folder", ERROR_PATH_NOT_FOUND, [] { return !finds("missing\\*"); }},
    {"FindNextFileA", "success", untouched,
     [] {
         WIN32_FIND_DATAA found;
         return FindNextFileA(world.search, &found) != FALSE;
     }},
    {"FindNextFileA", "no more entries", ERROR_NO_MORE_FILES,
     [] {
         WIN32_FIND_DATAA found;
         HANDLE search = FindFirstFileA("folder\\inner.txt", &found);
         mark();
         bool done = keep(FindNextFileA(search, &found) == FALSE);
         FindClose(search);
         return done;
     }},
    {"FindNextFileA", "a closed search", ERROR_INVALID_HANDLE,
     [] {
         WIN32_FIND_DATAA found;
         return FindNextFileA(closed_search, &found) == FALSE;
     }},
    {"FindClose", "success", untouched,
     [] {
         WIN32_FIND_DATAA found;
         HANDLE search = FindFirstFileA("folder\\*", &found);
         mark();
         return FindClose(search) != FALSE;
     }},
    // Wine's search handles are pointers: a second FindClose succeeds.
    {"FindClose", "a closed search", ERROR_INVALID_HANDLE, [] { return FindClose(closed_search) == FALSE; },
     untouched},
    // Wine leaves internal codes behind GetDriveTypeA, which sets none.
    {"GetDriveTypeA", "drive Z:", untouched, [] { return GetDriveTypeA("Z:\\") == DRIVE_FIXED; }, 234},
    {"GetDriveTypeA", "a drive without a root", untouched, [] { return GetDriveTypeA("Q:\\") == DRIVE_NO_ROOT_DIR; },
     433},
    {"CreateDirectoryA", "success", untouched, [] { return CreateDirectoryA("made", nullptr) != FALSE; }},
    {"CreateDirectoryA", "an existing folder", ERROR_ALREADY_EXISTS,
     [] { return CreateDirectoryA("folder", nullptr) == FALSE; }},
    {"CreateDirectoryA", "an existing file", ERROR_ALREADY_EXISTS,
     [] { return CreateDirectoryA("ten.txt", nullptr) == FALSE; }},
    {"CreateDirectoryA", "a missing parent", ERROR_PATH_NOT_FOUND,
     [] { return CreateDirectoryA("missing\\made", nullptr) == FALSE; }},
    {"GetFileAttributesA", "success", untouched,
     [] { return GetFileAttributesA("folder") == FILE_ATTRIBUTE_DIRECTORY; }},
    {"GetFileAttributesA", "a missing file", ERROR_FILE_NOT_FOUND,
     [] { return GetFileAttributesA("missing.txt") == INVALID_FILE_ATTRIBUTES; }},
    {"GetFileAttributesA", "a missing folder", ERROR_PATH_NOT_FOUND,
     [] { return GetFileAttributesA("missing\\x.txt") == INVALID_FILE_ATTRIBUTES; }},

    // Classes.
    {"RegisterClassA", "success", untouched, [] { return registers("LastErrorFresh"); }},
    {"RegisterClassA", "a class already registered", ERROR_CLASS_ALREADY_EXISTS,
     [] { return !registers(window_class); }},
    {"UnregisterClassA", "success", untouched,
     [] { return registers("LastErrorGone"), mark(), UnregisterClassA("LastErrorGone", nullptr) != FALSE; }},
    {"UnregisterClassA", "a class nobody registered", ERROR_CLASS_DOES_NOT_EXIST,
     [] { return UnregisterClassA(unused_class, nullptr) == FALSE; }},
    {"UnregisterClassA", "a class with windows", ERROR_CLASS_HAS_WINDOWS,
     [] { return UnregisterClassA(window_class, nullptr) == FALSE; }},
    {"GetClassNameA", "success", untouched, [] { return GetClassNameA(world.button, text, sizeof text) == 6; }},
    {"GetClassNameA", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return GetClassNameA(world.dead, text, sizeof text) == 0; }},

    // Windows. Wine leaves codes of lookups inside behind some successes
    // (CreateWindowExA 1400, SetWindowTextA and SetFocus 0, BeginPaint 5);
    // the documentation names none, so none is set. A destroyed window is
    // ERROR_INVALID_WINDOW_HANDLE for every call that takes one, as on
    // Windows; Wine answers a few from its own table without it (noted).
    {"CreateWindowExA", "success", untouched,
     [] {
         HWND hwnd = make_window(window_class, nullptr, WS_OVERLAPPEDWINDOW);
         keep(hwnd != nullptr);
         DestroyWindow(hwnd);
         return hwnd != nullptr;
     },
     ERROR_INVALID_WINDOW_HANDLE},
    {"CreateWindowExA", "a class nobody registered", ERROR_CANNOT_FIND_WND_CLASS,
     [] { return make_window(unused_class, nullptr, WS_OVERLAPPEDWINDOW) == nullptr; }, ERROR_CLASS_DOES_NOT_EXIST},
    {"CreateWindowExA", "a destroyed parent", ERROR_INVALID_WINDOW_HANDLE,
     [] { return make_window(window_class, world.dead, WS_CHILD) == nullptr; }},
    {"CreateWindowExA", "a child without a parent", ERROR_TLW_WITH_WSCHILD,
     [] { return make_window(window_class, nullptr, WS_CHILD) == nullptr; }},
    {"DestroyWindow", "success", untouched,
     [] {
         HWND hwnd = make_window(window_class, nullptr, WS_OVERLAPPEDWINDOW);
         mark();
         return DestroyWindow(hwnd) != FALSE;
     }},
    {"DestroyWindow", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return DestroyWindow(world.dead) == FALSE; }, ERROR_ACCESS_DENIED},
    {"IsWindow", "a value that was never a window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return IsWindow(reinterpret_cast<HWND>(never_opened)) == FALSE; }},
    {"DestroyWindow", "a value that was never a window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return DestroyWindow(reinterpret_cast<HWND>(never_opened)) == FALSE; }, ERROR_ACCESS_DENIED},
    {"GetDlgItem", "a value that was never a window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return GetDlgItem(reinterpret_cast<HWND>(never_opened), button_id) == nullptr; }, untouched},
    {"IsWindow", "a live window", untouched, [] { return IsWindow(world.button) != FALSE; }},
    {"IsWindow", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE, [] { return IsWindow(world.dead) == FALSE; }, untouched},
    {"ShowWindow", "success", untouched, [] { return ShowWindow(world.top, SW_SHOW), IsWindowVisible(world.top) != FALSE; }},
    {"ShowWindow", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return ShowWindow(world.dead, SW_SHOW) == FALSE; }},
    {"UpdateWindow", "success", untouched, [] { return UpdateWindow(world.top) != FALSE; }},
    {"UpdateWindow", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return UpdateWindow(world.dead) == FALSE; }, ERROR_INVALID_WINDOW_HANDLE},
    {"MoveWindow", "success", untouched, [] { return MoveWindow(world.button, 5, 5, 80, 20, TRUE) != FALSE; }},
    {"MoveWindow", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return MoveWindow(world.dead, 5, 5, 80, 20, TRUE) == FALSE; }},
    {"AdjustWindowRect", "success", untouched,
     [] {
         RECT rect = {0, 0, 540, 300};
         return AdjustWindowRect(&rect, 0x10C80000, FALSE) != FALSE && rect.top == -22;
     }},
    {"GetWindowRect", "success", untouched, [] { return GetWindowRect(world.top, &small) != FALSE; }},
    {"GetWindowRect", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return GetWindowRect(world.dead, &small) == FALSE; }},
    {"GetClientRect", "success", untouched, [] { return GetClientRect(world.top, &small) != FALSE; }},
    {"GetClientRect", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return GetClientRect(world.dead, &small) == FALSE; }},
    {"ClientToScreen", "success", untouched, [] { return ClientToScreen(world.button, &point) != FALSE; }},
    {"ClientToScreen", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return ClientToScreen(world.dead, &point) == FALSE; }},
    {"ScreenToClient", "success", untouched, [] { return ScreenToClient(world.button, &point) != FALSE; }},
    {"ScreenToClient", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return ScreenToClient(world.dead, &point) == FALSE; }},
    {"GetSystemMetrics", "success", untouched, [] { return GetSystemMetrics(SM_CXSCREEN) > 0; }},
    {"GetParent", "a child", untouched, [] { return GetParent(world.button) == world.top; }},
    {"GetParent", "a top-level window", untouched, [] { return GetParent(world.top) == nullptr; }},
    {"GetParent", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE, [] { return GetParent(world.dead) == nullptr; }},
    {"GetAncestor", "success", untouched, [] { return GetAncestor(world.button, GA_PARENT) == world.top; }},
    {"GetAncestor", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return GetAncestor(world.dead, GA_PARENT) == nullptr; }},
    {"GetWindow", "success", untouched, [] { return GetWindow(world.top, GW_CHILD) == world.button; }},
    {"GetWindow", "no such window", untouched, [] { return GetWindow(world.button, GW_CHILD) == nullptr; }},
    {"GetWindow", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return GetWindow(world.dead, GW_CHILD) == nullptr; }},
    {"FindWindowA", "success", untouched, [] { return FindWindowA(window_class, "Row") == world.top; }},
    {"FindWindowA", "a class nobody registered", ERROR_CANNOT_FIND_WND_CLASS,
     [] { return FindWindowA(unused_class, nullptr) == nullptr; }},
    {"FindWindowA", "no window of that title", ERROR_CANNOT_FIND_WND_CLASS,
     [] { return FindWindowA(window_class, "Nobody has this title") == nullptr; }},
    {"GetDlgCtrlID", "success", untouched, [] { return GetDlgCtrlID(world.button) == button_id; }},
    {"GetDlgCtrlID", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE, [] { return GetDlgCtrlID(world.dead) == 0; }},
    {"GetDlgItem", "success", untouched, [] { return GetDlgItem(world.top, button_id) == world.button; }},
    {"GetDlgItem", "an unknown id", untouched, [] { return GetDlgItem(world.top, 4321) == nullptr; }},
    {"GetDlgItem", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return GetDlgItem(world.dead, button_id) == nullptr; }, untouched},
    {"SetWindowTextA", "success", untouched, [] { return SetWindowTextA(world.button, "Axes") != FALSE; }, 0},
    {"SetWindowTextA", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return SetWindowTextA(world.dead, "Axes") == FALSE; }},
    {"GetWindowTextA", "success", untouched, [] { return GetWindowTextA(world.top, text, sizeof text) == 3; }},
    {"GetWindowTextA", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return GetWindowTextA(world.dead, text, sizeof text) == 0; }, untouched},
    {"GetWindowTextLengthA", "success", untouched, [] { return GetWindowTextLengthA(world.top) == 3; }},
    {"GetWindowTextLengthA", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return GetWindowTextLengthA(world.dead) == 0; }},
    {"GetWindowLongA", "success", untouched,
     [] { return (GetWindowLongA(world.top, GWL_STYLE) & WS_CAPTION) == WS_CAPTION; }},
    {"GetWindowLongA", "an unknown index", ERROR_INVALID_INDEX, [] { return GetWindowLongA(world.top, 4096) == 0; }},
    {"GetWindowLongA", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return GetWindowLongA(world.dead, GWL_STYLE) == 0; }},
    {"SetWindowLongA", "success", untouched,
     [] {
         LONG style = GetWindowLongA(world.button, GWL_STYLE);
         mark();
         return SetWindowLongA(world.button, GWL_STYLE, style) == style;
     }},
    {"SetWindowLongA", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return SetWindowLongA(world.dead, GWL_STYLE, 0) == 0; }},
    {"GetWindowLongPtrA", "success", untouched, [] { return GetWindowLongPtrA(world.button, GWLP_ID) == button_id; }},
    {"GetWindowLongPtrA", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return GetWindowLongPtrA(world.dead, GWLP_ID) == 0; }},
    {"SetWindowLongPtrA", "success", untouched,
     [] { return SetWindowLongPtrA(world.button, GWLP_ID, button_id) == button_id; }},
    {"SetWindowLongPtrA", "an unknown index", ERROR_INVALID_INDEX,
     [] { return SetWindowLongPtrA(world.top, 4096, 1) == 0; }},
    {"SetWindowLongPtrA", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return SetWindowLongPtrA(world.dead, GWLP_ID, 1) == 0; }},
    {"EnumWindows", "success", untouched, [] { return EnumWindows(keep_going, 0) != FALSE; }},
    {"EnumChildWindows", "success", untouched, [] { return EnumChildWindows(world.top, keep_going, 0) != FALSE; }},
    {"GetWindowThreadProcessId", "success", untouched,
     [] { return GetWindowThreadProcessId(world.top, &number) == GetCurrentThreadId(); }},
    {"GetWindowThreadProcessId", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return GetWindowThreadProcessId(world.dead, &number) == 0; }},
    {"CallWindowProcA", "success", untouched,
     [] { return CallWindowProcA(DefWindowProcA, world.top, WM_NULL, 0, 0) == 0; }},
    {"DefWindowProcA", "success", untouched, [] { return DefWindowProcA(world.top, WM_NULL, 0, 0) == 0; }},

    // Messages.
    {"PostMessageA", "success", untouched, [] { return PostMessageA(world.top, WM_NULL, 0, 0) != FALSE; }},
    {"PostMessageA", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return PostMessageA(world.dead, WM_NULL, 0, 0) == FALSE; }},
    {"GetMessageA", "success", untouched,
     [] {
         drain();
         PostMessageA(world.top, WM_USER, 0, 0);
         mark();
         return GetMessageA(&msg, nullptr, 0, 0) > 0 && msg.message == WM_USER;
     }},
    {"GetMessageA", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return GetMessageA(&msg, world.dead, 0, 0) == -1; }},
    {"PeekMessageA", "a message", untouched,
     [] {
         drain();
         PostMessageA(world.top, WM_USER, 0, 0);
         mark();
         return PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE;
     }},
    {"PeekMessageA", "no message", untouched,
     [] { return drain(), mark(), PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) == FALSE; }},
    {"SendMessageA", "success", untouched, [] { return SendMessageA(world.button, WM_GETTEXTLENGTH, 0, 0) == 4; }},
    {"SendMessageA", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE,
     [] { return SendMessageA(world.dead, WM_GETTEXTLENGTH, 0, 0) == 0; }},
    {"PostQuitMessage", "success", untouched, [] { return PostQuitMessage(0), keep(true), drain(), true; }},
    {"TranslateMessage", "success", untouched,
     [] {
         msg = {world.top, WM_KEYUP, VK_F4, 0, 0, {0, 0}};
         return TranslateMessage(&msg), true;
     }},
    {"DispatchMessageA", "success", untouched,
     [] {
         msg = {world.top, WM_NULL, 0, 0, 0, {0, 0}};
         return DispatchMessageA(&msg) == 0;
     }},
    {"GetKeyState", "success", untouched, [] { return (GetKeyState(VK_F4) & 0x8000) == 0; }},

    // Focus, activation and input state.
    {"SetFocus", "success", untouched, [] { return SetFocus(world.button), GetFocus() == world.button; }, 0},
    {"SetFocus", "a destroyed window", ERROR_INVALID_WINDOW_HANDLE, [] { return SetFocus(world.dead) == nullptr; }},
    {"GetFocus", "success", untouched, [] { return GetFocus(), true; }},
    {"SetActiveWindow", "success", untouched,
     [] { return SetActiveWindow(world.top), GetActiveWindow() == world.top; }},
    {"GetForegroundWindow", "success", untouched, [] { return GetForegroundWindow(), true; }},
    {"SetForegroundWindow", "success", untouched, [] { return SetForegroundWindow(world.top) != FALSE; }},
    {"IsChild", "a child", untouched, [] { return IsChild(world.top, world.button) != FALSE; }},
    {"IsChild", "not a child", untouched, [] { return IsChild(world.button, world.top) == FALSE; }},
    {"EnableWindow", "success", untouched,
     [] { return EnableWindow(world.button, TRUE), IsWindowEnabled(world.button) != FALSE; }, 0},
    {"IsWindowEnabled", "success", untouched, [] { return IsWindowEnabled(world.top) != FALSE; }, 0},
    {"IsWindowVisible", "success", untouched, [] { return IsWindowVisible(world.button) != FALSE; }},
    {"SetCapture", "success", untouched,
     [] { return SetCapture(world.top), keep(GetCapture() == world.top), ReleaseCapture(), kept == untouched; }},
    {"ReleaseCapture", "success", untouched,
     [] { return SetCapture(world.top), mark(), ReleaseCapture() != FALSE; }},

    // Accelerators and resources.
    {"CreateAcceleratorTableA", "success", untouched, [] { return CreateAcceleratorTableA(&f4, 1) != nullptr; }},
    {"CreateAcceleratorTableA", "no entries", ERROR_INVALID_PARAMETER,
     [] { return CreateAcceleratorTableA(&f4, 0) == nullptr; }},
    {"DestroyAcceleratorTable", "success", untouched,
     [] {
         HACCEL table = CreateAcceleratorTableA(&f4, 1);
         mark();
         return DestroyAcceleratorTable(table) != FALSE;
     }},
    {"DestroyAcceleratorTable", "a destroyed table", ERROR_INVALID_ACCEL_HANDLE,
     [] {
         HACCEL table = CreateAcceleratorTableA(&f4, 1);
         DestroyAcceleratorTable(table);
         mark();
         return DestroyAcceleratorTable(table) == FALSE;
     }, untouched},
    {"TranslateAcceleratorA", "a key of the table", untouched,
     [] {
         msg = {world.top, WM_KEYDOWN, VK_F4, 0, 0, {0, 0}};
         return TranslateAcceleratorA(world.top, world.accelerators, &msg) != 0;
     }},
    {"TranslateAcceleratorA", "a key not in the table", untouched,
     [] {
         msg = {world.top, WM_KEYDOWN, 0x74, 0, 0, {0, 0}};  // F5
         return TranslateAcceleratorA(world.top, world.accelerators, &msg) == 0;
     }},
    {"LoadIconA", "IDI_APPLICATION", untouched, [] { return LoadIconA(nullptr, IDI_APPLICATION) != nullptr; }},
    {"LoadCursorA", "IDC_ARROW", untouched, [] { return LoadCursorA(nullptr, IDC_ARROW) != nullptr; }},
    {"wvsprintfA", "success", untouched, [] { return format(text, "w%d", 7) == 2; }},
    {"wsprintfA", "success", untouched, [] { return wsprintfA(text, "w%d", 7) == 2; }},
    {"InitCommonControls", "success", untouched, [] { return InitCommonControls(), true; }},

    // GDI.
    {"GetStockObject", "success", untouched, [] { return GetStockObject(DEFAULT_GUI_FONT) != nullptr; }},
    {"CreateSolidBrush", "success", untouched, [] { return CreateSolidBrush(RGB(1, 2, 3)) != nullptr; }},
    {"CreatePen", "success", untouched, [] { return CreatePen(PS_SOLID, 1, RGB(1, 2, 3)) != nullptr; }},
    {"DeleteObject", "success", untouched,
     [] {
         HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
         mark();
         return DeleteObject(brush) != FALSE;
     }},
    {"SelectObject", "success", untouched,
     [] { return SelectObject(world.dc, GetStockObject(DEFAULT_GUI_FONT)) != nullptr; }},
    {"GetSysColor", "success", untouched, [] { return GetSysColor(COLOR_BTNFACE) != 0; }},
    {"GetSysColorBrush", "success", untouched, [] { return GetSysColorBrush(COLOR_BTNFACE) != nullptr; }},
    {"GetDC", "success", untouched,
     [] {
         HDC dc = GetDC(world.button);
         keep(dc != nullptr);
         ReleaseDC(world.button, dc);
         return dc != nullptr;
     }},
    {"ReleaseDC", "success", untouched,
     [] {
         HDC dc = GetDC(world.button);
         mark();
         return ReleaseDC(world.button, dc) == 1;
     }},
    {"BeginPaint", "success", untouched,
     [] {
         PAINTSTRUCT paint;
         InvalidateRect(world.button, nullptr, TRUE);
         mark();
         bool painting = keep(BeginPaint(world.button, &paint) != nullptr);
         EndPaint(world.button, &paint);
         return painting;
     }, ERROR_ACCESS_DENIED},
    {"EndPaint", "success", untouched,
     [] {
         PAINTSTRUCT paint;
         BeginPaint(world.button, &paint);
         mark();
         return EndPaint(world.button, &paint) != FALSE;
     }, ERROR_ACCESS_DENIED},
    {"InvalidateRect", "success", untouched, [] { return InvalidateRect(world.button, nullptr, TRUE) != FALSE; }},
    {"ValidateRect", "success", untouched, [] { return ValidateRect(world.button, nullptr) != FALSE; }},
    {"FillRect", "success", untouched, [] { return FillRect(world.dc, &small, world.brush) != 0; }},
    {"DrawEdge", "success", untouched, [] { return DrawEdge(world.dc, &small, EDGE_RAISED, BF_RECT) != FALSE; }},
    {"DrawFocusRect", "success", untouched, [] { return DrawFocusRect(world.dc, &small) != FALSE; }},
    {"DrawTextA", "success", untouched, [] { return DrawTextA(world.dc, "Axes", -1, &small, DT_LEFT) > 0; }},
    {"TextOutA", "success", untouched, [] { return TextOutA(world.dc, 0, 0, "Axes", 4) != FALSE; }},
    {"GetTextMetricsA", "success", untouched,
     [] {
         TEXTMETRICA metrics;
         return GetTextMetricsA(world.dc, &metrics) != FALSE;
     }},
    {"SetTextColor", "success", untouched, [] { return SetTextColor(world.dc, RGB(0, 0, 0)) != CLR_INVALID; }},
    {"SetBkColor", "success", untouched, [] { return SetBkColor(world.dc, RGB(255, 255, 255)) != CLR_INVALID; }},
    {"SetBkMode", "success", untouched, [] { return SetBkMode(world.dc, OPAQUE) != 0; }},
    {"SetPixel", "success", untouched, [] { return SetPixel(world.dc, 1, 1, RGB(0, 0, 0)) != CLR_INVALID; }},
    {"MoveToEx", "success", untouched, [] { return MoveToEx(world.dc, 1, 1, nullptr) != FALSE; }},
    {"LineTo", "success", untouched, [] { return LineTo(world.dc, 5, 5) != FALSE; }},
};

}  // namespace

Outcome run_row(const Row& row) {
    mark();
    bool path_taken = row.run();
    DWORD error = kept_valid ? kept : GetLastError();
    drain();
    return Outcome{path_taken, error};
}

bool set_up() {
    CreateDirectoryA("folder", nullptr);
    bool files = write_file("ten.txt", "0123456789", FILE_ATTRIBUTE_NORMAL) &&
                 write_file("folder\\inner.txt", "inner", FILE_ATTRIBUTE_NORMAL) &&
                 write_file("readonly.txt", "kept", FILE_ATTRIBUTE_READONLY);
    for (const char* name : {"scratch1.txt", "scratch2.txt", "scratch3.txt", "scratch4.txt", "scratch5.txt"}) {
        files = files && write_file(name, "scratch", FILE_ATTRIBUTE_NORMAL);
    }
    DWORD shared = FILE_SHARE_READ | FILE_SHARE_WRITE;
    world.reader = open_as("ten.txt", GENERIC_READ, shared, OPEN_EXISTING);
    world.writer = open_as("scratch4.txt", GENERIC_WRITE, shared, OPEN_EXISTING);
    WIN32_FIND_DATAA found;
    world.search = FindFirstFileA("folder\\*", &found);
    closed_search = FindFirstFileA("folder\\*", &found);
    FindClose(closed_search);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1));
    wc.lpszClassName = window_class;
    RegisterClassA(&wc);
    world.top = make_window(window_class, nullptr, 0x10C80000);
    world.button =
        CreateWindowExA(0, "BUTTON", "Axes", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 5, 5, 80, 20, world.top,
                        reinterpret_cast<HMENU>(static_cast<intptr_t>(button_id)), nullptr, nullptr);
    world.dead = make_window(window_class, nullptr, WS_OVERLAPPEDWINDOW);
    DestroyWindow(world.dead);
    world.dc = GetDC(world.top);
    world.brush = CreateSolidBrush(RGB(10, 20, 30));
    world.heap = HeapCreate(0, 0, 0);
    world.fixed_heap = HeapCreate(0, 4096, 64 * 1024);
    world.accelerators = CreateAcceleratorTableA(&f4, 1);
    drain();
    return files && world.reader != INVALID_HANDLE_VALUE && world.writer != INVALID_HANDLE_VALUE &&
           world.search != INVALID_HANDLE_VALUE && world.top != nullptr && world.button != nullptr &&
           world.dc != nullptr && world.heap != nullptr && world.fixed_heap != nullptr && world.accelerators != nullptr;
}

void tear_down() {
    DestroyAcceleratorTable(world.accelerators);
    HeapDestroy(world.fixed_heap);
    HeapDestroy(world.heap);
    DeleteObject(world.brush);
    ReleaseDC(world.top, world.dc);
    DestroyWindow(world.top);
    UnregisterClassA(window_class, nullptr);
    UnregisterClassA("LastErrorFresh", nullptr);
    FindClose(world.search);
    CloseHandle(world.reader);
    CloseHandle(world.writer);
    drain();
}

const Row* rows() {
    return table;
}

size_t row_count() {
    return sizeof table / sizeof table[0];
}

}  // namespace last_error
