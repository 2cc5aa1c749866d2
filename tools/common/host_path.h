// Windows paths from command lines and input files, mapped onto host paths
// through the system's drive table.
#pragma once

#include <string>

namespace kc::tools {

// The host path of a Windows path; a drive that does not exist or a path that
// is too long is a ToolFailure (kExitBadInput) naming the path.
std::string HostPathOf(const std::string& windowsPath);

}  // namespace kc::tools
