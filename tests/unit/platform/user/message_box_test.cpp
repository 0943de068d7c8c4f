// MessageBoxA: its own windows, its modality and what its owner gets.
#include <algorithm>

#include "tests/unit/platform/user/test_window.h"

namespace {

using namespace user_test;

class UserMessageBox : public UserTest {};

TEST_F(UserMessageBox, BoxIsModalOverItsOwnerAndGivesTheFocusBackToTheOwnerItself) {
    HWND owner = make_top("Sorvane owner");
    HWND check = make_child(owner, "BUTTON", "Axes", WS_TABSTOP | BS_AUTOCHECKBOX, 35, 65, 90, 20, 0);
    record_button(check);
    SetFocus(check);
    run_script();
    received().clear();

    static HWND seen_box = nullptr;
    static HWND seen_focus = nullptr;
    static HWND focus_parent = nullptr;
    static int focus_id = 0;
    static BOOL owner_enabled = TRUE;
    static RECT box_client{};
    static RECT box_window{};
    player::call([] {
        seen_box = FindWindowA("#32770", "Vorthane Sorvane");
        seen_focus = GetFocus();
        focus_parent = GetParent(seen_focus);
        focus_id = GetDlgCtrlID(seen_focus);
        owner_enabled = IsWindowEnabled(FindWindowA(nullptr, "Sorvane owner"));
        GetClientRect(seen_box, &box_client);
        GetWindowRect(seen_box, &box_window);
    });
    // A click on the disabled owner does nothing.
    player::click(owner, 5, 5);
    player::answer_message_box();
    EXPECT_EQ(MessageBoxA(owner, "Generated a new gamble table  ", "Vorthane Sorvane", MB_OK), IDOK);

    ASSERT_NE(seen_box, nullptr);
    EXPECT_FALSE(owner_enabled);
    EXPECT_EQ(focus_parent, seen_box);
    EXPECT_EQ(focus_id, IDOK);
    EXPECT_FALSE(IsWindow(seen_box));
    // Centred on the owner, whose window rectangle is (422, 492)-(968, 817).
    EXPECT_NEAR((box_window.left + box_window.right) / 2, (422 + 968) / 2, 1);
    EXPECT_NEAR((box_window.top + box_window.bottom) / 2, (492 + 817) / 2, 1);
    EXPECT_GT(box_client.right, 120);
    EXPECT_GT(box_client.bottom, 40);

    ASSERT_EQ(player::answered_boxes().size(), 1u);
    EXPECT_EQ(player::answered_boxes()[0].caption, "Vorthane Sorvane");
    EXPECT_EQ(player::answered_boxes()[0].text, "Generated a new gamble table  ");
    ASSERT_FALSE(player::message_boxes().empty());
    EXPECT_EQ(player::message_boxes().back().text, "Generated a new gamble table  ");

    std::vector<std::pair<UINT, WPARAM>> owner_messages;
    for (const Received& r : received()) {
        if (r.hwnd == owner && (r.message == WM_ENABLE || r.message == WM_ACTIVATE || r.message == WM_SETFOCUS)) {
            owner_messages.emplace_back(r.message, r.message == WM_SETFOCUS ? 0 : LOWORD(r.wparam));
        }
        EXPECT_FALSE(r.hwnd == owner && r.message == WM_LBUTTONDOWN);
    }
    std::vector<std::pair<UINT, WPARAM>> expected = {
        {WM_ENABLE, FALSE}, {WM_ACTIVATE, WA_INACTIVE}, {WM_ENABLE, TRUE}, {WM_ACTIVATE, WA_ACTIVE}, {WM_SETFOCUS, 0}};
    EXPECT_EQ(owner_messages, expected);
    EXPECT_EQ(messages_of(check, {WM_KILLFOCUS}).size(), 1u);
    EXPECT_TRUE(messages_of(check, {WM_SETFOCUS}).empty());
    EXPECT_EQ(GetFocus(), owner);
    EXPECT_EQ(GetActiveWindow(), owner);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(UserMessageBox, EscapeSpaceAndTheCloseBoxAllEndItWithOk) {
    HWND owner = make_top("Owner");
    run_script();
    player::type_key(VK_ESCAPE);
    EXPECT_EQ(MessageBoxA(owner, "one", "Box", MB_OK), IDOK);
    player::type_key(VK_SPACE);
    EXPECT_EQ(MessageBoxA(owner, "two", "Box", MB_OK), IDOK);
    player::close_window("Box");
    EXPECT_EQ(MessageBoxA(owner, "three", "Box", MB_OK), IDOK);
    player::call([] {
        HWND box = FindWindowA("#32770", nullptr);
        player::click(GetDlgItem(box, IDOK), 3, 3);
    });
    EXPECT_EQ(MessageBoxA(owner, "four", "Box", MB_OK), IDOK);
    // GWLP_USERDATA is the program's to write, on the box too.
    player::call([] { SetWindowLongPtrA(FindWindowA("#32770", nullptr), GWLP_USERDATA, 1); });
    player::type_key(VK_ESCAPE);
    EXPECT_EQ(MessageBoxA(owner, "five", "Box", MB_OK), IDOK);
    EXPECT_EQ(player::message_boxes().size(), 5u);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(FindWindowA("#32770", nullptr), nullptr);
}

TEST_F(UserMessageBox, WithoutAnOwnerTheBoxIsCentredOnTheScreen) {
    static RECT box_window{};
    player::call([] { GetWindowRect(FindWindowA("#32770", "Sorvane"), &box_window); });
    player::answer_message_box();
    EXPECT_EQ(MessageBoxA(nullptr, "Can't open sorvane.sav  ", "Sorvane", MB_OK), IDOK);
    EXPECT_NEAR((box_window.left + box_window.right) / 2, 960, 1);
    EXPECT_NEAR((box_window.top + box_window.bottom) / 2, 540, 1);
    EXPECT_EQ(player::answered_boxes().back().text, "Can't open sorvane.sav  ");
}

// With a 12-pixel line the platform's box for the success message has a
// 178 x 60 client area and a 48 x 24 button; the layout scales with the line.
TEST_F(UserMessageBox, SizedFromItsTextLikeThePlatform) {
    static RECT client{};
    static RECT button{};
    static RECT text{};
    player::call([] {
        HWND box = FindWindowA("#32770", nullptr);
        GetClientRect(box, &client);
        GetWindowRect(GetDlgItem(box, IDOK), &button);
        GetWindowRect(GetDlgItem(box, 0xFFFF), &text);
    });
    player::answer_message_box();
    const char* message = "Generated a new gamble table  ";
    MessageBoxA(nullptr, message, "Vorthane Sorvane", MB_OK);
    HDC dc = GetDC(nullptr);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE line{};
    SIZE ok{};
    SIZE body{};
    GetTextExtentPoint32A(dc, "Xy", 2, &line);
    GetTextExtentPoint32A(dc, "OK", 2, &ok);
    GetTextExtentPoint32A(dc, message, static_cast<int>(strlen(message)), &body);
    ReleaseDC(nullptr, dc);
    ASSERT_GT(line.cy, 0);
    EXPECT_EQ(button.bottom - button.top, 2 * line.cy);
    EXPECT_EQ(button.right - button.left, 2 * std::max<LONG>(ok.cx, 2 * line.cy));
    EXPECT_EQ(client.bottom, 8 + 16 + line.cy + 2 * line.cy);
    EXPECT_EQ(client.right, 12 + std::max<LONG>(body.cx, (button.right - button.left) * 5 / 3 - 12) + 12);
    EXPECT_EQ(text.right - text.left, client.right - 24);
}

}  // namespace
