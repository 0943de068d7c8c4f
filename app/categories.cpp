#include "app/categories.h"

#include "runtime/memory/strings.h"

const Category categories[CATEGORY_COUNT] = {
    {0, "Axes", "#AXES", 35, 65, 90, 20},
    {1, "Bows", "#BOWS", 35, 90, 90, 20},
    {2, "Crossbows", "#CROSSBOWS", 35, 115, 90, 20},
    {3, "Daggers", "#DAGGERS", 35, 140, 90, 20},
    {4, "Javelins", "#JAVELINS", 35, 165, 90, 20},
    {5, "Maces", "#MACES", 35, 190, 90, 20},
    {6, "Polearms", "#POLEARMS", 35, 215, 90, 20},
    {7, "Scepters", "#SCEPTERS", 125, 65, 90, 20},
    {8, "Spears", "#SPEARS", 125, 90, 90, 20},
    {9, "Staves", "#STAVES", 125, 115, 90, 20},
    {10, "Swords", "#SWORDS", 125, 140, 90, 20},
    {11, "Throwing Weapons", "#THROWING", 125, 165, 125, 20},
    {12, "Wands", "#WANDS", 125, 190, 90, 20},
    {13, "Helms", "#HELMS", 285, 65, 90, 20},
    {14, "Body Armor", "#BODY", 285, 90, 90, 20},
    {15, "Shields", "#SHIELDS", 285, 115, 90, 20},
    {16, "Gloves", "#GLOVES", 285, 140, 90, 20},
    {17, "Belts", "#BELTS", 285, 165, 90, 20},
    {18, "Boots", "#BOOTS", 285, 190, 90, 20},
    {19, "Misc.", "#MISC", 285, 215, 90, 20},
    {20, "Amazon", "#AMAZON", 415, 65, 90, 20},
    {21, "Assassin", "#ASSASSIN", 415, 90, 90, 20},
    {22, "Barbarian", "#BARBARIAN", 415, 115, 90, 20},
    {23, "Druid", "#DRUID", 415, 140, 90, 20},
    {24, "Necromancer", "#NECROMANCER", 415, 165, 90, 20},
    {25, "Paladin", "#PALADIN", 415, 190, 90, 20},
    {26, "Sorceress", "#SORCERESS", 415, 215, 90, 20},
};

const Keyword keywords[KEYWORD_COUNT] = {
    {"#ALWAYS", ALWAYS_SECTION},
    {"#AXES", 0},
    {"#BOWS", 1},
    {"#CROSSBOWS", 2},
    {"#DAGGERS", 3},
    {"#JAVELINS", 4},
    {"#MACES", 5},
    {"#POLEARMS", 6},
    {"#SCEPTERS", 7},
    {"#SPEARS", 8},
    {"#STAVES", 9},
    {"#SWORDS", 10},
    {"#THROWING", 11},
    {"#WANDS", 12},
    {"#HELMS", 13},
    {"#BODY", 14},
    {"#SHIELDS", 15},
    {"#GLOVES", 16},
    {"#BELTS", 17},
    {"#BOOTS", 18},
    {"#MISC", 19},
    {"#AMAZON", 20},
    {"#ASSASSIN", 21},
    {"#BARBARIAN", 22},
    {"#DRUID", 23},
    {"#NECROMANCER", 24},
    {"#PALADIN", 25},
    {"#SORCERESS", 26},
};

const ControlLayout other_controls[OTHER_CONTROL_COUNT] = {
    {27, TextLayout, 20, 10, 500, 15,
     "This program can limit the items shown on the gamble screen. You can edit the filter without"},
    {28, TextLayout, 20, 25, 500, 15,
     "exiting Vorthane (press Alt+Tab to switch), but you have to start a new game after edit."},
    {29, FrameLayout, 20, 45, 240, 200, "Weapons"},
    {30, FrameLayout, 270, 45, 120, 200, "Armor"},
    {31, FrameLayout, 400, 45, 120, 200, "Class Specific"},
    {32, ButtonLayout, 20, 260, 80, 25, "Check All"},
    {33, ButtonLayout, 115, 260, 80, 25, "Uncheck All"},
    {34, ButtonLayout, 345, 260, 80, 25, "Set Filter"},
    {35, ButtonLayout, 440, 260, 80, 25, "Exit"},
};

LineClass classify_line(const char* line) {
    LineClass result = {ItemLine, NO_SECTION};
    if (string_equal(line, "")) {
        result.kind = EmptyLine;
        return result;
    }
    char* start = result_cursor;
    int32_t comment = string_equal(left_string(line, 1), "'");
    result_cursor = start;
    if (comment) {
        result.kind = CommentLine;
        return result;
    }
    for (const Keyword& keyword : keywords) {
        if (string_equal(line, keyword.text)) {
            result.kind = KeywordLine;
            result.section = keyword.section;
            return result;
        }
    }
    return result;
}
