// The component catalogue: the module stems the generated installer contains,
// read from the engine setup.ini that Finish has just written.
#include "engine/component_catalogue.h"

#include "config/keys.h"
#include "config/profile_access.h"
#include "config/run_paths.h"
#include "engine/directory_utils.h"
#include "engine/file_name_rule.h"
#include "engine/image_builder.h"

namespace kc::engine {

namespace {

bool IsPathKey(const std::string& key) {
  // Spelled exactly: the same words in another letter case are module keys.
  return config::IsExactly(key, config::kDefaultPath) || config::IsExactly(key, config::kPathDependency) ||
         config::IsExactly(key, config::kChangeablePath);
}

}  // namespace

Catalogue ReadCatalogue(const std::string& setupIni) {
  using namespace config;
  Catalogue catalogue;
  // Whole key lists: a list cut to a fixed buffer would drop a component or
  // turn a cut name into a bogus one.
  for (const std::string& key : ReadAllKeys(setupIni, kComponents)) {
    std::string stem = ReadValue(setupIni, kComponents, key.c_str(), kCapacityComponents);
    if (!stem.empty()) catalogue.entries.push_back({std::move(stem), kComponents, key});
  }
  // Mended: keys that all have empty values name no module either; such a
  // catalogue was built into images without modules and reported complete.
  if (catalogue.entries.empty()) {
    if (!IsFile(setupIni)) {
      catalogue.emptyReason = "The installer settings file is missing.";
    } else if (ReadAllKeys(setupIni, kComponents).empty()) {
      catalogue.emptyReason = "The installer settings list no components.";
    } else {
      catalogue.emptyReason = "The installer settings list components, but none of them names a module.";
    }
    return catalogue;
  }

  for (const std::string& section : ReadAllKeys(setupIni, kSubComponents)) {
    for (const std::string& key : ReadAllKeys(setupIni, section.c_str())) {
      if (IsPathKey(key)) continue;
      std::string stem = ReadValue(setupIni, section.c_str(), key.c_str(), kCapacitySubComponentValue);
      if (!stem.empty()) catalogue.entries.push_back({std::move(stem), section, key});
    }
  }
  return catalogue;
}

std::string CatalogueNameProblem(const CatalogueEntry& entry) {
  const std::string problem = FileNameProblem(entry.stem);
  if (problem.empty()) return "";
  return "The component \"" + entry.key + "\" (in [" + entry.section + "]) names the module \"" + entry.stem +
         "\", which is not a plain file name: " + problem + ".";
}

int CImageBuilder::ReadComponentCatalogue(const std::string& installRoot) {
  entries_.clear();
  const std::string file = installRoot + config::kEngineSetupIniPart;
  const Catalogue catalogue = ReadCatalogue(file);
  if (!catalogue.emptyReason.empty()) {
    report_.AddFailure("Reading the component catalogue", file, catalogue.emptyReason);
    return -1;
  }
  for (const CatalogueEntry& entry : catalogue.entries) {
    // A module name joined into paths must stay a file name: the files of
    // "..\..\kitcomp\kitcomp" would land outside the image.
    const std::string problem = CatalogueNameProblem(entry);
    if (!problem.empty()) {
      report_.AddFailure("Reading the component catalogue", file, problem + " The module was left out.");
      continue;
    }
    entries_.push_back(entry.stem);
  }
  return 0;
}

}  // namespace kc::engine
