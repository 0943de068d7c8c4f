// The icon the program carries, resource 1 as the exe has it: found by
// LoadIconA for the program's own instance only, drawn at any size from
// the picture at or above it, and shown in the caption the layer draws.
#include "platform/posix/user/icons.h"
#include "platform/posix/display/headless.h"
#include "tests/unit/platform/gdi/canvas.h"
#include "tests/unit/platform/user/test_window.h"

namespace {

// Cells of the icon's 16-pixel grid and their colours (app/icon/sorvane.svg).
struct Cell {
    int x, y;
    uint32_t colour;
};
const Cell cells[] = {
    {0, 0, 0x00000000u},    // a clear corner
    {12, 1, 0xFF000000u},   // the window's frame
    {12, 4, 0xFF000080u},   // its caption
    {3, 7, 0xFF808080u},    // a checkbox's sunken edge
    {10, 9, 0xFFFFFFFFu},   // the die's face
    {12, 11, 0xFF800000u},  // its middle pip
};

uint32_t at_cell(const std::vector<uint32_t>& pixels, int side, const Cell& cell) {
    const int x = (2 * cell.x + 1) * side / 32, y = (2 * cell.y + 1) * side / 32;
    return pixels[static_cast<size_t>(y) * side + x];
}

class ProgramIconWindow : public user_test::UserTest {};

HICON program_icon() {
    return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
}

}  // namespace

TEST(ProgramIcon, IsResourceOneOfTheProgramAlone) {
    ASSERT_NE(program_icon(), nullptr);
    EXPECT_EQ(program_icon(), program_icon());
    const struct {
        HINSTANCE instance;
        LPCSTR name;
    } missing[] = {
        {GetModuleHandleA(nullptr), MAKEINTRESOURCEA(2)},
        {GetModuleHandleA(nullptr), "SORVANE"},
        {reinterpret_cast<HINSTANCE>(0x5000), MAKEINTRESOURCEA(1)},
        {nullptr, MAKEINTRESOURCEA(1)},
    };
    for (const auto& m : missing) {
        SetLastError(0);
        EXPECT_EQ(LoadIconA(m.instance, m.name), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    }
    EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
    uint32_t pixel = 0;
    EXPECT_FALSE(user::draw_resource_icon(LoadIconA(nullptr, IDI_APPLICATION), 1, &pixel));
}

// The sizes it holds as they are, one between them and one beyond them
// from the picture at or above, the largest when there is none.
TEST(ProgramIcon, IsDrawnAtEverySizeFromItsPictures) {
    const std::vector<user::IconPicture> pictures = user::resource_icon_pictures(program_icon());
    std::vector<int> sides;
    for (const user::IconPicture& picture : pictures) {
        sides.push_back(picture.side);
        EXPECT_EQ(picture.pixels.size(), static_cast<size_t>(picture.side) * picture.side);
    }
    EXPECT_EQ(sides, (std::vector<int>{16, 24, 32, 48, 64}));
    for (int side : {16, 32, 40, 48, 64, 128}) {
        std::vector<uint32_t> pixels(static_cast<size_t>(side) * side);
        ASSERT_TRUE(user::draw_resource_icon(program_icon(), side, pixels.data())) << side;
        for (const Cell& cell : cells) {
            EXPECT_EQ(at_cell(pixels, side, cell), cell.colour) << side << " at " << cell.x << "," << cell.y;
        }
        if (side == 16 || side == 32) {
            EXPECT_EQ(pixels, pictures[side == 16 ? 0 : 2].pixels);
        }
    }
}

// A window of a class with the icon has it in the caption the layer draws:
// 16 x 16 from (5, 4) at scale 1, 24 x 24 from (8, 6) at 1.5.
TEST_F(ProgramIconWindow, TheCaptionShowsTheClassIcon) {
    for (int quarters : {4, 6}) {
        display::headless::set_device_quarters(quarters);
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hIcon = program_icon();
        wc.lpszClassName = "IconTest";
        ASSERT_NE(RegisterClassA(&wc), 0);
        HWND top = CreateWindowExA(0, "IconTest", "Abc", user_test::tool_style, 0, 0, 546, 325, nullptr, nullptr,
                                   nullptr, nullptr);
        const display::FramePainter* painter = display::headless::frame_painter();
        ASSERT_NE(painter, nullptr);
        const int width = quarters == 4 ? 546 : 819, height = quarters == 4 ? 325 : 488;
        paint_test::Canvas framed(width, height);
        painter->draw(reinterpret_cast<display::SurfaceId>(top), framed.pixels.data(), width, height, width,
                      display::FrameActive);
        const int side = quarters == 4 ? 16 : 24, left = quarters == 4 ? 5 : 8, top_edge = quarters == 4 ? 4 : 6;
        std::vector<uint32_t> icon(static_cast<size_t>(side) * side);
        ASSERT_TRUE(user::draw_resource_icon(program_icon(), side, icon.data()));
        for (const Cell& cell : cells) {
            const uint32_t colour = at_cell(icon, side, cell);
            if (colour >> 24 == 0xFF) {
                const int x = (2 * cell.x + 1) * side / 32, y = (2 * cell.y + 1) * side / 32;
                EXPECT_EQ(framed.at(left + x, top_edge + y), colour & 0xFFFFFF) << quarters << ": " << cell.x;
            }
        }
        DestroyWindow(top);
        UnregisterClassA("IconTest", GetModuleHandleA(nullptr));
    }
}
