// The component catalogue: the module stems the generated installer contains,
// read from the engine setup.ini that Finish has just written.
#include "engine/directory_utils.h"
#include "engine/image_builder.h"
#include "config/keys.h"
#include "config/profile_access.h"
#include "config/run_paths.h"

namespace kc::engine {

namespace {

bool IsPathKey(const std::string& key) {
  // Spelled exactly: the same words in another letter case are module keys.
  return config::IsExactly(key, config::kDefaultPath) || config::IsExactly(key, config::kPathDependency) ||
         config::IsExactly(key, config::kChangeablePath);
}

}  // namespace

int CImageBuilder::ReadComponentCatalogue(const std::string& installRoot) {
  using namespace config;
  entries_.clear();
  const std::string file = installRoot + kEngineSetupIniPart;

  // Whole key lists: a list cut to a fixed buffer would drop a component or
  // turn a cut name into a bogus one.
  const std::vector<std::string> components = ReadAllKeys(file, kComponents);
  if (components.empty()) {
    report_.AddFailure("Reading the component catalogue", file,
                       IsFile(file) ? "The installer settings list no components."
                                    : "The installer settings file is missing.");
    return -1;
  }
  for (const std::string& key : components) {
    std::string stem = ReadValue(file, kComponents, key.c_str(), kCapacityComponents);
    if (!stem.empty()) entries_.push_back(std::move(stem));
  }

  for (const std::string& section : ReadAllKeys(file, kSubComponents)) {
    for (const std::string& key : ReadAllKeys(file, section.c_str())) {
      if (IsPathKey(key)) continue;
      std::string stem = ReadValue(file, section.c_str(), key.c_str(), kCapacitySubComponentValue);
      if (!stem.empty()) entries_.push_back(std::move(stem));
    }
  }
  return 0;
}

}  // namespace kc::engine
