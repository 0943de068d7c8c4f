// sorvane-launcher [FOLDER | file://URI]: into the folder given, else the
// one chosen in the desktop's folder chooser (which then opens there next
// time), else, with no chooser, the working folder as it is; then the tool.
#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include "launcher/launcher.h"

namespace {

// The tool beside the launcher's folder: bin/sorvane from lib/sorvane/ as
// installed, app/sorvane in the build tree.
std::string tool_path() {
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        return "/usr/bin/sorvane";
    }
    std::string folder(self, static_cast<size_t>(length));
    folder.erase(folder.rfind('/'));
    const std::string installed = folder + "/../../bin/sorvane";
    const std::string built = folder + "/../../app/sorvane";
    return access(installed.c_str(), X_OK) == 0 || access(built.c_str(), X_OK) != 0 ? installed : built;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder;
    if (argc > 2) {
        launcher::report_failure("Open one game folder at a time, not " + std::to_string(argc - 1));
        return 1;
    }
    if (argc == 2 && !launcher::folder_of_argument(argv[1], &folder)) {
        launcher::report_failure(std::string("Can't open \"") + argv[1] + "\": not a folder on this computer");
        return 1;
    }
    if (argc == 1) {
        std::string reason;
        switch (launcher::choose_folder(launcher::last_folder(), &folder, &reason)) {
            case launcher::Choice::Chosen:
                if (!launcher::keep_last_folder(folder)) {
                    fprintf(stderr, "sorvane: the chosen folder could not be kept for next time\n");
                }
                break;
            case launcher::Choice::Cancelled:
                return 0;
            case launcher::Choice::NoPortal:
                break;
            case launcher::Choice::Failed:
                launcher::report_failure("Can't ask for the game's folder: " + reason);
                return 1;
        }
    }
    if (!folder.empty() && chdir(folder.c_str()) != 0) {
        launcher::report_failure("Can't open the folder \"" + folder + "\": " + strerror(errno));
        return 1;
    }
    const std::string tool = tool_path();
    char name[] = "sorvane";
    char* arguments[] = {name, nullptr};
    execv(tool.c_str(), arguments);
    launcher::report_failure("Can't start " + tool + ": " + strerror(errno));
    return 1;
}
