#include "common/names.h"
#include "config/keys.h"
#include "config/profile_access.h"
#include "engine/component_catalogue.h"
#include "engine/image_layout.h"
#include "verify/checks.h"

namespace kc::verify {

namespace {

constexpr const char* kSettingsName = "setup.ini";

// The installer's own files (setup.exe, setup.ini, setup.pkg...) share a stem
// that is no module's.
constexpr const char* kInstallerStem = "setup";

// The stem of a module file name, or "" for other files.
std::string ModuleStem(const std::string& name) {
  for (const char* extension : engine::kModuleExtensions) {
    const std::string end(extension);
    if (name.size() > end.size() && tools::EqualNoCase(name.substr(name.size() - end.size()), end)) {
      return name.substr(0, name.size() - end.size());
    }
  }
  return "";
}

bool StartsWith(const std::string& kind, const char* start) {
  return kind.rfind(start, 0) == 0;
}

}  // namespace

void CheckInstallerSettings(const ImageContents& image, Verdict& verdict) {
  using namespace config;
  auto problem = [&](const std::string& file, const std::string& reason) {
    verdict.problems.push_back({file, reason});
  };
  const ImageFile* settings = image.Find(kSettingsName);
  if (settings == nullptr || settings->settingsPath.empty()) {
    problem(kSettingsName, settings == nullptr ? "the installer's settings are missing" : "it cannot be read");
    return;
  }
  const std::string& file = settings->settingsPath;

  const engine::Catalogue catalogue = engine::ReadCatalogue(file);
  if (!catalogue.emptyReason.empty()) problem(kSettingsName, catalogue.emptyReason);
  std::vector<std::string> stems;
  for (const engine::CatalogueEntry& entry : catalogue.entries) {
    if (const std::string bad = engine::CatalogueNameProblem(entry); !bad.empty()) {
      problem(kSettingsName, bad);
      continue;
    }
    stems.push_back(entry.stem);
    verdict.modules.push_back(entry.stem);
    // The script is optional: a module has one when its package list says so.
    for (const char* extension : {".z", ".ini"}) {
      const std::string name = entry.stem + extension;
      if (image.Find(name) == nullptr) {
        problem(name, "the component \"" + entry.key + "\" (in [" + entry.section + "]) names the module \"" +
                          entry.stem + "\", but the image does not hold this file of it");
      }
    }
  }

  verdict.mode = ReadValue(file, kNetworkInstall, kMode);
  const bool administrator = StartsWith(image.kind, "administrator");
  const bool endUser = StartsWith(image.kind, "end-user");
  if (!IsExactly(verdict.mode, kAdmin) && !IsExactly(verdict.mode, kEndUser)) {
    problem(kSettingsName, std::string("[") + kNetworkInstall + "] " + kMode + " is \"" + verdict.mode +
                               "\", neither \"" + kAdmin + "\" nor \"" + kEndUser + "\"");
  } else if (administrator && !IsExactly(verdict.mode, kAdmin)) {
    problem(kSettingsName, std::string("an administrator image, but [") + kNetworkInstall + "] " + kMode + " is \"" +
                               verdict.mode + "\", not \"" + kAdmin + "\"");
  } else if (endUser && !IsExactly(verdict.mode, kEndUser)) {
    problem(kSettingsName, std::string("an end user's image, but [") + kNetworkInstall + "] " + kMode + " is \"" +
                               verdict.mode + "\", not \"" + kEndUser + "\"");
  }
  if (administrator) {
    for (const char* key : engine::kAdministratorDialogs) {
      const std::string value = ReadValue(file, kProductDefaults, key);
      if (!IsExactly(value, kYes)) {
        problem(kSettingsName, std::string("an administrator image shows every dialog, but [") + kProductDefaults +
                                   "] " + key + " is \"" + value + "\", not \"" + kYes + "\"");
      }
    }
  }

  for (const ImageFile& placed : image.files) {
    const std::string stem = ModuleStem(placed.name);
    if (placed.folder || stem.empty() || tools::EqualNoCase(stem, kInstallerStem)) continue;
    bool named = false;
    for (const std::string& wanted : stems) named = named || tools::EqualNoCase(wanted, stem);
    if (!named) problem(placed.name, "a module file that no component of setup.ini names");
  }
}

}  // namespace kc::verify
