#include <archive.h>
#include <archive_entry.h>

#include <memory>

#include "common/tool_failure.h"
#include "zip_read_back.h"

namespace kc::tools {

std::vector<ArchivedEntry> ReadZipContents(const std::string& hostPath, const std::string& shownName,
                                           WantData wantData) {
  std::unique_ptr<archive, decltype(&archive_read_free)> reader(archive_read_new(), &archive_read_free);
  archive* a = reader.get();
  auto fail = [&](const char* what) {
    const char* detail = archive_error_string(a);
    return ToolFailure(kExitBadInput,
                       shownName + ": " + what + (detail ? std::string(" (") + detail + ")" : std::string()));
  };
  archive_read_support_format_zip(a);
  if (archive_read_open_filename(a, hostPath.c_str(), 1 << 20) != ARCHIVE_OK)
    throw fail("cannot be read as a zip archive");
  std::vector<ArchivedEntry> entries;
  archive_entry* header = nullptr;
  int status;
  while ((status = archive_read_next_header(a, &header)) == ARCHIVE_OK || status == ARCHIVE_WARN) {
    ArchivedEntry entry;
    entry.name = archive_entry_pathname(header) ? archive_entry_pathname(header) : "";
    entry.directory = archive_entry_filetype(header) == AE_IFDIR;
    entry.symlink = archive_entry_filetype(header) == AE_IFLNK;
    if (entry.symlink && archive_entry_symlink(header)) entry.linkTarget = archive_entry_symlink(header);
    entry.size = static_cast<std::uint64_t>(archive_entry_size(header));
    entry.mtime = archive_entry_mtime(header);
    entry.mode = (archive_entry_perm(header) & 0111) ? 0755 : 0644;
    if (!entry.directory && wantData(entry.name)) {
      entry.data.resize(entry.size);
      const la_ssize_t got = archive_read_data(a, entry.data.data(), entry.data.size());
      if (got < 0 || static_cast<std::uint64_t>(got) != entry.size) throw fail("damaged entry in the archive");
    }
    entries.push_back(std::move(entry));
  }
  if (status != ARCHIVE_EOF) throw fail("damaged zip archive");
  return entries;
}

}  // namespace kc::tools
