#include "engine/kit_lock.h"

#include "engine/leftover_temporaries.h"
#include "platform/win_types.h"

namespace kc::engine {

Result<platform::FileLock> ReserveKit(const config::RunPaths& paths, std::string_view program) {
  const std::string lockFile = paths.installRoot + kKitLockPart;
  const std::string kit = paths.installRoot.empty() ? std::string("on this drive") : paths.installRoot;
  platform::FileLock lock;
  switch (lock.Take(lockFile, program)) {
    case platform::FileLock::Outcome::kTaken:
      break;
    case platform::FileLock::Outcome::kHeld: {
      const platform::LockHolder& holder = lock.holder();
      std::string who = "another process";
      if (holder.pid > 0) {
        who = "process " + std::to_string(holder.pid);
        if (!holder.program.empty()) who += ", " + holder.program;
      }
      return Error{"The kit " + kit + " is in use by another build (" + who +
                   "). Wait until that build has finished, then start again."};
    }
    case platform::FileLock::Outcome::kFailed:
      return Error{"The kit " + kit + " cannot be reserved for this build: its lock file " + lockFile +
                   " cannot be made (" + win::LastErrorText() + ")."};
  }
  RemoveLeftoverTemporaries(paths.installRoot);
  return lock;
}

}  // namespace kc::engine
