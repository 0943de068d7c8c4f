#include "unit/ui/ui_fixture.h"

#include "platform/posix/user/desktop.h"
#include "support/player.h"

namespace {

LRESULT CALLBACK probe_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void UiTest::SetUp() {
    player::install();
    main_heap = HeapCreate(0, 4000, 0);
    init_node_heap();
    init_window_runtime();
    init_controls();
    init_common_controls();
}

void UiTest::TearDown() {
    // A key still to be released may go to no window at all: nothing to wait for.
    player::clear_script();
    for (HWND probe : probes_) {
        DestroyWindow(probe);
    }
    close_all_windows();
    drain_events();
    // Key toggles, clicks and classes would outlive the test otherwise.
    user::drop_desktop();
    destroy_node_heap();
    HeapDestroy(main_heap);
    main_heap = nullptr;
}

HWND UiTest::make_probe(const char* class_name, DWORD style, HWND parent, intptr_t id) {
    WNDCLASSA description = {};
    description.lpfnWndProc = probe_procedure;
    description.hInstance = GetModuleHandleA(nullptr);
    description.lpszClassName = class_name;
    RegisterClassA(&description);
    HWND window = CreateWindowExA(0, class_name, "", style, 0, 0, 50, 20, parent, reinterpret_cast<HMENU>(id),
                                  GetModuleHandleA(nullptr), nullptr);
    probes_.push_back(window);
    return window;
}

HWND UiTest::open_main_window() {
    return reinterpret_cast<HWND>(open_window(0, 422, 492, 540, 300, 0xC80000, "Sorvane"));
}

std::string UiTest::class_of(HWND window) {
    char name[CLASS_NAME_SIZE] = {0};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::vector<int32_t> UiTest::drain_events() {
    std::vector<int32_t> codes;
    MSG waiting;
    // A message that comes back forever (an unvalidated paint) ends the drain.
    while (codes.size() < 1000 && (player::steps_left() > 0 || PeekMessageA(&waiting, nullptr, 0, 0, PM_NOREMOVE))) {
        codes.push_back(wait_event());
    }
    EXPECT_LT(codes.size(), 1000u);
    return codes;
}
