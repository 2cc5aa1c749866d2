#include "verify/archive_listing.h"

namespace kc::verify {

namespace {

// Earlier versions of squash kept the labels in this entry; it is metadata,
// not a file the installer would install.
constexpr const char* kLegacyLabels = ".squash/labels";
// How the zip reader starts its reasons; the listing says so itself.
constexpr const char* kDamaged = "damaged archive: ";

}  // namespace

ArchiveListing ListArchive(const zip::ZipSource& source) {
  ArchiveListing listing;
  std::vector<zip::ZipEntry> entries;
  try {
    entries = zip::ReadZipDirectory(source);
  } catch (const zip::ZipError& error) {
    listing.openProblem = error.what();
    return listing;
  }
  listing.opened = true;
  for (const zip::ZipEntry& entry : entries) {
    if (entry.name == kLegacyLabels) continue;
    listing.entries.push_back({entry.name, entry.comment, entry.IsDirectory()});
    if (entry.IsDirectory()) continue;
    try {
      zip::ReadEntryData(source, entry, [](const char*, std::size_t) {});
    } catch (const zip::ZipError& error) {
      std::string reason = error.what();
      if (reason.rfind(kDamaged, 0) == 0) reason.erase(0, std::string(kDamaged).size());
      listing.damaged.push_back({entry.name, reason});
    }
  }
  return listing;
}

}  // namespace kc::verify
