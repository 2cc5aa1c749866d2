// Start-up: the install root from .\kitcomp.ini, the customization folders
// below it and the run-wide paths; and the refresh of the working files.
#include "app/startup.h"

#include "config/keys.h"
#include "config/profile_access.h"
#include "engine/build_paths.h"
#include "platform/drives.h"
#include "platform/files.h"

namespace kc::app {

namespace {

bool IsAbsolute(const std::string& path) {
  return (path.size() >= 3 && path[1] == ':' && path[2] == '\\') || path.rfind("\\\\", 0) == 0;
}

}  // namespace

std::string UseKitDrives(const std::string& startupIni) {
  const std::size_t slash = startupIni.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? std::string() : startupIni.substr(0, slash + 1);
  return win::DriveTable::AddKitDrives(folder + kKitDrivesIni);
}

Result<config::RunPaths> StartUp(const std::string& startupIni, bool makeWorkFolders) {
  using namespace config;
  if (std::string problem = UseKitDrives(startupIni); !problem.empty()) return Error{problem};
  std::string installRoot = ReadValue(startupIni, kKitComposer, kInstalledPath, kCapacityDefault);

  // Resolved once, here: a relative root would otherwise be taken against
  // whatever the current directory is at each use, and the image assembly
  // changes it. An absolute root is kept as written (a trailing backslash
  // still doubles in every path built from it).
  if (!installRoot.empty() && !IsAbsolute(installRoot)) {
    char buffer[win::MAX_PATH] = {};
    const win::DWORD length = win::GetFullPathNameA(installRoot.c_str(), win::MAX_PATH, buffer, nullptr);
    if (length == 0 || length >= win::MAX_PATH) {
      return Error{"The install root \"" + installRoot + "\" named in " + startupIni +
                   " cannot be made into a full path: " + win::LastErrorText()};
    }
    installRoot.assign(buffer, length);
  }

  Result<RunPaths> paths = MakeRunPaths(installRoot);
  if (!paths) return Error{paths.error()};
  // Refused here rather than in dozens of failed build steps.
  if (std::string problem = engine::InstallRootLengthProblem(installRoot); !problem.empty()) return Error{problem};
  if (!makeWorkFolders) return paths;
  // Failures are not reported here: the parts that need these folders find
  // them missing and say so.
  win::CreateDirectoryA((installRoot + kCustomPart).c_str(), nullptr);
  win::CreateDirectoryA((installRoot + kCustomEnginePart).c_str(), nullptr);
  return paths;
}

bool RefreshWorkingFiles(const config::RunPaths& paths, const std::string& startingConfig) {
  const bool configCopied = win::CopyFileA(startingConfig.c_str(), paths.choicesFile.c_str(), win::FALSE) == win::TRUE;
  const bool setupCopied =
      win::CopyFileA(paths.sourceSetupIni.c_str(), paths.engineSetupIni.c_str(), win::FALSE) == win::TRUE;
  return configCopied && setupCopied;
}

}  // namespace kc::app
