// The faces a start draws with, as the last lookup through fontconfig chose
// them, kept in the cache folder with what that choice rests on, so that a
// warm start neither loads fontconfig nor asks it anything. The choice is
// used only while all of these are as they were when it was made:
//  - the variables fontconfig and the loader read: HOME, XDG_DATA_HOME,
//    XDG_CONFIG_HOME, FONTCONFIG_FILE, FONTCONFIG_PATH, FONTCONFIG_SYSROOT,
//    LD_LIBRARY_PATH (their values are in the file; its name holds a hash);
//  - every font folder the lookup read, subfolders included, and the font
//    folders it asks for even where they are absent (a face installed or
//    removed changes its folder's time; a folder made is no longer absent);
//  - with the whole configuration: its configuration files and the folders
//    that hold them (a file added to conf.d changes the folder's time);
//  - the face files chosen, regular and bold;
//  - the FreeType and fontconfig library files (another FreeType may draw
//    otherwise; its version, kept here, is part of the glyph cache's key).
// Each path is compared by its identity: there or not, device, inode, size
// and modification time to the nanosecond. A font installed or removed thus
// reaches the next start.
#pragma once

#include <string>
#include <vector>

namespace gdi {

struct FaceChoice {
    std::string regular;  // the face file; empty when none was found
    std::string family;
    std::string bold;  // the family's bold face; empty when it has none
    int freetype_version[3] = {};
    std::vector<std::string> depends;
};

// The choice kept for this environment, when it still holds.
bool read_face_choice(FaceChoice* choice);
// Kept with the identities its paths have now; quietly nothing where the
// cache folder cannot be written.
void write_face_choice(const FaceChoice& choice);

// Asks fontconfig (loading it) for the faces, and says what the answer
// rests on, the library files aside. Through the font folders alone unless
// FONTCONFIG_FILE names a configuration of the user's choosing, or the
// folders hold no wanted family: then through the whole configuration.
FaceChoice look_up_faces();

// The same without the file, for the fuzz target: the bytes of a choice
// with the identities its paths have now, and a choice from bytes, true
// only when they are well-formed and every identity is as it is now.
std::string format_face_choice(const FaceChoice& choice);
bool parse_face_choice(const std::string& bytes, FaceChoice* choice);

}  // namespace gdi
