// The user's cache folder for fonts ($XDG_CACHE_HOME/sorvane, else
// ~/.cache/sorvane) and the ways its files are read, written and aged:
// a file is written aside (opened exclusively) and renamed over, so a
// reader sees one whole file; a file read is marked used by its time; a
// file not used for a month, or an aside file a crash left, is removed when
// the folder is next written, which only a start that missed does.
#pragma once

#include <stddef.h>

#include <string>

namespace gdi {

// The folder, or empty when neither variable gives an absolute path.
std::string cache_folder();

// The build's architecture, for file names: a file is read only by the
// kind of build that wrote it.
extern const char cache_architecture[];

// The whole file, when it is a regular file of 1 to most bytes; a file
// read is marked used (its modification time, at most once a day).
bool read_cache_file(const std::string& path, size_t most, std::string* out);

// Makes the folder and its parent, as the cache folder may not exist yet,
// and tags it; true when it is there.
bool make_cache_folder(const std::string& folder);

// Makes the folder (with its CACHEDIR.TAG), removes what has aged there,
// then writes the file whole; false, with nothing left behind, when any of
// it cannot be done.
bool write_cache_file(const std::string& path, const std::string& bytes);

// Removes the folder's files of ours that were not used since `before`
// (seconds since the epoch), and aside files older than an hour.
void prune_cache_folder(const std::string& folder, long long before);

// How long a file is kept unused.
constexpr long long cache_keep_seconds = 30LL * 24 * 60 * 60;

}  // namespace gdi
