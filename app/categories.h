// The item categories, the list file's section keywords, the classification
// of list lines, and the constant layout of the main window.
#pragma once

#include <stdint.h>

#define CATEGORY_COUNT 27
#define KEYWORD_COUNT (CATEGORY_COUNT + 1)

// Section values: a category index 0 to 26, or one of these.
#define ALWAYS_SECTION 99
#define NO_SECTION (-1)

// The state of category index's checkbox: 1 checked, 0 unchecked.
typedef int32_t (*CategoryState)(int32_t index);

struct Category {
    int32_t index;  // also the checkbox's control number and the state file's byte
    const char* label;
    const char* keyword;
    int32_t x, y, width, height;  // the checkbox, in the main window's client area
};

extern const Category categories[CATEGORY_COUNT];

struct Keyword {
    const char* text;
    int32_t section;
};

// In the order a line is tested against them: "#ALWAYS", then index order.
extern const Keyword keywords[KEYWORD_COUNT];

enum LineKind { EmptyLine, CommentLine, KeywordLine, ItemLine };

struct LineClass {
    LineKind kind;
    int32_t section;  // for KeywordLine; NO_SECTION otherwise
};

// Exact, case-sensitive, untrimmed: "" is empty, a first character "'" a
// comment, a whole keyword a keyword, anything else an item.
LineClass classify_line(const char* line);

// The main window.
#define MAIN_WINDOW 0
#define MAIN_WINDOW_X 422
#define MAIN_WINDOW_Y 492
#define MAIN_WINDOW_CLIENT_WIDTH 540
#define MAIN_WINDOW_CLIENT_HEIGHT 300
#define MAIN_WINDOW_FLAGS 0xC80000
#define MAIN_WINDOW_TITLE "Vorthane Sorvane for TXT by Ondrik"

enum LayoutKind { CheckboxLayout, TextLayout, FrameLayout, ButtonLayout };

struct ControlLayout {
    intptr_t number;
    LayoutKind kind;
    int32_t x, y, width, height;
    const char* text;
};

// The controls after the checkboxes, 27 to 35, in creation order.
#define FIRST_OTHER_CONTROL 27
#define OTHER_CONTROL_COUNT 9
#define MAIN_WINDOW_CONTROL_COUNT (CATEGORY_COUNT + OTHER_CONTROL_COUNT)
extern const ControlLayout other_controls[OTHER_CONTROL_COUNT];

#define CHECK_ALL_BUTTON 32
#define UNCHECK_ALL_BUTTON 33
#define SET_FILTER_BUTTON 34
#define EXIT_BUTTON 35
