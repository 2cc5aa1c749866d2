// The extractor's view of its own file: the trailer, the checksum, and a
// libarchive reader limited to the payload's byte range (zip looks for its
// directory at the end of what it reads, which must be the payload's end).
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "sfxmaker/sfx_trailer.h"

struct archive;

namespace kc::sfx {

class Payload {
 public:
  // Opens the file and reads its trailer; an error text when there is none or
  // the numbers do not fit the file ("corrupt").
  static std::unique_ptr<Payload> Open(const std::string& hostPath, std::string& error);
  ~Payload();

  // Recomputes the SHA-256 of payload and command line and compares.
  bool ChecksumMatches();
  const std::string& commandLine() const { return commandLine_; }

  // A new reader over the payload; free it with archive_read_free. nullptr with
  // `error` set when libarchive refuses the data.
  archive* OpenReader(std::string& error);

 private:
  Payload() = default;
  static long Read(archive*, void* self, const void** buffer);
  static std::int64_t Skip(archive*, void* self, std::int64_t request);
  static std::int64_t Seek(archive*, void* self, std::int64_t offset, int whence);

  std::FILE* file_ = nullptr;
  Trailer trailer_;
  std::string commandLine_;
  std::uint64_t position_ = 0;  // within the payload
  std::unique_ptr<char[]> block_;
};

}  // namespace kc::sfx
