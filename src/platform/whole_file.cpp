#include "platform/whole_file.h"

#include <cerrno>

#include "platform/atomic_file.h"
#include "platform/host_files.h"

namespace win {

BOOL WriteWholeFileA(LPCSTR fileName, std::string_view contents) {
  const std::optional<std::string> host = detail::MapArgument(fileName);
  if (!host) return FALSE;
  if (!kc::platform::WriteFileAtomically(*host, contents)) {
    SetLastErrorFromErrno(errno);
    return FALSE;
  }
  return TRUE;
}

}  // namespace win
