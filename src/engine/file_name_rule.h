// The one rule for names that the build joins into paths: the module stems of
// the catalogue, the module file name of an additional installer, the file
// name of an animation. Such a name comes from a configuration or a kit that
// someone else may have made, so "..\..\kitcomp\kitcomp" must not reach a path.
#pragma once

#include <string>

namespace kc::engine {

// Why `name` is not a plain file name that the images' file systems can hold,
// in words for the user ("it contains a path separator (\ or /)"), or "" when it
// is one. Refused: an empty name, "\" and "/", "." and "..", a drive colon,
// control characters, the characters Windows does not allow (< > " | ? *), a
// trailing dot or blank (Windows drops them), the device names (CON, NUL, COM1
// ...) and names of more than 255 characters.
std::string FileNameProblem(const std::string& name);

}  // namespace kc::engine
