#include "config/run_paths.h"

namespace kc::config {

Result<std::string> CheckPathLength(const std::string& text, const std::string& what) {
  if (text.size() > kMaxPathLength) {
    return Error{what + " is too long (" + std::to_string(text.size()) + " characters; at most " +
                 std::to_string(kMaxPathLength) + " fit): " + text};
  }
  return text;
}

Result<std::string> AppendPath(const std::string& base, const std::string& part) {
  return CheckPathLength(base + part, "The path");
}

Result<RunPaths> MakeRunPaths(const std::string& installRoot) {
  RunPaths paths;
  paths.installRoot = installRoot;
  struct Part {
    std::string* target;
    const char* part;
  };
  const Part parts[] = {{&paths.choicesFile, kChoicesFilePart},
                        {&paths.programIni, kProgramIniPart},
                        {&paths.defaultConfig, kDefaultConfigPart},
                        {&paths.engineSetupIni, kEngineSetupIniPart},
                        {&paths.sourceSetupIni, kSourceSetupIniPart}};
  for (const Part& p : parts) {
    Result<std::string> path = AppendPath(installRoot, p.part);
    if (!path) {
      return Error{"The install root is too long for its files: " + path.error()};
    }
    *p.target = std::move(path).value();
  }
  return paths;
}

}  // namespace kc::config
