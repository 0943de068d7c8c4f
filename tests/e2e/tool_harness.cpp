#include "e2e/tool_harness.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/categories.h"
#include "app/driver.h"

namespace e2e {

namespace {

int note_fd = -1;

std::string read_all(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<size_t>(n));
    }
    return text;
}

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

Point checkbox_point(int index) {
    const Category& c = categories[index];
    return {c.x + 6, c.y + c.height / 2};
}

Point button_point(int number) {
    const ControlLayout& c = other_controls[number - FIRST_OTHER_CONTROL];
    return {c.x + c.width / 2, c.y + c.height / 2};
}

GameFolder::GameFolder() {
    char pattern[] = "/tmp/sorvane-e2e-XXXXXX";
    path = mkdtemp(pattern);
}

GameFolder::~GameFolder() {
    std::error_code error;
    // Undo read-only bits the test set, so the folder can go.
    for (auto& entry : std::filesystem::recursive_directory_iterator(path, error)) {
        chmod(entry.path().c_str(), entry.is_directory() ? 0755 : 0644);
    }
    std::filesystem::remove_all(path, error);
}

void GameFolder::write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(file(name), std::ios::binary);
    out << bytes;
}

std::string GameFolder::read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    if (!in) {
        return "<missing>";
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool GameFolder::exists(const std::string& name) const {
    struct stat st;
    return stat(file(name).c_str(), &st) == 0;
}

void note(const std::string& line) {
    if (note_fd >= 0) {
        std::string text = "note\t" + line + "\n";
        if (write(note_fd, text.data(), text.size()) < 0) {
            _exit(120);
        }
    }
}

Outcome run_tool(const GameFolder& folder, void (*script)()) {
    int records[2];
    int errors[2];
    if (pipe(records) != 0 || pipe(errors) != 0) {
        return {};
    }
    fflush(nullptr);
    pid_t child = fork();
    if (child == 0) {
        close(records[0]);
        close(errors[0]);
        dup2(errors[1], 2);
        if (chdir(folder.path.c_str()) != 0) {
            _exit(121);
        }
        player::install();
        player::record_to(records[1]);
        note_fd = records[1];
        script();
        app_main(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOWDEFAULT);
    }
    close(records[1]);
    close(errors[1]);
    Outcome outcome;
    std::string recorded = read_all(records[0]);
    outcome.stderr_text = read_all(errors[0]);
    close(records[0]);
    close(errors[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status)) {
        outcome.exit_code = WEXITSTATUS(status);
    }
    for (const std::string& line : split_lines(recorded)) {
        size_t tab = line.find('\t');
        std::string kind = line.substr(0, tab);
        std::string rest = tab == std::string::npos ? "" : line.substr(tab + 1);
        if (kind == "window") {
            outcome.windows_shown.push_back(rest);
        } else if (kind == "message box") {
            size_t split = rest.find('\t');
            outcome.message_boxes.emplace_back(rest.substr(0, split),
                                               split == std::string::npos ? "" : rest.substr(split + 1));
        } else if (kind == "note") {
            outcome.notes.push_back(rest);
        }
    }
    return outcome;
}

void click_checkbox(int index) {
    Point p = checkbox_point(index);
    player::click(main_title, p.x, p.y);
}

void click_button(int number) {
    Point p = button_point(number);
    player::click(main_title, p.x, p.y);
}

void note_checkboxes() {
    player::call([] {
        HWND window = FindWindowA(nullptr, main_title);
        std::string states;
        for (int i = 0; i < CATEGORY_COUNT; ++i) {
            LRESULT state = SendMessageA(GetDlgItem(window, i), BM_GETCHECK, 0, 0);
            states += static_cast<char>('0' + state);
        }
        note("checked " + states);
    });
}

}  // namespace e2e
