// The file-system operations of the build engine: emptying an image directory,
// copying the installer's files, making one directory level, and taking a path
// apart at its last separator. Windows paths throughout.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/names.h"

namespace kc::engine {

// Deletes the files of `directory` and its first-level subdirectories with
// their files; the directory itself stays. Deeper subdirectories are not
// entered (their removal fails and they stay). A symbolic link is removed as a
// link: nothing outside the directory is ever deleted. Pauses before each
// top-level entry (see SetEmptyDirectoryPause).
void EmptyDirectory(const std::string& directory);

// Removes `directory` with everything below it, however deep, for the
// engine's own work areas (never an image: those keep EmptyDirectory's rule).
// A symbolic link is removed as a link and never followed. True when nothing
// is left (also when there was nothing).
bool RemoveTree(const std::string& directory);

// The pause EmptyDirectory makes before each top-level entry; 50 ms unless
// changed (benchmarks count it out by setting 0).
void SetEmptyDirectoryPause(unsigned milliseconds);
unsigned EmptyDirectoryPause();

// Copies every file of `source` into `destination` under the same name,
// overwriting, and calls `copied` with the destination path of each file whose
// copy succeeded, in enumeration order. A plain file that cannot be copied is
// handed to `failed` (subdirectories, "." and ".." and the temporary files of
// interrupted writers are passed over silently).
// Returns false when the source directory cannot be enumerated.
bool CopyDirectoryFiles(const std::string& source, const std::string& destination,
                        const std::function<void(const std::string&)>& copied,
                        const std::function<void(const std::string& file, const std::string& reason)>& failed = {});

// Creates one directory level: 0 on success, -1 on failure (it exists already,
// or its parent is missing).
int MakeDirectory(const std::string& path);

// A path's parts at its last "\\" or "/" (platform/names.h).
using platform::DirectoryPart;
using platform::FileNamePart;

// An output path as the build uses it: a path that names its drive (X:\...) or
// share (\\server\...) with backslashes is kept as written; any other (relative,
// drive-relative, rooted on the current drive, with forward slashes) is made
// full once against the current directory, which the image assembly changes.
// Kept as written when it cannot be resolved, and when empty.
std::string FullOutputPath(const std::string& path);

// True when `path` names an existing directory / an existing non-directory.
bool IsDirectory(const std::string& path);
bool IsFile(const std::string& path);

// Number of files and their total size below `directory`, recursively
// (symbolic links are not followed), for the build summary.
struct DirectorySize {
  std::uint64_t files = 0;
  std::uint64_t bytes = 0;
};
DirectorySize MeasureDirectory(const std::string& directory);

}  // namespace kc::engine
