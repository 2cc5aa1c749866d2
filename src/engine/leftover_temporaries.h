// Temporary files that interrupted runs leave behind (the writers' hidden
// files, platform/atomic_file.h): where the file system has no unnamed files, a
// copy, a settings write or a tool killed midway leaves one, and a later merge
// of the folder would ship it. Windows paths.
#pragma once

#include <string>

namespace kc::engine {

// Removes them from the kit's work areas: everything below "\custom" (the
// staging tree, the private archives, the engine folder), and "\source\modules"
// and "\kitcomp" themselves. Only the writers' temporary names go; a file that
// cannot be removed stays (merges and folder copies pass over such names).
// Returns how many went.
int RemoveLeftoverTemporaries(const std::string& installRoot);

// Removes the temporary files of `file` from its folder: what a tool that
// failed or was killed while writing `file` left.
void RemoveTemporariesOf(const std::string& file);

}  // namespace kc::engine
