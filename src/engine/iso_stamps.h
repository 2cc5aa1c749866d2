// What libarchive's ISO 9660 writer records of the run rather than of the
// inputs, taken out of the image on its way to the file. The writer stamps the
// volume descriptors and the root directory with the time of the run, gives
// the root directory the owner of the process, writes a sector of its own with
// that time and the library's version after the descriptors, and records every
// time in the machine's time zone (with its offset). None of it can be set
// through the writer's options. The filter sets the volume dates and the root
// directory's times to the volume time (the newest input's), the root's owner
// to 0:0, rewrites every other recorded time as the same instant in UTC, and
// zeroes the unused sectors between the descriptors and the path tables; so the
// same inputs give the same bytes on any machine, at any hour.
//
// It expects the layout that writer makes of a flat image: descriptors, path
// tables, the two root directories (ISO 9660 with Rock Ridge, and Joliet) with
// their continuation areas, then the file data. Anything else (a subdirectory,
// a continuation area beyond the metadata) is a problem, never passed through
// half mended.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kc::engine {

class IsoStampFilter {
 public:
  // Receives the mended image in order; false when it could not take the bytes.
  using Sink = std::function<bool(const unsigned char* data, std::size_t size)>;

  IsoStampFilter(std::int64_t volumeTime, Sink sink);

  // The next bytes of the image as the writer gives them. False when the sink
  // failed or the metadata is not laid out as expected (see problem()).
  bool Write(const void* data, std::size_t size);
  // After the last bytes; false when the image ended before its metadata did.
  bool Finish();
  const std::string& problem() const { return problem_; }

 private:
  enum class Progress { kNeedMore, kDone, kFailed };
  Progress Mend();
  Progress MendVolumeDescriptors();
  Progress MendDirectory(std::uint64_t offset, std::uint64_t size);
  Progress MendSystemUse(std::uint64_t offset, std::uint64_t size, bool rootRecord, int depth);
  bool Fail(const std::string& why);

  std::int64_t volumeTime_;
  Sink sink_;
  std::vector<unsigned char> head_;  // the metadata, held until it is complete and mended
  bool passing_ = false;             // the metadata went out; the rest passes unchanged
  std::string problem_;
  struct Extent {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
  };
  std::vector<Extent> roots_;  // root directories of the ISO 9660 and Joliet trees
  std::uint64_t pathTables_ = 0;
  std::uint64_t terminator_ = 0;
};

}  // namespace kc::engine
