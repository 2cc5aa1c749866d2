// The path options page's rule for the base path and the profile path, kept
// apart from the page so that `kitcomp check` and `--set` apply it too.
#pragma once

#include <string>

namespace kc::engine {

// True when `path`, exactly as typed (no trimming), is an install path the
// generated installer can take: "%username%" as the whole text; or at least
// three characters, each an ASCII letter or digit, a backslash, a colon, a
// blank or a full stop, forming a drive path (C:\Apps), a relative path
// starting with a letter (Programs\Apps) or a network path (\\server\share).
bool IsValidInstallPath(const std::string& path);

}  // namespace kc::engine
