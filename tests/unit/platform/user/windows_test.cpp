// Windows and classes of the window layer: message orders, handles,
// geometry, class rules, window longs and the window tree.
#include "tests/unit/platform/user/test_window.h"

namespace {

using namespace user_test;

class UserWindows : public UserTest {};

TEST_F(UserWindows, VisibleTopLevelWindowGetsTheCreationMessagesInOrderAndIsActiveWithFocus) {
    HWND hwnd = make_top();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(messages_of(hwnd, {WM_NCCREATE, WM_CREATE, WM_ACTIVATE, WM_SETFOCUS, WM_SIZE, WM_MOVE}),
              (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_ACTIVATE, WM_SETFOCUS, WM_SIZE, WM_MOVE}));
    EXPECT_EQ(GetActiveWindow(), hwnd);
    EXPECT_EQ(GetForegroundWindow(), hwnd);
    EXPECT_EQ(GetFocus(), hwnd);
    // WM_SIZE carries the client size, WM_MOVE the client origin.
    for (const Received& r : received()) {
        if (r.hwnd == hwnd && r.message == WM_SIZE) {
            EXPECT_EQ(r.lparam, MAKELPARAM(540, 300));
        }
        if (r.hwnd == hwnd && r.message == WM_MOVE) {
            EXPECT_EQ(r.lparam, MAKELPARAM(425, 514));
        }
    }
    EXPECT_EQ(player::windows_shown().back(), "Test window");
}

TEST_F(UserWindows, HiddenWindowIsNeitherActiveNorSizedUntilShown) {
    HWND hwnd = make_top("Hidden", WS_CAPTION);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_NE(GetActiveWindow(), hwnd);
    EXPECT_TRUE(messages_of(hwnd, {WM_ACTIVATE, WM_SIZE}).empty());
    EXPECT_FALSE(ShowWindow(hwnd, SW_SHOW));
    EXPECT_EQ(GetActiveWindow(), hwnd);
    EXPECT_EQ(messages_of(hwnd, {WM_ACTIVATE, WM_SETFOCUS, WM_SIZE, WM_MOVE}),
              (std::vector<UINT>{WM_ACTIVATE, WM_SETFOCUS, WM_SIZE, WM_MOVE}));
}

TEST_F(UserWindows, DestroyWindowSendsDestroyParentFirstThenFinalMessagesParentLast) {
    HWND parent = make_top();
    HWND first = make_child(parent, recorder_class, "", 0, 0, 0, 10, 10, 1);
    HWND second = make_child(parent, recorder_class, "", 0, 20, 0, 10, 10, 2);
    HWND grandchild = make_child(first, recorder_class, "", 0, 0, 0, 5, 5, 3);
    received().clear();
    EXPECT_TRUE(DestroyWindow(parent));
    std::vector<std::pair<HWND, UINT>> order;
    for (const Received& r : received()) {
        if (r.message == WM_DESTROY || r.message == WM_NCDESTROY) {
            order.emplace_back(r.hwnd, r.message);
        }
    }
    std::vector<std::pair<HWND, UINT>> expected = {
        {parent, WM_DESTROY},       {first, WM_DESTROY},   {grandchild, WM_DESTROY}, {second, WM_DESTROY},
        {grandchild, WM_NCDESTROY}, {first, WM_NCDESTROY}, {second, WM_NCDESTROY},   {parent, WM_NCDESTROY},
    };
    EXPECT_EQ(order, expected);
    for (HWND h : {parent, first, second, grandchild}) {
        EXPECT_FALSE(IsWindow(h));
    }
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(UserWindows, StaleAndForeignHandlesFailQuietly) {
    HWND hwnd = make_top();
    DestroyWindow(hwnd);
    HWND again = make_top();  // may reuse the slot, never the handle
    EXPECT_NE(again, hwnd);
    const HWND bad[] = {hwnd, reinterpret_cast<HWND>(0x12345), reinterpret_cast<HWND>(1),
                        reinterpret_cast<HWND>(~uintptr_t(0))};
    for (HWND h : bad) {
        SetLastError(0);
        EXPECT_FALSE(IsWindow(h));
        EXPECT_EQ(SendMessageA(h, WM_USER, 0, 0), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
        EXPECT_FALSE(DestroyWindow(h));
        EXPECT_FALSE(ShowWindow(h, SW_SHOW));
        EXPECT_EQ(GetWindowLongPtrA(h, GWLP_ID), 0);
        EXPECT_FALSE(PostMessageA(h, WM_USER, 0, 0));
        RECT r;
        EXPECT_FALSE(GetWindowRect(h, &r));
        char name[16];
        EXPECT_EQ(GetClassNameA(h, name, sizeof name), 0);
        EXPECT_FALSE(EnableWindow(h, FALSE));
        EXPECT_EQ(SetFocus(h), nullptr);
        EXPECT_EQ(GetWindowThreadProcessId(h, nullptr), 0u);
    }
    EXPECT_TRUE(IsWindow(again));
}

TEST_F(UserWindows, ClassicMetricsGiveTheToolWindowItsRectangles) {
    RECT r{0, 0, 540, 300};
    ASSERT_TRUE(AdjustWindowRect(&r, 0x10C80000, FALSE));
    EXPECT_EQ(r.left, -3);
    EXPECT_EQ(r.top, -22);
    EXPECT_EQ(r.right, 543);
    EXPECT_EQ(r.bottom, 303);
    RECT sizing{0, 0, 100, 100};
    AdjustWindowRect(&sizing, WS_OVERLAPPEDWINDOW, FALSE);
    EXPECT_EQ(sizing.left, -4);
    EXPECT_EQ(sizing.top, -23);
    EXPECT_EQ(sizing.right, 104);

    HWND hwnd = make_top();
    RECT window;
    GetWindowRect(hwnd, &window);
    EXPECT_EQ(window.left, 422);
    EXPECT_EQ(window.top, 492);
    EXPECT_EQ(window.right, 968);
    EXPECT_EQ(window.bottom, 817);
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 540);
    EXPECT_EQ(client.bottom, 300);
    HWND child = make_child(hwnd, recorder_class, "", 0, 10, 20, 30, 40, 7);
    POINT p{1, 2};
    ClientToScreen(child, &p);
    EXPECT_EQ(p.x, 425 + 10 + 1);
    EXPECT_EQ(p.y, 514 + 20 + 2);
    ScreenToClient(hwnd, &p);
    EXPECT_EQ(p.x, 11);
    EXPECT_EQ(p.y, 22);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
}

TEST_F(UserWindows, ClassRegistrationRules) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "WindowClass_0";
    ASSERT_NE(RegisterClassA(&wc), 0);
    wc.lpszClassName = "windowclass_0";
    SetLastError(0);
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));

    HWND hwnd = CreateWindowExA(0, "WINDOWCLASS_0", "x", WS_CAPTION, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    char name[8];
    EXPECT_EQ(GetClassNameA(hwnd, name, sizeof name), 7);
    EXPECT_STREQ(name, "WindowC");
    SetLastError(0);
    EXPECT_FALSE(UnregisterClassA("WindowClass_0", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
    DestroyWindow(hwnd);
    EXPECT_TRUE(UnregisterClassA("WindowClass_0", nullptr));
    EXPECT_FALSE(UnregisterClassA("WindowClass_0", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
    wc.lpszClassName = "WindowClass_0";
    EXPECT_NE(RegisterClassA(&wc), 0);
    EXPECT_TRUE(UnregisterClassA("WindowClass_0", nullptr));

    SetLastError(0);
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
    // The layer's own classes exist without registration, under any case.
    HWND top = make_top();
    HWND button = make_child(top, "button", "b", BS_PUSHBUTTON, 0, 0, 10, 10, 1);
    HWND text = make_child(top, "STATIC", "t", SS_LEFT, 0, 0, 10, 10, 2);
    EXPECT_EQ(GetClassNameA(button, name, sizeof name), 6);
    EXPECT_EQ(_stricmp(name, "BUTTON"), 0);
    EXPECT_EQ(GetClassNameA(text, name, sizeof name), 6);
    EXPECT_EQ(_stricmp(name, "static"), 0);
    EXPECT_EQ(CreateWindowExA(0, "BUTTON", "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(UserWindows, WindowLongsTextAndTree) {
    HWND top = make_top();
    HWND a = make_child(top, recorder_class, "a", WS_TABSTOP, 0, 0, 10, 10, 32);
    HWND b = make_child(top, recorder_class, "b", 0, 0, 0, 10, 10, 33);
    EXPECT_EQ(GetWindowLongPtrA(a, GWLP_ID), 32);
    EXPECT_EQ(GetDlgCtrlID(b), 33);
    EXPECT_EQ(GetDlgItem(top, 33), b);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(a, GWL_STYLE)), DWORD(WS_CHILD | WS_VISIBLE | WS_TABSTOP));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(top, GWL_STYLE)) & 0x10C80000u, 0x10C80000u);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(a, GWLP_WNDPROC)), recording_procedure);
    EXPECT_EQ(SetWindowLongPtrA(a, GWLP_USERDATA, 1234), 0);
    EXPECT_EQ(GetWindowLongPtrA(a, GWLP_USERDATA), 1234);
    intptr_t big = intptr_t(1) << 40;
    SetWindowLongPtrA(a, GWLP_ID, big);
    EXPECT_EQ(GetWindowLongPtrA(a, GWLP_ID), big);
    EXPECT_EQ(reinterpret_cast<HWND>(GetWindowLongPtrA(a, GWLP_HWNDPARENT)), top);
    SetLastError(0);
    EXPECT_EQ(GetWindowLongPtrA(a, 64), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));

    EXPECT_TRUE(SetWindowTextA(top, "New title"));
    char text[6];
    EXPECT_EQ(GetWindowTextA(top, text, sizeof text), 5);
    EXPECT_STREQ(text, "New t");
    EXPECT_EQ(GetWindowTextLengthA(top), 9);
    EXPECT_EQ(FindWindowA(nullptr, "new title"), top);
    EXPECT_EQ(FindWindowA(recorder_class, nullptr), top);

    EXPECT_EQ(GetParent(a), top);
    EXPECT_EQ(GetParent(top), nullptr);
    EXPECT_EQ(GetAncestor(a, GA_ROOT), top);
    EXPECT_EQ(GetWindow(top, GW_CHILD), a);
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
    EXPECT_TRUE(IsChild(top, a));
    EXPECT_FALSE(IsChild(a, top));
    DWORD pid = 0;
    EXPECT_EQ(GetWindowThreadProcessId(a, &pid), GetCurrentThreadId());
    EXPECT_EQ(pid, GetCurrentProcessId());
}

BOOL CALLBACK collect(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

TEST_F(UserWindows, EnumerationOrders) {
    HWND older = make_top("Older");
    HWND newer = make_top("Newer");
    std::vector<HWND> tops;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&tops));
    EXPECT_EQ(tops, (std::vector<HWND>{newer, older}));
    HWND a = make_child(older, recorder_class, "", 0, 0, 0, 1, 1, 1);
    HWND a1 = make_child(a, recorder_class, "", 0, 0, 0, 1, 1, 2);
    HWND b = make_child(older, recorder_class, "", 0, 0, 0, 1, 1, 3);
    std::vector<HWND> children;
    EnumChildWindows(older, collect, reinterpret_cast<LPARAM>(&children));
    EXPECT_EQ(children, (std::vector<HWND>{a, a1, b}));
}

TEST_F(UserWindows, CloseMessagesDestroyByDefault) {
    HWND hwnd = make_top();
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(hwnd));
    hwnd = make_top();
    hook() = [](HWND, UINT message, WPARAM, LPARAM, LRESULT* result) {
        *result = 0;
        return message == WM_CLOSE;  // a window that only notes the close
    };
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(messages_of(hwnd, {WM_CLOSE}).size(), 1u);
}

TEST_F(UserWindows, FormattingFollowsThePlatform) {
    char out[1100];
    EXPECT_EQ(wsprintfA(out, "WindowClass_%ld", 0L), 13);
    EXPECT_STREQ(out, "WindowClass_0");
    wsprintfA(out, "WindowClass_%ld", static_cast<long>(0x7f0012345678));
    EXPECT_STREQ(out, "WindowClass_139638282147448");
    wsprintfA(out, "%d|%i|%u|%x|%X|%c|%s|%%", -5, 7, 4000000000u, 255, 255, 'q', "str");
    EXPECT_STREQ(out, "-5|7|4000000000|ff|FF|q|str|%");
    wsprintfA(out, "[%5d][%-5d][%05d][%#x][%.2s][%s]", 42, 42, -42, 26, "abc", static_cast<const char*>(nullptr));
    EXPECT_STREQ(out, "[   42][42   ][-0042][0x1a][ab][(null)]");
    std::string long_text(2000, 'a');
    EXPECT_EQ(wsprintfA(out, "%s", long_text.c_str()), 1023);
    EXPECT_EQ(strlen(out), 1023u);
}

// Precision, sizes and the odd cases, as the formatter's steps share them.
TEST_F(UserWindows, FormattingPrecisionSizesAndOddConversions) {
    char out[64];
    wsprintfA(out, "[%.3d][%5.3x][%-#6x][%.0d][%hd][%hu][%lu]", 7, 10, 255, 0, 65535, 65537, 3000000000ul);
    EXPECT_STREQ(out, "[007][  00a][0xff  ][][-1][1][3000000000]");
    wsprintfA(out, "[%-3c][%#X][%#x]", 'z', 171, 0);
    EXPECT_STREQ(out, "[z  ][0XAB][0]");
    EXPECT_EQ(wsprintfA(out, "a%qb"), 3);
    EXPECT_STREQ(out, "aqb");
    EXPECT_EQ(wsprintfA(out, "end%"), 3);
    EXPECT_STREQ(out, "end");
}

// The program carries its own icon now, as resource 1 (icons_test.cpp).
TEST_F(UserWindows, StockIconAndCursorAndTheProgramIcon) {
    EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
    EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1)), nullptr);
}

}  // namespace

namespace {

TEST_F(UserWindows, MaximisingCoversTheScreenPastTheFrameAndRestoringOrMovingEndsIt) {
    HWND hwnd = make_top("Sizable", WS_OVERLAPPEDWINDOW);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(MoveWindow(hwnd, 30, 40, 300, 200, TRUE));
    const RECT normal{30, 40, 330, 240};
    auto rect = [&] {
        RECT r{};
        GetWindowRect(hwnd, &r);
        return std::vector<LONG>{r.left, r.top, r.right, r.bottom};
    };
    auto is_maximized = [&] { return (GetWindowLongA(hwnd, GWL_STYLE) & WS_MAXIMIZE) != 0; };
    const int frame = GetSystemMetrics(SM_CXFRAME);
    const std::vector<LONG> full{-frame, -frame, GetSystemMetrics(SM_CXSCREEN) + frame,
                                 GetSystemMetrics(SM_CYSCREEN) + frame};
    for (int restore : {SW_RESTORE, SW_SHOWNORMAL}) {
        ShowWindow(hwnd, SW_SHOWMAXIMIZED);
        ShowWindow(hwnd, SW_SHOWMAXIMIZED);
        EXPECT_EQ(rect(), full);
        EXPECT_TRUE(is_maximized());
        ShowWindow(hwnd, restore);
        EXPECT_EQ(rect(), (std::vector<LONG>{normal.left, normal.top, normal.right, normal.bottom}));
        EXPECT_FALSE(is_maximized());
    }
    ShowWindow(hwnd, SW_SHOWMAXIMIZED);
    ASSERT_TRUE(MoveWindow(hwnd, 5, 6, 100, 80, TRUE));
    EXPECT_FALSE(is_maximized());
    ShowWindow(hwnd, SW_RESTORE);
    EXPECT_EQ(rect(), (std::vector<LONG>{5, 6, 105, 86}));
}

}  // namespace
