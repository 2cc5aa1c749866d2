#include "common/names.h"
#include "engine/image_builder.h"
#include "engine/image_layout.h"
#include "platform/atomic_file.h"
#include "verify/checks.h"

namespace kc::verify {

namespace {

// Folders and files of an image: under these an archive entry is a piece of an
// earlier image that was packed along (an output folder inside a staging tree).
constexpr const char* kImageFolders[] = {engine::kKindCd, engine::kKindDisk, engine::kKindNetwork, "administrator",
                                         "end_user"};
constexpr const char* kImageOnlyFiles[] = {engine::kFileListName, engine::kPackageListName, engine::kSelfExtractingName,
                                           engine::kDiskImageName};

std::vector<std::string> Components(const std::string& name) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t slash; (slash = name.find('/', start)) != std::string::npos; start = slash + 1) {
    parts.push_back(name.substr(start, slash - start));
  }
  parts.push_back(name.substr(start));
  return parts;
}

// Why an entry looks like a leftover, or "".
std::string LeftoverReason(const ArchiveEntry& entry) {
  const std::vector<std::string> parts = Components(entry.name);
  for (const std::string& part : parts) {
    if (platform::IsTemporaryFileName(part)) {
      return "its entry \"" + entry.name + "\" is a temporary file that an interrupted write left behind";
    }
  }
  for (const char* folder : kImageFolders) {
    if (parts.size() > 1 && tools::EqualNoCase(parts.front(), folder)) {
      return "its entry \"" + entry.name + "\" lies under a folder of an earlier image (" + folder +
             "): an output folder was packed into the archive";
    }
  }
  if (!entry.directory) {
    for (const char* file : kImageOnlyFiles) {
      if (tools::EqualNoCase(parts.back(), file)) {
        return "its entry \"" + entry.name +
               "\" is a file of an earlier image: an output folder was packed into "
               "the archive";
      }
    }
  }
  return "";
}

}  // namespace

void CheckArchives(const ImageContents& image, Verdict& verdict) {
  for (const ImageFile& file : image.files) {
    if (!file.isArchive || !file.readProblem.empty()) continue;
    if (!file.archive.opened) {
      verdict.problems.push_back({file.name, "it does not open as an archive: " + file.archive.openProblem});
      continue;
    }
    for (const Problem& damaged : file.archive.damaged) {
      verdict.problems.push_back({file.name, "its entry \"" + damaged.file + "\" is damaged: " + damaged.reason});
    }
    for (const ArchiveEntry& entry : file.archive.entries) {
      if (const std::string reason = LeftoverReason(entry); !reason.empty()) {
        verdict.problems.push_back({file.name, reason});
      }
    }
  }
}

}  // namespace kc::verify
