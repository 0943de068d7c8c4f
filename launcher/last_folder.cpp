// The folder chosen last, one line in $XDG_STATE_HOME/sorvane/last-folder
// (else ~/.local/state/sorvane/), so that the chooser opens there next time.
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "launcher/launcher.h"

namespace launcher {

namespace {

std::string state_folder() {
    const char* state = getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') {
        return std::string(state) + "/sorvane";
    }
    const char* home = getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        return "";
    }
    return std::string(home) + "/.local/state/sorvane";
}

// Each missing folder on the way, as mkdir -p makes them.
bool make_folders(const std::string& path) {
    for (size_t at = 1; at <= path.size(); at++) {
        if (at == path.size() || path[at] == '/') {
            if (mkdir(path.substr(0, at).c_str(), 0700) != 0 && errno != EEXIST) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

std::string last_folder() {
    const std::string folder = state_folder();
    FILE* file = folder.empty() ? nullptr : fopen((folder + "/last-folder").c_str(), "r");
    if (file == nullptr) {
        return "";
    }
    std::string line;
    for (int c = getc(file); c != EOF && c != '\n'; c = getc(file)) {
        line.push_back(static_cast<char>(c));
    }
    fclose(file);
    return line;
}

bool keep_last_folder(const std::string& chosen) {
    const std::string folder = state_folder();
    if (folder.empty() || chosen.find('\n') != std::string::npos || !make_folders(folder)) {
        return false;
    }
    const std::string path = folder + "/last-folder", aside = path + ".new";
    FILE* file = fopen(aside.c_str(), "w");
    if (file == nullptr) {
        return false;
    }
    const bool written = fprintf(file, "%s\n", chosen.c_str()) > 0;
    if (fclose(file) != 0 || !written || rename(aside.c_str(), path.c_str()) != 0) {
        unlink(aside.c_str());
        return false;
    }
    return true;
}

}  // namespace launcher
