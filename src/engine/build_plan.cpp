// The build plan: which images to build where, the engine operations in their
// fixed order, and the administrator's settings of a network installer.
#include "engine/build_plan.h"

#include "config/keys.h"
#include "config/profile_access.h"
#include "engine/directory_utils.h"
#include "engine/file_steps.h"
#include "engine/image_builder.h"
#include "engine/image_layout.h"
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

// The eleven writes into the administrator's copy of the installer settings,
// then its package list made again, so that setup.pkg describes the setup.ini
// the image now holds.
void SetUpAdministratorCd(CImageBuilder& builder, const std::string& installRoot, const std::string& administrator) {
  using namespace config;
  BuildReport& report = builder.report();
  const std::string adminSetup = administrator + "\\" + kKindCd + "\\setup.ini";
  const std::string step = "Setting up the administrator's CD image";
  // Writing into a missing file would make a settings file of eleven keys.
  if (!IsFile(adminSetup)) {
    report.AddFailure(step, adminSetup, "The image has no installer settings to adjust.");
    return;
  }
  WriteRecorded(adminSetup, kNetworkInstall, kMode, kAdmin, step, report);
  for (const char* key : kAdministratorDialogs) WriteRecorded(adminSetup, kProductDefaults, key, kYes, step, report);
  // Mended: the package list was made before these writes and gave the old
  // size and checksum of setup.ini. Without a first list (its failure is
  // already reported) there is nothing to make again.
  if (IsFile(administrator + "\\" + kKindCd + "\\" + kPackageListName))
    builder.ReindexCdImage(installRoot, administrator);
}

}  // namespace

bool IsNetworkInstaller(const std::string& choicesFile) {
  using namespace config;
  return IsExactly(ReadValue(choicesFile, PlatformSection(choicesFile), kNetOrLocal), kNet);
}

std::vector<PlannedImage> PlanImages(const std::string& choicesFile, const std::string& outputPath) {
  using namespace config;
  const char* section = PlatformSection(choicesFile);
  std::vector<PlannedImage> images;
  std::string requested = outputPath;
  if (IsNetworkInstaller(choicesFile)) {
    images.push_back({outputPath + kAdministratorPart, kKindCd, true});
    requested = outputPath + kEndUserPart;
  }
  for (const ImageRequest& request : kRequests) {
    if (IsExactly(ReadValue(choicesFile, section, request.key), kYes))
      images.push_back({requested, request.kind, false});
  }
  return images;
}

BuildReport RunBuildPlan(const config::RunPaths& paths, ProgressView& progress, Window& mainWindow,
                         const std::function<void(const BuildReport&)>& showCompletion, BuildObserver* observer) {
  using namespace config;
  const std::string& choices = paths.choicesFile;
  mainWindow.UpdateWindow();
  CImageBuilder builder(progress, mainWindow);
  BuildReport& report = builder.report();
  report.SetObserver(observer);

  // Mended: the plan read "Choices-32" whatever "Platform" said, while Finish
  // checked and stored the output path of "Choices-16": a 16-bit configuration
  // was built where nobody had checked, at the drive root when "Choices-32"
  // had no output path.
  const char* section = PlatformSection(choices);
  // Resolved once: the image assembly moves the current directory to the
  // kitcomp directory, and a relative path would put the images there, apart
  // from the directories made here.
  const std::string outputPath = FullOutputPath(ReadValue(choices, section, kOutputPath));
  bool outputUsable = false;
  if (outputPath.empty()) {
    // Finish refuses it; from anywhere else it would build at the root of the
    // current drive and empty a \CD folder there.
    report.AddFailure("Creating the output path", "", "No output path is set. No image was built.");
  } else {
    CreateOutputPath(outputPath);
    // Every image lies below the output path: where it cannot be made, each copy
    // into it would only fail again, so that one failure is reported alone.
    outputUsable = IsDirectory(outputPath);
    if (!outputUsable) {
      const std::string reason = IsFile(outputPath) ? std::string("It is a file, not a folder.")
                                                    : "Could not create it: " + win::LastErrorText();
      report.AddFailure("Creating the output path", outputPath, reason + " No image was built.");
    }
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

  if (outputUsable) {
    const bool network = IsNetworkInstaller(choices);
    for (const PlannedImage& image : PlanImages(choices, outputPath)) {
      builder.AssembleImage(installRoot, installRoot, image.outputDirectory, image.kind);
      // A network installer's end-user images follow one another unpainted.
      if (image.administrator || !network) mainWindow.UpdateWindow();
      if (image.administrator) SetUpAdministratorCd(builder, installRoot, image.outputDirectory);
    }
  }

  if (showCompletion) showCompletion(report);
  report.SetObserver(nullptr);
  return report;
}

}  // namespace kc::engine
