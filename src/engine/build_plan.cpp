// The build plan: which images to build where, the engine operations in their
// fixed order, and the administrator's settings of a network installer.
#include "engine/build_plan.h"

#include "engine/directory_utils.h"
#include "engine/file_steps.h"
#include "engine/image_builder.h"
#include "config/keys.h"
#include "config/profile_access.h"
#include "platform/files.h"

namespace kc::engine {

namespace {

struct ImageRequest {
  const char* key;
  const char* kind;
};
constexpr ImageRequest kRequests[] = {
    {config::kCreateCd, kKindCd},
    {config::kCreateDisks, kKindDisk},
    {config::kCreateDownload, kKindNetwork},
};

// Set to "YES" in the administrator's CD image, in this order, after "Mode".
constexpr const char* kAdministratorDialogs[] = {
    config::kShowDialogs,          config::kShowSetupTypeDialog,    config::kShowReadmeDialog,
    config::kShowLicenseDialog,    config::kShowPathDialog,         config::kShowOptionsDialog,
    config::kShowAssociationsDialog, config::kShowSelectFolderDialog, config::kShowStartCopyDialog,
    config::kShowFinishDialog,
};

// Creates the output path level by level: the prefix up to each backslash and
// the whole path. Results are ignored here; whether the path exists is checked
// once at the end.
void CreateOutputPath(const std::string& outputPath) {
  std::string prefix;
  std::size_t position = 0;
  while (position < outputPath.size()) {
    while (position < outputPath.size() && outputPath[position] != '\\') prefix += outputPath[position++];
    MakeDirectory(prefix);
    if (position < outputPath.size() && outputPath[position] == '\\') {
      prefix += '\\';
      ++position;
    }
  }
}

bool IsAbsoluteWindowsPath(const std::string& path) {
  return (path.size() >= 3 && path[1] == ':' && path[2] == '\\') || path.rfind("\\\\", 0) == 0;
}

}  // namespace

BuildReport RunBuildPlan(const config::RunPaths& paths, ProgressView& progress, Window& mainWindow,
                         const std::function<void(const BuildReport&)>& showCompletion) {
  using namespace config;
  const std::string& choices = paths.choicesFile;
  mainWindow.UpdateWindow();
  CImageBuilder builder(progress, mainWindow);
  BuildReport& report = builder.report();

  ReadValue(choices, kGlobal, kPlatform);  // read, and of no account here
  // Resolved once: the image assembly moves the current directory to the
  // kitcomp directory, and a relative path would put the images there, apart
  // from the directories made here.
  const std::string outputPath = FullOutputPath(ReadValue(choices, kChoices32, kOutputPath));
  CreateOutputPath(outputPath);
  // Every image lies below the output path: where it cannot be made, each copy
  // into it would only fail again, so that one failure is reported alone.
  const bool outputUsable = outputPath.empty() || IsDirectory(outputPath);
  if (!outputUsable) {
    const std::string reason = IsFile(outputPath) ? std::string("It is a file, not a folder.")
                                                  : "Could not create it: " + win::LastErrorText();
    report.AddFailure("Creating the output path", outputPath, reason + " No image was built.");
  }

  // The program INI file names the install root again. A relative root there
  // would move with the current directory, which the image assembly changes:
  // such a root is the one start-up resolved once.
  std::string installRoot = ReadValue(paths.programIni, kKitComposer, kInstalledPath);
  if (!IsAbsoluteWindowsPath(installRoot)) installRoot = paths.installRoot;

  builder.ReadComponentCatalogue(installRoot);
  mainWindow.UpdateWindow();
  builder.StageCustomizations(installRoot, installRoot);
  mainWindow.UpdateWindow();

  if (!outputUsable) {
    // Nothing to assemble.
  } else if (!IsExactly(ReadValue(choices, kChoices32, kNetOrLocal), kNet)) {
    for (const ImageRequest& request : kRequests) {
      if (!IsExactly(ReadValue(choices, kChoices32, request.key), kYes)) continue;
      builder.AssembleImage(installRoot, installRoot, outputPath, request.kind);
      mainWindow.UpdateWindow();
    }
  } else {
    const std::string administrator = outputPath + "\\administrator";
    builder.AssembleImage(installRoot, installRoot, administrator, kKindCd);
    mainWindow.UpdateWindow();
    const std::string adminSetup = administrator + "\\CD\\setup.ini";
    const std::string step = "Setting up the administrator's CD image";
    WriteRecorded(adminSetup, kNetworkInstall, kMode, kAdmin, step, report);
    for (const char* key : kAdministratorDialogs) WriteRecorded(adminSetup, kProductDefaults, key, kYes, step, report);

    const std::string endUser = outputPath + "\\end_user";
    for (const ImageRequest& request : kRequests) {
      if (!IsExactly(ReadValue(choices, kChoices32, request.key), kYes)) continue;
      builder.AssembleImage(installRoot, installRoot, endUser, request.kind);
    }
  }

  if (showCompletion) showCompletion(report);
  return report;
}

}  // namespace kc::engine
