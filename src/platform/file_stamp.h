// Telling whether a file was written: its identity and its change time, which
// a program can neither set nor set back (unlike the modification time, which
// the build's tools set on purpose). Windows paths.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kc::platform {

struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t changeSeconds = 0;
  long changeNanoseconds = 0;
  bool regular = false;  // a plain file (links followed)
  bool operator==(const FileStamp&) const = default;
};

// The stamp of what the path names; nullopt when nothing is there.
std::optional<FileStamp> StampOf(const std::string& windowsPath);

}  // namespace kc::platform
