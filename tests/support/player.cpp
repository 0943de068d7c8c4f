// The scripted player: steps, their input, and what it saw.
#include "support/player.h"

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <deque>

#include "platform/posix/gdi/device_scale.h"

namespace player {

namespace {

enum class StepKind { Click, DeviceClick, Touch, DeviceTouch, KeyDown, KeyUp, Type, Close, Call };

struct Step {
    explicit Step(StepKind k, std::string t = "") : kind(k), title(std::move(t)) {}
    StepKind kind;
    std::string title;
    HWND window = nullptr;
    int x = 0, y = 0;
    int vk = 0;
    unsigned modifiers = 0;
    display::TouchEvent touch = display::TouchEvent::Down;
    int touch_id = 0;
    std::function<void()> call;
};

struct State {
    std::deque<Step> script;
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

// The message box's class and the id of its text, as the platform has them.
constexpr const char* message_box_class = "#32770";
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

display::Input make(display::InputKind kind, HWND top) {
    display::Input input;
    input.kind = kind;
    input.surface = reinterpret_cast<display::SurfaceId>(top);
    state().clock += 10;
    input.time = state().clock;
    return input;
}

void key_input(display::InputKind kind, int vk) {
    display::Input input = make(kind, GetActiveWindow());
    input.vk = vk;
    display::headless::push_input(input);
}

// A move, a press and a release at a device pixel of the top-level surface.
void press_at(HWND top, int device_x, int device_y) {
    for (display::InputKind kind :
         {display::InputKind::MouseMove, display::InputKind::ButtonDown, display::InputKind::ButtonUp}) {
        display::Input input = make(kind, top);
        input.x = device_x;
        input.y = device_y;
        input.button = kind == display::InputKind::MouseMove ? 0 : display::ButtonLeft;
        display::headless::push_input(input);
    }
}

// The display takes device pixels: a logical point is the first device
// pixel of its span.
POINT device_point(const Step& step, HWND* top) {
    HWND target = resolve(step);
    *top = GetAncestor(target, GA_ROOT);
    POINT p{step.x, step.y};
    ClientToScreen(target, &p);
    ScreenToClient(*top, &p);
    const int quarters = display::headless::backend().device_quarters(0);
    return POINT{gdi::to_device(p.x, quarters), gdi::to_device(p.y, quarters)};
}

void click_input(const Step& step) {
    HWND top = nullptr;
    POINT p = device_point(step, &top);
    press_at(top, p.x, p.y);
}

// Up and cancel name no window: the point's own is the display's to know.
void touch_input(const Step& step, bool device) {
    display::TouchPoint point;
    point.event = step.touch;
    point.id = step.touch_id;
    if (step.touch == display::TouchEvent::Down || step.touch == display::TouchEvent::Motion) {
        HWND top = device ? GetAncestor(resolve(step), GA_ROOT) : nullptr;
        POINT p = device ? POINT{step.x, step.y} : device_point(step, &top);
        point.surface = reinterpret_cast<display::SurfaceId>(top);
        point.x = p.x;
        point.y = p.y;
    }
    point.time = state().clock;
    display::headless::push_touch(point);
}

void typing_input(const Step& step) {
    const int modifier_keys[] = {VK_SHIFT, VK_CONTROL, VK_MENU};
    for (int i = 0; i < 3; ++i) {
        if (step.modifiers & (1u << i)) {
            key_input(display::InputKind::KeyDown, modifier_keys[i]);
        }
    }
    key_input(display::InputKind::KeyDown, step.vk);
    key_input(display::InputKind::KeyUp, step.vk);
    for (int i = 2; i >= 0; --i) {
        if (step.modifiers & (1u << i)) {
            key_input(display::InputKind::KeyUp, modifier_keys[i]);
        }
    }
}

void run(const Step& step) {
    State& s = state();
    // Steps are far apart in time, so two clicks never make a double click.
    s.clock += 1000;
    switch (step.kind) {
        case StepKind::Click:
            click_input(step);
            break;
        case StepKind::DeviceClick:
            press_at(GetAncestor(resolve(step), GA_ROOT), step.x, step.y);
            break;
        case StepKind::Touch:
        case StepKind::DeviceTouch:
            touch_input(step, step.kind == StepKind::DeviceTouch);
            break;
        case StepKind::KeyDown:
            key_input(display::InputKind::KeyDown, step.vk);
            break;
        case StepKind::KeyUp:
            key_input(display::InputKind::KeyUp, step.vk);
            break;
        case StepKind::Type:
            typing_input(step);
            break;
        case StepKind::Close:
            display::headless::push_input(make(display::InputKind::CloseRequest, GetAncestor(resolve(step), GA_ROOT)));
            break;
        case StepKind::Call:
            s.in_call = true;
            s.insert_at = 0;
            step.call();
            s.in_call = false;
            break;
    }
}

// The display's input source: one step each time the program waits. A step
// that makes no input (a call) lets the program handle what the step posted
// before the next step runs.
void next_step() {
    State& s = state();
    if (s.script.empty()) {
        fail("the script ran out while the program waits for input", "");
    }
    Step step = std::move(s.script.front());
    s.script.pop_front();
    run(step);
}

void surface_shown(display::SurfaceId surface) {
    HWND hwnd = reinterpret_cast<HWND>(surface);
    std::string title = window_text(hwnd);
    state().shown.push_back(title);
    write_record("window\t" + title);
    HWND text = GetDlgItem(hwnd, message_box_text_id);
    if (class_name(hwnd) == message_box_class && text != nullptr) {
        MessageBoxSeen box{title, window_text(text)};
        state().boxes.push_back(box);
        write_record("message box\t" + box.caption + "\t" + box.text);
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

// A click of either kind at (x, y) of the window named by its handle or title.
void add_click(StepKind kind, std::string title, HWND window, int x, int y) {
    Step step(kind, std::move(title));
    step.window = window;
    step.x = x;
    step.y = y;
    add(std::move(step));
}

void add_touch(StepKind kind, display::TouchEvent event, HWND window, int x, int y, int id) {
    Step step(kind, "");
    step.window = window;
    step.x = x;
    step.y = y;
    step.touch = event;
    step.touch_id = id;
    add(std::move(step));
}

}  // namespace

void install() {
    State& s = state();
    s.script.clear();
    s.boxes.clear();
    s.answered.clear();
    s.shown.clear();
    display::headless::install();
    display::headless::set_input_source(next_step);
    display::headless::set_shown_notification(surface_shown);
}

void click(const char* title, int x, int y) {
    add_click(StepKind::Click, title != nullptr ? title : "", nullptr, x, y);
}

void click(HWND window, int x, int y) {
    add_click(StepKind::Click, "", window, x, y);
}

void click_device(HWND top, int device_x, int device_y) {
    add_click(StepKind::DeviceClick, "", top, device_x, device_y);
}

void touch_down(HWND window, int x, int y, int id) {
    add_touch(StepKind::Touch, display::TouchEvent::Down, window, x, y, id);
}

void touch_device_down(HWND top, int device_x, int device_y, int id) {
    add_touch(StepKind::DeviceTouch, display::TouchEvent::Down, top, device_x, device_y, id);
}

void touch_move(HWND window, int x, int y, int id) {
    add_touch(StepKind::Touch, display::TouchEvent::Motion, window, x, y, id);
}

void touch_up(int id) {
    add_touch(StepKind::Touch, display::TouchEvent::Up, nullptr, 0, 0, id);
}

void touch_cancel() {
    add_touch(StepKind::Touch, display::TouchEvent::Cancel, nullptr, 0, 0, 0);
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
        HWND box = FindWindowA(message_box_class, nullptr);
        if (box == nullptr) {
            fail("the script answers a message box, but none is up", "");
        }
        HWND text = GetDlgItem(box, message_box_text_id);
        state().answered.push_back(MessageBoxSeen{window_text(box), text != nullptr ? window_text(text) : ""});
        type_key(VK_RETURN);
    });
}

size_t steps_left() {
    return state().script.size() + display::headless::inputs_waiting();
}

void clear_script() {
    state().script.clear();
    display::headless::clear_inputs();
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

bool save_bmp(HWND window, const char* path) {
    return display::headless::save_bmp(reinterpret_cast<display::SurfaceId>(window), path);
}

}  // namespace player
