#include "platform/folder_access.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/host_files.h"

namespace win {

BOOL CanCreateFilesIn(LPCSTR folder) {
  const std::optional<std::string> host = detail::MapArgument(folder);
  if (!host) return FALSE;
  struct stat status {};
  if (::stat(host->c_str(), &status) != 0) {
    SetLastErrorFromErrno(errno);
    return FALSE;
  }
  if (!S_ISDIR(status.st_mode)) {
    SetLastError(ERROR_DIRECTORY);
    return FALSE;
  }
  // access() answers for the real user and gives EROFS on a read-only mount.
  if (::access(host->c_str(), W_OK | X_OK) != 0) {
    SetLastErrorFromErrno(errno);
    return FALSE;
  }
  return TRUE;
}

}  // namespace win
