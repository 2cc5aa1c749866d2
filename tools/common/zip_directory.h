// Reading a zip archive through its central directory: the entries with their
// names, sizes, times, modes and comments, and where each one's stored data
// lies, without reading the data. The archive may be a byte range of a larger
// file (the self-extracting file's payload). Plain C++ and zlib (the extractor
// compiles it too).
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kc::zip {

// A damaged or unsupported archive; the text says what is wrong.
class ZipError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ZipEntry {
  std::string name;
  std::string comment;      // squash keeps an entry's label here
  std::uint16_t flags = 0;  // general purpose bits
  std::uint16_t method = 0;
  std::uint32_t crc = 0;
  std::uint64_t compressedSize = 0;
  std::uint64_t size = 0;
  std::uint64_t localOffset = 0;  // of the local header, from the archive's start
  std::int64_t mtime = 0;         // seconds since 1970, UTC
  std::uint32_t mode = 0;         // Unix type and permission bits (kTypeRegular | 0644 when none stored)

  bool IsDirectory() const;
  bool IsSymlink() const;
  bool IsRegular() const;
};

// Byte range [base, base + length) of an open file, read with explicit offsets.
class ZipSource {
 public:
  ZipSource(std::FILE* file, std::uint64_t base, std::uint64_t length) : file_(file), base_(base), length_(length) {}
  std::uint64_t length() const { return length_; }
  std::FILE* file() const { return file_; }
  std::uint64_t base() const { return base_; }
  // false when the range is outside the source or the file cannot be read.
  bool ReadAt(std::uint64_t offset, void* into, std::size_t size) const;

 private:
  std::FILE* file_;
  std::uint64_t base_;
  std::uint64_t length_;
};

// Every entry of the central directory, in its order. A ZipError when the
// archive is not a zip archive or its directory is damaged.
std::vector<ZipEntry> ReadZipDirectory(const ZipSource& source);

// Where the entry's stored (compressed) data starts, from its local header;
// checked to lie within the archive.
std::uint64_t DataOffset(const ZipSource& source, const ZipEntry& entry);

// Hands the entry's uncompressed data to `block` piece by piece (stored or
// deflated entries), checking the size and the CRC at the end; a ZipError when
// the data is damaged or the method unknown.
using BlockSink = std::function<void(const char* data, std::size_t size)>;
void ReadEntryData(const ZipSource& source, const ZipEntry& entry, const BlockSink& block);

}  // namespace kc::zip
