// Where the images may not go: into the kit's own folders, which the build
// reads from or rewrites.
#pragma once

#include <string>

namespace kc::engine {

// A Windows path in a form two paths can be compared by: "/" taken as "\",
// doubled backslashes, "." and ".." and a trailing backslash resolved away,
// letters in upper case (Windows compares names without regard to case).
std::string ComparablePath(const std::string& path);

// Why the images may not be built below `outputPath` (made full already) for
// the kit at `installRoot`, or "" when they may. Refused: a path inside the
// kit's work folder "custom" (every build rewrites it, and an image inside the
// staging tree is packed into the next build's archive) or its "source" folder
// (the installer the images are made from), and the kit's "kitcomp" folder
// itself (its program, tools and working files).
std::string OutputLocationProblem(const std::string& installRoot, const std::string& outputPath);

}  // namespace kc::engine
