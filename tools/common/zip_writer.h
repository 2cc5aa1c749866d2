// Writes a zip archive through libarchive with normalized entries: uid and gid
// 0, no owner names, the mtime of the input, mode 0644 or 0755. Every byte of
// the archive goes to a sink, so callers can hash it while it is written.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>

#include "common/source_tree.h"

struct archive;

namespace kc::tools {

enum class ZipMethod { Store, Deflate };

class ZipWriter {
 public:
  using Sink = std::function<void(const void* data, std::size_t size)>;

  ZipWriter(Sink sink, ZipMethod method, std::string shownName);
  ~ZipWriter();
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  // Streams a file's data into the archive. An unreadable input, or one whose
  // size changed since it was scanned, is a ToolFailure naming the file.
  void AddFile(const SourceFile& file);
  // An entry whose data is in memory (entries carried over from an existing
  // archive, the label manifest). A directory entry has no data.
  void AddEntry(const std::string& name, std::string_view data, std::int64_t mtime, std::uint32_t mode,
                bool directory = false);
  // Writes the central directory. Without Close the archive is incomplete.
  void Close();

  std::uint64_t bytesWritten() const { return bytesWritten_; }

 private:
  [[noreturn]] void Fail(const std::string& what);
  static long WriteToSink(archive*, void* self, const void* data, std::size_t size);

  Sink sink_;
  std::string shownName_;
  archive* archive_ = nullptr;
  std::uint64_t bytesWritten_ = 0;
  std::exception_ptr pending_;
};

}  // namespace kc::tools
