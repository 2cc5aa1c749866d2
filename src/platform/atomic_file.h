// Replacing a file atomically: the new content goes to a temporary file beside
// the target, is flushed to disk and renamed over the target, so that a crash
// at any moment leaves either the old or the new file, never a mix.
// Host paths only: the Windows-facing functions map their paths first.
#pragma once

#include <string>
#include <string_view>

namespace kc::platform {

// Writes `contents` as the new content of `hostPath`. Returns false (errno set,
// the old file intact, no temporary file left) on failure: a read-only folder, a
// target that is a folder, a full disk. The new file keeps the old one's
// permission bits; a new file gets 0644 less the umask.
bool WriteFileAtomically(const std::string& hostPath, std::string_view contents);

// Reads a whole file; false (errno set) when it cannot be read.
bool ReadWholeFile(const std::string& hostPath, std::string& contents);

}  // namespace kc::platform
