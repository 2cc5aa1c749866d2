// One build per kit at a time. A run takes the kit from the refresh of its
// working files to its last image: two runs at once would mix each other's
// choices file, engine setup.ini, setup.pkg and sfxmaker.ini. The lock is a
// file lock, which the kernel releases when its holder ends however it ended,
// so a killed run never blocks the next one.
#pragma once

#include <string>
#include <string_view>

#include "config/run_paths.h"
#include "platform/file_lock.h"
#include "platform/result.h"

namespace kc::engine {

// The lock file, below the install root.
inline constexpr const char* kKitLockPart = "\\custom\\kitcomp.lock";

// Takes the kit for one run, `program` naming this run to whoever finds the kit
// taken ("kitcomp build"), then removes the temporary files that interrupted
// runs left in its work areas. Refused, with the message to show, when another
// run holds the kit (naming its process) or the lock file cannot be made; then
// nothing has been changed. The run holds the kit as long as it keeps the lock.
Result<platform::FileLock> ReserveKit(const config::RunPaths& paths, std::string_view program);

}  // namespace kc::engine
