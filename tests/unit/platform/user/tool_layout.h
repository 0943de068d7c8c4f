// The tool's window as the real BUTTON and STATIC classes make it: 27
// category checkboxes, two lines of help, three frames and four buttons,
// in client coordinates of the main window.
#pragma once

#include "platform/win32.h"

namespace user_test {

struct Child {
    const char* cls;
    DWORD style;
    int x, y, width, height;
    const char* text;
};

constexpr DWORD check_style = WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD frame_style = WS_GROUP | BS_GROUPBOX;
constexpr DWORD button_style = WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD static_style = WS_GROUP | SS_LEFT;

inline const Child tool_children[] = {
    {"BUTTON", check_style, 35, 65, 90, 20, "Axes"},
    {"BUTTON", check_style, 35, 90, 90, 20, "Bows"},
    {"BUTTON", check_style, 35, 115, 90, 20, "Crossbows"},
    {"BUTTON", check_style, 35, 140, 90, 20, "Daggers"},
    {"BUTTON", check_style, 35, 165, 90, 20, "Javelins"},
    {"BUTTON", check_style, 35, 190, 90, 20, "Maces"},
    {"BUTTON", check_style, 35, 215, 90, 20, "Polearms"},
    {"BUTTON", check_style, 125, 65, 90, 20, "Scepters"},
    {"BUTTON", check_style, 125, 90, 90, 20, "Spears"},
    {"BUTTON", check_style, 125, 115, 90, 20, "Staves"},
    {"BUTTON", check_style, 125, 140, 90, 20, "Swords"},
    {"BUTTON", check_style, 125, 165, 125, 20, "Throwing Weapons"},
    {"BUTTON", check_style, 125, 190, 90, 20, "Wands"},
    {"BUTTON", check_style, 285, 65, 90, 20, "Helms"},
    {"BUTTON", check_style, 285, 90, 90, 20, "Body Armor"},
    {"BUTTON", check_style, 285, 115, 90, 20, "Shields"},
    {"BUTTON", check_style, 285, 140, 90, 20, "Gloves"},
    {"BUTTON", check_style, 285, 165, 90, 20, "Belts"},
    {"BUTTON", check_style, 285, 190, 90, 20, "Boots"},
    {"BUTTON", check_style, 285, 215, 90, 20, "Misc."},
    {"BUTTON", check_style, 415, 65, 90, 20, "Amazon"},
    {"BUTTON", check_style, 415, 90, 90, 20, "Assassin"},
    {"BUTTON", check_style, 415, 115, 90, 20, "Barbarian"},
    {"BUTTON", check_style, 415, 140, 90, 20, "Druid"},
    {"BUTTON", check_style, 415, 165, 90, 20, "Necromancer"},
    {"BUTTON", check_style, 415, 190, 90, 20, "Paladin"},
    {"BUTTON", check_style, 415, 215, 90, 20, "Sorceress"},
    {"STATIC", static_style, 20, 10, 500, 15,
     "This program can limit the items shown on the gamble screen. You can edit the filter without"},
    {"STATIC", static_style, 20, 25, 500, 15,
     "exiting Vorthane (press Alt+Tab to switch), but you have to start a new game after edit."},
    {"BUTTON", frame_style, 20, 45, 240, 200, "Weapons"},
    {"BUTTON", frame_style, 270, 45, 120, 200, "Armor"},
    {"BUTTON", frame_style, 400, 45, 120, 200, "Class Specific"},
    {"BUTTON", button_style, 20, 260, 80, 25, "Check All"},
    {"BUTTON", button_style, 115, 260, 80, 25, "Uncheck All"},
    {"BUTTON", button_style, 345, 260, 80, 25, "Set Filter"},
    {"BUTTON", button_style, 440, 260, 80, 25, "Exit"},
};

}  // namespace user_test
