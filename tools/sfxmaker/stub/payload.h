// The extractor's view of its own file: the trailer and command line, the
// whole-file check, and the zip archive in the payload's byte range.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/sfx_trailer.h"
#include "common/zip_directory.h"

namespace kc::sfx {

class Payload {
 public:
  // Opens the file and reads its trailer; an error text ("corrupt: ...") when
  // there is none or the numbers do not fit the file.
  static std::unique_ptr<Payload> Open(const std::string& hostPath, std::string& error);
  ~Payload();
  Payload(const Payload&) = delete;
  Payload& operator=(const Payload&) = delete;

  const std::string& path() const { return path_; }
  const std::string& commandLine() const { return sfx_.commandLine; }
  // Streams the whole file through the digest; reads through a stream of its
  // own, so it may run beside an extraction.
  bool Verify(std::string& error) const;
  // The archive's entries; false with `error` ("corrupt: ...") when the zip
  // directory is damaged.
  bool ReadEntries(std::vector<zip::ZipEntry>& entries, std::string& error) const;

  const zip::ZipSource& source() const { return source_; }
  // The file's descriptor, for copying stored data in the kernel.
  int descriptor() const;

 private:
  Payload(std::string path, std::FILE* file, SfxFile sfx);

  std::string path_;
  std::FILE* file_;
  SfxFile sfx_;
  zip::ZipSource source_;
};

}  // namespace kc::sfx
