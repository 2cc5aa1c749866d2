// Asking whether a folder takes new files without making one, for checks that
// must leave every drive as they found it (`kitcomp check`).
#pragma once

#include "platform/win_types.h"

namespace win {

// TRUE when the process may create files in the folder `folder` names (a
// Windows path): it is a folder, its permissions let this user write and enter
// it, and its file system is not mounted read-only. FALSE, last error set,
// otherwise.
BOOL CanCreateFilesIn(LPCSTR folder);

}  // namespace win
