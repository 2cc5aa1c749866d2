// The layout of a flat ISO 9660 image, worked out before any file's data is
// written: the volume descriptors (primary, Joliet, terminator), the path
// tables, the root directory of each tree (the ISO 9660 one with Rock Ridge
// names, modes and times, the Joliet one with Windows names) and the Rock
// Ridge continuation area come first, then each file's data from a sector of
// its own, in the order given. Since every position is known up front, the
// writer puts the metadata down in one piece and copies each file straight
// into its place.
//
// Everything recorded comes from the files and the volume time, so the same
// files give the same bytes on any machine, at any hour; times are recorded in
// UTC, owners as 0:0, modes read-only with the execute bits kept.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kc::engine::iso {

inline constexpr std::uint32_t kSectorSize = 2048;
// The largest file a single extent holds.
inline constexpr std::uint64_t kLargestFile = 0xFFFFFFFFu;

struct LayoutFile {
  std::string name;        // the host name, UTF-8, valid for Joliet (JolietNameProblem)
  std::uint64_t size = 0;  // at most kLargestFile
  std::int64_t mtime = 0;  // seconds since 1970, UTC
  bool executable = false;
};

struct Layout {
  std::vector<unsigned char> head;        // sectors 0 up to the first file's data
  std::vector<std::uint64_t> dataOffset;  // each file's first byte in the image, in the order given
  std::uint64_t imageSize = 0;            // whole sectors
};

// `volumeName`: d-characters, at most 16 (DiskVolumeName); `volumeTime` the
// time recorded for the volume and its root directory.
Layout LayOut(const std::vector<LayoutFile>& files, const std::string& volumeName, std::int64_t volumeTime);

}  // namespace kc::engine::iso
