// The headless backend and its scripted player.
#include "platform/posix/display/headless.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <deque>
#include <map>

namespace display::headless {

namespace {

struct Surface {
    std::string title;
    int x = 0, y = 0, width = 0, height = 0;
    bool visible = false;
    std::vector<uint32_t> pixels;
};

enum class StepKind { Click, KeyDown, KeyUp, Type, Close, Call };

struct Step {
    explicit Step(StepKind k, std::string t = "") : kind(k), title(std::move(t)) {}
    StepKind kind;
    std::string title;
    HWND window = nullptr;
    int x = 0, y = 0;
    int vk = 0;
    unsigned modifiers = 0;
    std::function<void()> call;
};

struct State {
    std::map<SurfaceId, Surface> surfaces;
    std::deque<Step> script;
    std::deque<Input> pending;
    bool in_call = false;
    size_t insert_at = 0;  // where a running call step adds its steps
    uint32_t clock = 1000;
    std::vector<MessageBoxSeen> boxes;
    std::vector<MessageBoxSeen> answered;
    std::vector<std::string> shown;
    int record_fd = -1;
};

State& state() {
    static State s;
    return s;
}

constexpr int message_box_text_id = 0xFFFF;

void write_record(const std::string& line) {
    int fd = state().record_fd;
    if (fd < 0) {
        return;
    }
    std::string text = line + "\n";
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n <= 0) {
            return;
        }
        done += static_cast<size_t>(n);
    }
}

std::string window_text(HWND hwnd) {
    char buffer[1024];
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

std::string class_name(HWND hwnd) {
    char buffer[256];
    if (GetClassNameA(hwnd, buffer, sizeof buffer) == 0) {
        return "";
    }
    return buffer;
}

BOOL CALLBACK describe_window(HWND hwnd, LPARAM) {
    fprintf(stderr, "  %p class \"%s\" title \"%s\"%s%s\n", static_cast<void*>(hwnd), class_name(hwnd).c_str(),
            window_text(hwnd).c_str(), IsWindowVisible(hwnd) ? "" : " hidden",
            IsWindowEnabled(hwnd) ? "" : " disabled");
    return TRUE;
}

[[noreturn]] void fail(const char* what, const std::string& detail) {
    fprintf(stderr, "headless player: %s%s\n", what, detail.c_str());
    fprintf(stderr, "top-level windows:\n");
    EnumWindows(describe_window, 0);
    fflush(stderr);
    _Exit(script_ran_out_status);
}

HWND resolve(const Step& step) {
    if (step.window != nullptr) {
        if (!IsWindow(step.window)) {
            fail("the script names a window that does not exist: ", "");
        }
        return step.window;
    }
    HWND hwnd = FindWindowA(nullptr, step.title.c_str());
    if (hwnd == nullptr) {
        fail("the script names a window that does not exist: ", "\"" + step.title + "\"");
    }
    return hwnd;
}

Input make(InputKind kind, SurfaceId surface) {
    Input input;
    input.kind = kind;
    input.surface = surface;
    state().clock += 10;
    input.time = state().clock;
    return input;
}

void key_input(InputKind kind, int vk) {
    Input input = make(kind, reinterpret_cast<SurfaceId>(GetActiveWindow()));
    input.vk = vk;
    state().pending.push_back(input);
}

void expand(const Step& step) {
    State& s = state();
    // Steps are far apart in time, so two clicks never make a double click.
    s.clock += 1000;
    switch (step.kind) {
        case StepKind::Click: {
            HWND target = resolve(step);
            HWND top = GetAncestor(target, GA_ROOT);
            POINT p{step.x, step.y};
            ClientToScreen(target, &p);
            ScreenToClient(top, &p);
            SurfaceId surface = reinterpret_cast<SurfaceId>(top);
            for (InputKind kind : {InputKind::MouseMove, InputKind::ButtonDown, InputKind::ButtonUp}) {
                Input input = make(kind, surface);
                input.x = p.x;
                input.y = p.y;
                input.button = kind == InputKind::MouseMove ? 0 : ButtonLeft;
                s.pending.push_back(input);
            }
            break;
        }
        case StepKind::KeyDown:
            key_input(InputKind::KeyDown, step.vk);
            break;
        case StepKind::KeyUp:
            key_input(InputKind::KeyUp, step.vk);
            break;
        case StepKind::Type: {
            const int modifier_keys[] = {VK_SHIFT, VK_CONTROL, VK_MENU};
            for (int i = 0; i < 3; ++i) {
                if (step.modifiers & (1u << i)) {
                    key_input(InputKind::KeyDown, modifier_keys[i]);
                }
            }
            key_input(InputKind::KeyDown, step.vk);
            key_input(InputKind::KeyUp, step.vk);
            for (int i = 2; i >= 0; --i) {
                if (step.modifiers & (1u << i)) {
                    key_input(InputKind::KeyUp, modifier_keys[i]);
                }
            }
            break;
        }
        case StepKind::Close: {
            HWND top = GetAncestor(resolve(step), GA_ROOT);
            s.pending.push_back(make(InputKind::CloseRequest, reinterpret_cast<SurfaceId>(top)));
            break;
        }
        case StepKind::Call:
            s.in_call = true;
            s.insert_at = 0;
            step.call();
            s.in_call = false;
            break;
    }
}

void add(Step step) {
    State& s = state();
    if (s.in_call) {
        s.script.insert(s.script.begin() + static_cast<long>(s.insert_at), std::move(step));
        s.insert_at++;
    } else {
        s.script.push_back(std::move(step));
    }
}

// Backend hooks.

void screen_size(int* width, int* height) {
    *width = screen_width;
    *height = screen_height;
}

bool create_surface(SurfaceId id, const char* title, int x, int y, int width, int height, bool) {
    Surface surface;
    surface.title = title != nullptr ? title : "";
    surface.x = x;
    surface.y = y;
    surface.width = width;
    surface.height = height;
    surface.pixels.assign(static_cast<size_t>(width > 0 ? width : 0) * (height > 0 ? height : 0), 0);
    state().surfaces[id] = surface;
    return true;
}

void destroy_surface(SurfaceId id) {
    state().surfaces.erase(id);
}

void show_surface(SurfaceId id, bool visible) {
    auto it = state().surfaces.find(id);
    if (it == state().surfaces.end()) {
        return;
    }
    bool was_visible = it->second.visible;
    it->second.visible = visible;
    if (!visible || was_visible) {
        return;
    }
    HWND hwnd = reinterpret_cast<HWND>(id);
    std::string title = window_text(hwnd);
    state().shown.push_back(title);
    write_record("window\t" + title);
    HWND text = GetDlgItem(hwnd, message_box_text_id);
    if (class_name(hwnd) == "#32770" && text != nullptr) {
        MessageBoxSeen box{title, window_text(text)};
        state().boxes.push_back(box);
        write_record("message box\t" + box.caption + "\t" + box.text);
    }
}

void move_surface(SurfaceId id, int x, int y, int width, int height) {
    auto it = state().surfaces.find(id);
    if (it == state().surfaces.end()) {
        return;
    }
    Surface& s = it->second;
    s.x = x;
    s.y = y;
    if (width != s.width || height != s.height) {
        s.width = width;
        s.height = height;
        s.pixels.assign(static_cast<size_t>(width > 0 ? width : 0) * (height > 0 ? height : 0), 0);
    }
}

void set_title(SurfaceId id, const char* title) {
    auto it = state().surfaces.find(id);
    if (it != state().surfaces.end()) {
        it->second.title = title != nullptr ? title : "";
    }
}

void present(SurfaceId id, const Frame& frame, int x, int y, int width, int height) {
    auto it = state().surfaces.find(id);
    if (it == state().surfaces.end()) {
        return;
    }
    Surface& s = it->second;
    for (int row = y; row < y + height; ++row) {
        if (row < 0 || row >= s.height || row >= frame.height) {
            continue;
        }
        for (int col = x; col < x + width; ++col) {
            if (col < 0 || col >= s.width || col >= frame.width) {
                continue;
            }
            s.pixels[static_cast<size_t>(row) * s.width + col] =
                frame.pixels[static_cast<size_t>(row) * frame.stride + col];
        }
    }
}

bool next_input(Input* input) {
    State& s = state();
    for (;;) {
        if (!s.pending.empty()) {
            *input = s.pending.front();
            s.pending.pop_front();
            return true;
        }
        if (s.script.empty()) {
            fail("the script ran out while the program waits for input", "");
        }
        Step step = std::move(s.script.front());
        s.script.pop_front();
        expand(step);
    }
}

const Backend headless_backend = {
    "headless",   screen_size, create_surface, destroy_surface, show_surface,
    move_surface, set_title,   nullptr,        present,         next_input,
};

}  // namespace

void install() {
    State& s = state();
    s.script.clear();
    s.pending.clear();
    s.boxes.clear();
    s.answered.clear();
    s.shown.clear();
    display::install(&headless_backend);
}

const Backend& backend() {
    return headless_backend;
}

void click(const char* title, int x, int y) {
    Step step(StepKind::Click, title != nullptr ? title : "");
    step.x = x;
    step.y = y;
    add(std::move(step));
}

void click(HWND window, int x, int y) {
    Step step(StepKind::Click, "");
    step.window = window;
    step.x = x;
    step.y = y;
    add(std::move(step));
}

void key_down(int vk) {
    Step step(StepKind::KeyDown, "");
    step.vk = vk;
    add(std::move(step));
}

void key_up(int vk) {
    Step step(StepKind::KeyUp, "");
    step.vk = vk;
    add(std::move(step));
}

void type_key(int vk, unsigned modifiers) {
    Step step(StepKind::Type, "");
    step.vk = vk;
    step.modifiers = modifiers;
    add(std::move(step));
}

void close_window(const char* title) {
    add(Step(StepKind::Close, title != nullptr ? title : ""));
}

void close_window(HWND window) {
    Step step(StepKind::Close, "");
    step.window = window;
    add(std::move(step));
}

void call(std::function<void()> step_function) {
    Step step(StepKind::Call, "");
    step.call = std::move(step_function);
    add(std::move(step));
}

void answer_message_box() {
    call([] {
        HWND box = FindWindowA("#32770", nullptr);
        if (box == nullptr) {
            fail("the script answers a message box, but none is up", "");
        }
        HWND text = GetDlgItem(box, message_box_text_id);
        state().answered.push_back(MessageBoxSeen{window_text(box), text != nullptr ? window_text(text) : ""});
        type_key(VK_RETURN);
    });
}

size_t steps_left() {
    return state().script.size() + state().pending.size();
}

void clear_script() {
    state().script.clear();
    state().pending.clear();
}

const std::vector<MessageBoxSeen>& message_boxes() {
    return state().boxes;
}
const std::vector<MessageBoxSeen>& answered_boxes() {
    return state().answered;
}
const std::vector<std::string>& windows_shown() {
    return state().shown;
}

void record_to(int fd) {
    state().record_fd = fd;
}

bool pixels(SurfaceId surface, std::vector<uint32_t>* out, int* width, int* height) {
    auto it = state().surfaces.find(surface);
    if (it == state().surfaces.end()) {
        return false;
    }
    *out = it->second.pixels;
    *width = it->second.width;
    *height = it->second.height;
    return true;
}

bool save_bmp(SurfaceId surface, const char* path) {
    auto it = state().surfaces.find(surface);
    if (it == state().surfaces.end() || path == nullptr) {
        return false;
    }
    const Surface& s = it->second;
    int row_bytes = (s.width * 3 + 3) & ~3;
    uint32_t image_size = static_cast<uint32_t>(row_bytes) * static_cast<uint32_t>(s.height);
    unsigned char header[54] = {};
    auto put32 = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            header[at + i] = static_cast<unsigned char>(v >> (8 * i));
        }
    };
    header[0] = 'B';
    header[1] = 'M';
    put32(2, 54 + image_size);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(s.width));
    put32(22, static_cast<uint32_t>(s.height));
    header[26] = 1;
    header[28] = 24;
    put32(34, image_size);
    put32(38, 2835);
    put32(42, 2835);
    FILE* file = fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    bool ok = fwrite(header, 1, sizeof header, file) == sizeof header;
    std::vector<unsigned char> row(static_cast<size_t>(row_bytes), 0);
    for (int y = s.height - 1; ok && y >= 0; --y) {
        for (int x = 0; x < s.width; ++x) {
            uint32_t p = s.pixels[static_cast<size_t>(y) * s.width + x];
            row[x * 3 + 0] = static_cast<unsigned char>(p);
            row[x * 3 + 1] = static_cast<unsigned char>(p >> 8);
            row[x * 3 + 2] = static_cast<unsigned char>(p >> 16);
        }
        ok = fwrite(row.data(), 1, row.size(), file) == row.size();
    }
    return fclose(file) == 0 && ok;
}

bool save_bmp(HWND window, const char* path) {
    return save_bmp(reinterpret_cast<SurfaceId>(window), path);
}

}  // namespace display::headless
