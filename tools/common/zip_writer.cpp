#include "common/zip_writer.h"

#include <archive.h>
#include <archive_entry.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <memory>
#include <vector>

#include "common/tool_failure.h"
#include "platform/files.h"

namespace kc::tools {
namespace {

constexpr std::size_t kReadBlock = 1 << 20;

using EntryPtr = std::unique_ptr<archive_entry, decltype(&archive_entry_free)>;

// Zip keeps DOS times in local time; pinning the zone makes the same inputs give
// the same bytes on every machine, whatever its TZ.
void UseUniversalTime() {
  static const bool pinned = [] {
    setenv("TZ", "UTC0", 1);
    tzset();
    return true;
  }();
  (void)pinned;
}

EntryPtr NewEntry(const std::string& name, std::uint64_t size, std::int64_t mtime, std::uint32_t mode, bool directory) {
  EntryPtr entry(archive_entry_new(), &archive_entry_free);
  archive_entry_set_pathname(entry.get(), name.c_str());
  archive_entry_set_filetype(entry.get(), directory ? AE_IFDIR : AE_IFREG);
  archive_entry_set_perm(entry.get(), directory ? 0755 : mode);
  archive_entry_set_size(entry.get(), directory ? 0 : static_cast<la_int64_t>(size));
  archive_entry_set_mtime(entry.get(), mtime, 0);
  archive_entry_set_uid(entry.get(), 0);
  archive_entry_set_gid(entry.get(), 0);
  return entry;
}

}  // namespace

ZipWriter::ZipWriter(Sink sink, ZipMethod method, std::string shownName)
    : sink_(std::move(sink)), shownName_(std::move(shownName)), archive_((UseUniversalTime(), archive_write_new())) {
  if (!archive_) throw ToolFailure(kExitBadOutput, shownName_ + ": out of memory");
  const char* compression = method == ZipMethod::Store ? "store" : "deflate";
  if (archive_write_set_format_zip(archive_) != ARCHIVE_OK ||
      archive_write_set_format_option(archive_, "zip", "compression", compression) != ARCHIVE_OK ||
      archive_write_set_bytes_per_block(archive_, 0) != ARCHIVE_OK ||  // the sink buffers
      archive_write_open2(archive_, this, nullptr, &ZipWriter::WriteToSink, nullptr, nullptr) != ARCHIVE_OK)
    Fail("cannot start the archive");
}

ZipWriter::~ZipWriter() {
  // An unclosed archive is abandoned: free without writing a central directory.
  if (archive_) archive_write_free(archive_);
}

void ZipWriter::Fail(const std::string& what) {
  if (pending_) std::rethrow_exception(pending_);
  const char* detail = archive_ ? archive_error_string(archive_) : nullptr;
  throw ToolFailure(kExitBadOutput, shownName_ + ": " + what + (detail ? std::string(" (") + detail + ")" : ""));
}

long ZipWriter::WriteToSink(archive*, void* self, const void* data, std::size_t size) {
  auto* writer = static_cast<ZipWriter*>(self);
  // No exception may cross libarchive's C frames: keep it and raise it in Fail.
  try {
    writer->sink_(data, size);
  } catch (...) {
    writer->pending_ = std::current_exception();
    return -1;
  }
  writer->bytesWritten_ += size;
  return static_cast<long>(size);
}

void ZipWriter::AddFile(const SourceFile& file) {
  std::FILE* input = win::fopen(file.windowsPath.c_str(), "rb");
  if (!input) throw ToolFailure(kExitBadInput, file.windowsPath + ": cannot be read: " + win::LastErrorText());
  std::unique_ptr<std::FILE, decltype(&std::fclose)> closer(input, &std::fclose);
  std::setvbuf(input, nullptr, _IONBF, 0);  // large reads go straight into our block
  EntryPtr entry = NewEntry(file.entryName, file.size, file.mtime, file.mode, false);
  if (archive_write_header(archive_, entry.get()) != ARCHIVE_OK) Fail("cannot add " + file.entryName);
  static std::vector<char> block(kReadBlock);
  std::uint64_t total = 0;
  for (;;) {
    const std::size_t got = std::fread(block.data(), 1, block.size(), input);
    if (got == 0) break;
    total += got;
    if (total > file.size) break;
    if (archive_write_data(archive_, block.data(), got) != static_cast<la_ssize_t>(got))
      Fail("cannot add " + file.entryName);
  }
  if (std::ferror(input)) throw ToolFailure(kExitBadInput, file.windowsPath + ": read error");
  if (total != file.size) throw ToolFailure(kExitBadInput, file.windowsPath + ": changed while being archived");
  if (archive_write_finish_entry(archive_) != ARCHIVE_OK) Fail("cannot add " + file.entryName);
}

void ZipWriter::AddEntry(const std::string& name, std::string_view data, std::int64_t mtime, std::uint32_t mode,
                         bool directory) {
  EntryPtr entry = NewEntry(name, data.size(), mtime, mode, directory);
  if (archive_write_header(archive_, entry.get()) != ARCHIVE_OK) Fail("cannot add " + name);
  if (!directory && !data.empty() &&
      archive_write_data(archive_, data.data(), data.size()) != static_cast<la_ssize_t>(data.size()))
    Fail("cannot add " + name);
  if (archive_write_finish_entry(archive_) != ARCHIVE_OK) Fail("cannot add " + name);
}

void ZipWriter::Close() {
  if (archive_write_close(archive_) != ARCHIVE_OK) Fail("cannot finish the archive");
  archive_write_free(archive_);
  archive_ = nullptr;
}

}  // namespace kc::tools
