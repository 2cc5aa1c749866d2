#include "sfxmaker/stub/extract.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>

namespace kc::sfx {
namespace {

using ReaderPtr = std::unique_ptr<archive, decltype(&archive_read_free)>;
using WriterPtr = std::unique_ptr<archive, decltype(&archive_write_free)>;

std::string Detail(archive* a) {
  const char* text = archive_error_string(a);
  return text ? std::string(" (") + text + ")" : std::string();
}

}  // namespace

std::string UnsafeNameReason(const std::string& name) {
  if (name.empty()) return "empty name";
  if (name[0] == '/' || name[0] == '\\' || (name.size() > 1 && name[1] == ':')) return "absolute path";
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of("/\\", start);
    if (end == std::string::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0) return "\"..\" in the path";
    start = end + 1;
  }
  return "";
}

bool ListEntries(Payload& payload, std::vector<PayloadEntry>& entries, std::string& error) {
  ReaderPtr reader(payload.OpenReader(error), &archive_read_free);
  if (!reader) return false;
  archive_entry* header = nullptr;
  int status;
  while ((status = archive_read_next_header(reader.get(), &header)) == ARCHIVE_OK || status == ARCHIVE_WARN) {
    const char* name = archive_entry_pathname(header);
    entries.push_back(PayloadEntry{name ? name : "", static_cast<long long>(archive_entry_size(header))});
  }
  if (status != ARCHIVE_EOF) {
    error = "corrupt: damaged archive" + Detail(reader.get());
    return false;
  }
  return true;
}

bool ExtractHere(Payload& payload, std::string& error) {
  std::vector<PayloadEntry> entries;
  if (!ListEntries(payload, entries, error)) return false;
  for (const PayloadEntry& entry : entries) {
    const std::string reason = UnsafeNameReason(entry.name);
    if (!reason.empty()) {
      error = "refusing to extract \"" + entry.name + "\": " + reason;
      return false;
    }
  }

  ReaderPtr reader(payload.OpenReader(error), &archive_read_free);
  if (!reader) return false;
  WriterPtr writer(archive_write_disk_new(), &archive_write_free);
  // The secure flags stay as a second line of defence behind the name check.
  archive_write_disk_set_options(writer.get(), ARCHIVE_EXTRACT_TIME | ARCHIVE_EXTRACT_PERM |
                                                   ARCHIVE_EXTRACT_SECURE_NODOTDOT | ARCHIVE_EXTRACT_SECURE_SYMLINKS |
                                                   ARCHIVE_EXTRACT_SECURE_NOABSOLUTEPATHS);
  archive_entry* header = nullptr;
  int status;
  while ((status = archive_read_next_header(reader.get(), &header)) == ARCHIVE_OK || status == ARCHIVE_WARN) {
    const std::string name = archive_entry_pathname(header) ? archive_entry_pathname(header) : "";
    if (archive_write_header(writer.get(), header) < ARCHIVE_WARN) {
      error = name + ": cannot be extracted" + Detail(writer.get());
      return false;
    }
    const void* block = nullptr;
    std::size_t size = 0;
    la_int64_t offset = 0;
    int dataStatus;
    while ((dataStatus = archive_read_data_block(reader.get(), &block, &size, &offset)) == ARCHIVE_OK) {
      if (archive_write_data_block(writer.get(), block, size, offset) < ARCHIVE_WARN) {
        error = name + ": cannot be written" + Detail(writer.get());
        return false;
      }
    }
    if (dataStatus != ARCHIVE_EOF) {
      error = "corrupt: " + name + Detail(reader.get());
      return false;
    }
    if (archive_write_finish_entry(writer.get()) < ARCHIVE_WARN) {
      error = name + ": cannot be written" + Detail(writer.get());
      return false;
    }
  }
  if (status != ARCHIVE_EOF) {
    error = "corrupt: damaged archive" + Detail(reader.get());
    return false;
  }
  if (archive_write_close(writer.get()) != ARCHIVE_OK) {
    error = "extraction could not be completed" + Detail(writer.get());
    return false;
  }
  return true;
}

}  // namespace kc::sfx
