#include "platform/file_stamp.h"

#include <sys/stat.h>

#include "platform/drives.h"

namespace kc::platform {

std::optional<FileStamp> StampOf(const std::string& windowsPath) {
  auto host = win::ToHostPath(windowsPath);
  struct stat st {};
  if (!host || ::stat(host->c_str(), &st) != 0) return std::nullopt;
  FileStamp stamp;
  stamp.device = st.st_dev;
  stamp.inode = st.st_ino;
  stamp.size = static_cast<std::uint64_t>(st.st_size);
  stamp.changeSeconds = st.st_ctim.tv_sec;
  stamp.changeNanoseconds = st.st_ctim.tv_nsec;
  stamp.modificationSeconds = st.st_mtim.tv_sec;
  stamp.modificationNanoseconds = st.st_mtim.tv_nsec;
  stamp.regular = S_ISREG(st.st_mode);
  return stamp;
}

}  // namespace kc::platform
