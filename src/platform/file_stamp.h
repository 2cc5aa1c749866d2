// Telling whether a file was written: its identity, size and times. The change
// time is the one a program can neither set nor set back (the build's tools set
// the modification time on purpose); a file replaced by rename is a new one.
// Windows paths.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kc::platform {

struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t changeSeconds = 0;
  long changeNanoseconds = 0;
  std::int64_t modificationSeconds = 0;
  long modificationNanoseconds = 0;
  bool regular = false;  // a plain file (links followed)
  bool operator==(const FileStamp&) const = default;
};

// The stamp of what the path names; nullopt when nothing is there.
std::optional<FileStamp> StampOf(const std::string& windowsPath);

}  // namespace kc::platform
