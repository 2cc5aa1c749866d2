#include <algorithm>

#include "common/names.h"
#include "config/profile_access.h"
#include "platform/files.h"
#include "verify/checks.h"

namespace kc::verify {

namespace {

constexpr const char* kCompressGet = "CompressGet-";

bool IsWildcard(const std::string& name) {
  return name.find_first_of("*?") != std::string::npos;
}

// The archives a Source value takes files from: the one it names, or every
// archive of the image its pattern matches.
std::vector<const ImageFile*> SourceArchives(const ImageContents& image, const std::string& source) {
  std::vector<const ImageFile*> archives;
  if (!IsWildcard(source)) {
    if (const ImageFile* file = image.Find(source); file != nullptr && !file->folder) archives.push_back(file);
    return archives;
  }
  for (const ImageFile& file : image.files) {
    if (!file.folder && file.isArchive && win::NameMatchesPattern(source, file.name)) archives.push_back(&file);
  }
  return archives;
}

bool HoldsEntry(const ImageFile& archive, const std::string& wanted) {
  return std::any_of(archive.archive.entries.begin(), archive.archive.entries.end(), [&](const ArchiveEntry& entry) {
    return !entry.directory && tools::EqualNoCase(entry.name, wanted);
  });
}

}  // namespace

void CheckModuleSettings(const ImageContents& image, Verdict& verdict) {
  for (const std::string& stem : verdict.modules) {
    const ImageFile* settings = image.Find(stem + ".ini");
    if (settings == nullptr || settings->settingsPath.empty()) continue;  // named by the settings check
    const std::string& file = settings->settingsPath;
    for (const std::string& section : config::ReadAllKeys(file, nullptr)) {
      if (section.rfind(kCompressGet, 0) != 0) continue;
      const std::string where = "[" + section + "] ";
      const std::string source = config::ReadValue(file, section.c_str(), "Source");
      if (source.empty()) {
        verdict.problems.push_back({settings->name, where + "names no Source archive"});
        continue;
      }
      const std::vector<const ImageFile*> archives = SourceArchives(image, source);
      if (archives.empty()) {
        verdict.problems.push_back(
            {settings->name, where + "takes its files from \"" + source + "\", and the image holds no such archive"});
        continue;
      }
      std::string target = config::ReadValue(file, section.c_str(), "TargetFiles");
      if (target.empty() || IsWildcard(target)) continue;
      // Archive entries are "/" separated; the settings give Windows paths.
      std::replace(target.begin(), target.end(), '\\', '/');
      const bool opened = std::all_of(archives.begin(), archives.end(),
                                      [](const ImageFile* archive) { return archive->archive.opened; });
      const bool held = std::any_of(archives.begin(), archives.end(),
                                    [&](const ImageFile* archive) { return HoldsEntry(*archive, target); });
      // An archive that does not open is named by the archive check.
      if (opened && !held) {
        verdict.problems.push_back(
            {settings->name, where + "installs \"" + target + "\" from \"" + source + "\", which holds no such file"});
      }
    }
  }
}

}  // namespace kc::verify
