// Reads an ISO 9660 image back with libarchive's reader, as a program that
// mounts or unpacks it sees it (Rock Ridge names and modes), for the tests of
// the disk image.
#pragma once

#include <archive.h>
#include <archive_entry.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "platform/utf8_text.h"

namespace kc::test {

struct IsoFile {
  std::string contents;
  unsigned mode = 0;  // permission bits
  std::int64_t mtime = 0;
};

// Every entry but the root itself, by name; empty when the image cannot be read.
// By the Rock Ridge names, or by the Joliet names as Windows sees them.
inline std::map<std::string, IsoFile> ReadIso(const std::string& hostPath, bool joliet = false) {
  std::map<std::string, IsoFile> files;
  // Joliet names reach the caller through the thread's locale: UTF-8 here,
  // whatever the tests run under.
  platform::Utf8TextScope utf8;
  archive* reader = archive_read_new();
  archive_read_support_format_iso9660(reader);
  if (joliet) archive_read_set_options(reader, "iso9660:!rockridge");
  if (archive_read_open_filename(reader, hostPath.c_str(), 1 << 16) == ARCHIVE_OK) {
    archive_entry* entry = nullptr;
    while (archive_read_next_header(reader, &entry) == ARCHIVE_OK) {
      const char* utf8 = archive_entry_pathname_utf8(entry);
      const char* name8 = utf8 != nullptr ? utf8 : archive_entry_pathname(entry);
      const std::string name = name8 != nullptr ? name8 : "";
      if (name == "." || name == "./") continue;
      IsoFile& file = files[name];
      file.mode = archive_entry_perm(entry);
      file.mtime = archive_entry_mtime(entry);
      char block[65536];
      la_ssize_t got;
      while ((got = archive_read_data(reader, block, sizeof block)) > 0) file.contents.append(block, got);
    }
  }
  archive_read_free(reader);
  return files;
}

// `length` bytes of the image from `offset` (the volume descriptors' fields).
inline std::string IsoBytes(const std::string& hostPath, std::size_t offset, std::size_t length) {
  std::ifstream in(hostPath, std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return offset < all.size() ? all.substr(offset, length) : std::string();
}

}  // namespace kc::test
