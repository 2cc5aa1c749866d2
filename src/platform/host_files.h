// Pieces shared by the file, find and stream functions of the platform layer
// (not for use outside src/platform).
#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>

#include "platform/win_types.h"

namespace win::detail {

// Maps a Windows path argument onto a host path: a null path is
// ERROR_INVALID_PARAMETER, one of MAX_PATH characters or more
// ERROR_FILENAME_EXCED_RANGE; otherwise as ToHostPath. The last error is set
// on failure.
std::optional<std::string> MapArgument(LPCSTR windowsPath);

// The Windows attributes of a directory entry from its lstat result. A
// symbolic link is a reparse point, and a folder only when it points at one
// (`targetIsFolder`). Names starting with "." are hidden; a missing owner write
// bit reads as read-only.
DWORD AttributesOf(const std::string& name, const struct stat& linkStat, bool targetIsFolder);

}  // namespace win::detail
