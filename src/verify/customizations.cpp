#include <algorithm>

#include "common/names.h"
#include "config/keys.h"
#include "engine/image_layout.h"
#include "engine/tool_arguments.h"
#include "engine/work_area.h"
#include "verify/checks.h"

namespace kc::verify {

namespace {

constexpr const char* kClientArchive = "lume.z";
constexpr const char* kAccountArchive = "as.z";

// A staging target below the staging tree as the client's archive names it
// ("\custom\temptree\config\velomark.cfg" -> "config/velomark.cfg"), or "".
std::string EntryOfTarget(const std::string& target) {
  const std::string tree = std::string(engine::kTemptreePart) + "\\";
  if (target.rfind(tree, 0) != 0) return "";
  std::string entry = target.substr(tree.size());
  std::replace(entry.begin(), entry.end(), '\\', '/');
  return entry;
}

const ArchiveEntry* EntryNamed(const ImageFile& archive, const std::string& name) {
  for (const ArchiveEntry& entry : archive.archive.entries) {
    if (!entry.directory && tools::EqualNoCase(entry.name, name)) return &entry;
  }
  return nullptr;
}

}  // namespace

void ListCustomizations(const ImageContents& image, Verdict& verdict) {
  struct Placed {
    const char* key;
    std::string target;
  };
  std::vector<Placed> placed{{config::kCustomInboxPath, engine::kInboxTargetPart}};
  for (const engine::PlacedFile& file : engine::kReplacedFiles) placed.push_back({file.key, file.target});

  const ImageFile* client = image.Find(kClientArchive);
  for (const Placed& item : placed) {
    const std::string entry = EntryOfTarget(item.target);
    if (entry.empty()) {
      // Placed in the image itself (the readme and the licence).
      const std::string name = tools::FileNamePart(item.target);
      if (const ImageFile* file = image.Find(name)) {
        verdict.customizations.push_back({item.key, file->name, std::to_string(file->size) + " bytes"});
      }
    } else if (client != nullptr && EntryNamed(*client, entry) != nullptr) {
      verdict.customizations.push_back({item.key, client->name, entry});
    }
  }
  if (client != nullptr) {
    for (const ArchiveEntry& entry : client->archive.entries) {
      if (entry.label == engine::kConfigLabel)
        verdict.customizations.push_back({config::kCustomCfgPath, client->name, entry.name});
    }
  }
  if (const ImageFile* splash = image.Find(engine::kSplashName)) {
    verdict.customizations.push_back(
        {config::kInstallSplashPath, splash->name, std::to_string(splash->size) + " bytes"});
  }
  if (const ImageFile* account = image.Find(kAccountArchive)) {
    const auto files =
        std::count_if(account->archive.entries.begin(), account->archive.entries.end(),
                      [](const ArchiveEntry& entry) { return entry.label == engine::kAccountSetupLabel; });
    if (files > 0) {
      verdict.customizations.push_back(
          {config::kCustomAccountSetupPath, account->name, std::to_string(files) + " files"});
    }
  }
}

}  // namespace kc::verify
