// A whole file written in one piece on a Windows path: a report or a log that
// appears complete or not at all (see atomic_file.h).
#pragma once

#include <string_view>

#include "platform/win_types.h"

namespace win {

// Writes `contents` as the new content of the file, replacing it atomically
// and durably. FALSE, last error set and the old file intact, when it cannot:
// no such drive or folder, a folder in its place, a read-only folder, a full
// disk. The bytes are written as they are (no text-mode line ends).
BOOL WriteWholeFileA(LPCSTR fileName, std::string_view contents);

}  // namespace win
