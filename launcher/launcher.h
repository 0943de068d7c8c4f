// The launcher the desktop entry starts: it changes into the game's folder,
// given (a path or a file:// URI, as "Open With" on a folder passes it) or
// chosen in the desktop's folder chooser, and replaces itself with the
// tool, which reads no command line and works in its working folder.
//
// Files of launcher/:
//   launcher.h           this: the calls the files share
//   main.cpp             the way through: argument, chooser, folder, the tool
//   folder_argument.cpp  a path or a file:// URI as a path
//   last_folder.cpp      the folder chosen last, under $XDG_STATE_HOME/sorvane/
//   folder_chooser.cpp   the XDG desktop portal's FileChooser, for a folder, over
//                        platform/posix/bus
//   failure.cpp          a failure: a line on standard error and a message box
//   sorvane.desktop.in   the desktop entry, named by the application id
//   sorvane.metainfo.xml.in  its AppStream metainfo, releases from CHANGELOG.md
#pragma once

#include <string>

namespace launcher {

// The folder an argument names: a path as it is, a file:// URI decoded
// (%XX escapes; a host part only when it is empty or localhost). False for
// another URI or a malformed one.
bool folder_of_argument(const std::string& argument, std::string* folder);

// The folder chosen last, or "" when none was kept; and keeping one
// (written aside and renamed; false when it could not be written).
std::string last_folder();
bool keep_last_folder(const std::string& folder);

enum class Choice { Chosen, Cancelled, NoPortal, Failed };
// Asks the desktop's folder chooser for the game's folder, opening at
// start_in when not empty. Chosen sets folder; Failed sets reason.
Choice choose_folder(const std::string& start_in, std::string* folder, std::string* reason);

// Says what failed, on standard error as "sorvane: <text>" and in a
// message box when a display is there.
void report_failure(const std::string& text);

}  // namespace launcher
