// Writes a zip archive entry by entry, streaming: new entries from files or
// memory (stored or deflated with zlib), and entries copied from another
// archive as their compressed bytes are, so that a merge never decompresses
// what it keeps. Every entry is normalized: owner 0:0, the input's mtime, its
// mode, the UTF-8 flag on non-ASCII UTF-8 names, and an optional label kept as
// the entry's comment. Every byte goes to a sink, so callers can hash it while
// it is written; memory use does not depend on the sizes of the entries.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/source_tree.h"
#include "common/zip_directory.h"

namespace kc::tools {

enum class ZipMethod { Store, Deflate };

class ZipWriter {
 public:
  using Sink = std::function<void(const void* data, std::size_t size)>;

  ZipWriter(Sink sink, ZipMethod method, std::string shownName);
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  // Streams a file's data into the archive (a symbolic link as its target
  // text). An unreadable input, or one whose size changed since it was
  // scanned, is a ToolFailure naming the file.
  void AddFile(const SourceFile& file, const std::string& label = {});
  // An entry whose data is in memory; `mode` holds the permission bits. A
  // directory entry has no data.
  void AddEntry(const std::string& name, std::string_view data, std::int64_t mtime, std::uint32_t mode,
                bool directory = false, const std::string& label = {});
  // Copies an entry of another archive without decompressing it: the same
  // header this writer gives a new entry, then the stored bytes as they are.
  void AddCopied(const zip::ZipSource& source, const zip::ZipEntry& entry, const std::string& label = {});
  // Writes the central directory. Without Close the archive is incomplete.
  void Close();

  std::uint64_t bytesWritten() const { return bytesWritten_; }

 private:
  struct Record {
    std::string name;
    std::string comment;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint32_t crc = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t size = 0;
    std::uint64_t localOffset = 0;
    std::int64_t mtime = 0;
    std::uint32_t mode = 0;  // type and permission bits
    bool zip64 = false;
  };
  class Deflater;

  Record& Begin(const std::string& name, std::int64_t mtime, std::uint32_t mode, std::uint16_t method,
                std::uint16_t extraFlags, std::uint64_t expectedSize, const std::string& label);
  void Finish(Record& record);
  void AddMemory(const std::string& name, std::string_view data, std::int64_t mtime, std::uint32_t mode,
                 std::uint16_t method, const std::string& label);
  void Emit(const void* data, std::size_t size);
  // Streams data produced by `fill` (returns bytes written into the buffer, 0
  // at the end) through the entry's compression.
  void StreamData(Record& record, const std::function<std::size_t(char*, std::size_t)>& fill);

  Sink sink_;
  ZipMethod method_;
  std::string shownName_;
  std::vector<Record> records_;
  std::uint64_t bytesWritten_ = 0;
};

}  // namespace kc::tools
