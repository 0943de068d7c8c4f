// Runs the whole tool, its real app_main, in a child process inside a fresh
// game folder, driven by the headless display's scripted player.
#pragma once

#include <string>
#include <vector>

#include "support/player.h"

namespace e2e {

constexpr const char* main_title = "Vorthane Sorvane for TXT by Ondrik";

// Client-area points of the main window's controls.
struct Point {
    int x, y;
};
Point checkbox_point(int index);
Point button_point(int number);  // 32 to 35

// A fresh temporary folder, removed with everything in it at destruction.
struct GameFolder {
    GameFolder();
    ~GameFolder();
    std::string path;
    std::string file(const std::string& name) const { return path + "/" + name; }
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;  // "<missing>" if absent
    bool exists(const std::string& name) const;
};

struct Outcome {
    int exit_code = -1;  // -1 when the child did not exit normally
    std::vector<std::string> windows_shown;
    std::vector<std::pair<std::string, std::string>> message_boxes;  // caption, text
    std::vector<std::string> notes;                                  // lines the script wrote with note()
    std::string stderr_text;
};

// Forks; the child enters the folder, installs the headless display, runs
// script() to queue the player's steps and then the tool. The parent waits
// (the player ends the child if the script runs out) and collects what the
// player saw.
Outcome run_tool(const GameFolder& folder, void (*script)());

// For scripts: a line the parent receives in Outcome::notes.
void note(const std::string& line);

// Script steps.
void click_checkbox(int index);
void click_button(int number);
// Queues a step that notes "checked <27 digits>", read from the checkboxes
// of the main window as the player sees them.
void note_checkboxes();

}  // namespace e2e
