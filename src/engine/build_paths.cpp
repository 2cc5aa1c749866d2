#include "engine/build_paths.h"

#include "config/keys.h"
#include "config/profile_access.h"
#include "config/run_paths.h"
#include "engine/build_plan.h"
#include "engine/directory_utils.h"
#include "engine/disk_image.h"
#include "engine/image_builder.h"
#include "engine/image_layout.h"
#include "engine/tool_arguments.h"
#include "engine/tool_launcher.h"
#include "engine/work_area.h"
#include "platform/files.h"

namespace kc::engine {

namespace {

// The names of the plain files directly in `folder`.
std::vector<std::string> FileNamesIn(const std::string& folder) {
  std::vector<std::string> names;
  win::WIN32_FIND_DATAA data;
  win::HANDLE find = win::FindFirstFileA((folder + "\\*.*").c_str(), &data);
  if (find == win::INVALID_HANDLE_VALUE) return names;
  do {
    if ((data.dwFileAttributes & win::FILE_ATTRIBUTE_DIRECTORY) == 0) names.emplace_back(data.cFileName);
  } while (win::FindNextFileA(find, &data) == win::TRUE);
  win::FindClose(find);
  return names;
}

void AddModuleFiles(const std::string& installRoot, const std::string& stem, LongestPath& longest) {
  for (const char* extension : kModuleExtensions)
    longest.Path(installRoot + config::kSourceModulesPart + "\\" + stem + extension);
  if (IsStagedStem(stem)) longest.Path(installRoot + kTempmodPart + "\\" + stem + ".z");
}

}  // namespace

void LongestPath::Consider(const std::string& text, bool commandLine) {
  if (text.size() <= text_.size()) return;
  text_ = text;
  commandLine_ = commandLine;
}

bool LongestPath::fits() const {
  return text_.size() <= config::kMaxPathLength;
}

std::string LongestPath::Describe() const {
  return std::string(commandLine_ ? "the command line " : "the path ") + text_ + " (" + std::to_string(text_.size()) +
         " characters; at most " + std::to_string(config::kMaxPathLength) + " fit)";
}

void AddInstallRootPaths(const std::string& installRoot, LongestPath& longest) {
  using namespace config;
  for (const char* part : {kChoicesFilePart, kProgramIniPart, kDefaultConfigPart, kEngineSetupIniPart,
                           kSourceSetupIniPart, kFinishDraftPart, kFinishChoicesPart}) {
    longest.Path(installRoot + part);
  }
  const std::string kitcomp = installRoot + kKitcompPart;
  for (const char* tool : {kSquashTool, kPkgIndexTool, kSfxMakerTool}) longest.Path(kitcomp + "\\" + tool);
  const std::string sfxSettings = kitcomp + "\\sfxmaker.ini";
  longest.Path(sfxSettings);
  longest.Path(kitcomp + "\\" + kPackageListName);
  longest.CommandLine(ToolCommandLine(kitcomp, kSfxMakerTool, Quoted(sfxSettings)));

  for (const std::string& directory : kStagingDirectories) longest.Path(installRoot + directory);
  for (const PlacedFile& placed : kReplacedFiles) longest.Path(installRoot + placed.target);
  longest.Path(installRoot + kInboxTargetPart);
  const std::string tempmod = installRoot + kTempmodPart + "\\";
  const std::string temptree = installRoot + kTemptreePart;
  const std::string account = installRoot + kAccountPackagePart;
  longest.Path(tempmod + "lume.ini");
  // The merges of the staged archives: lume and vue from the staging tree, as
  // (and vue after it) from the account setup package.
  longest.CommandLine(
      ToolCommandLine(kitcomp, kSquashTool, SquashMergeArguments(temptree + "\\*.*", tempmod + "lume.z")));
  longest.CommandLine(ToolCommandLine(
      kitcomp, kSquashTool, SquashMergeArguments(temptree + kStagedCfgPart, tempmod + "lume.z", kConfigLabel)));
  longest.CommandLine(ToolCommandLine(kitcomp, kSquashTool,
                                      SquashMergeArguments(account + "\\*.*", tempmod + "as.z", kAccountSetupLabel)));
  longest.CommandLine(
      ToolCommandLine(kitcomp, kSquashTool, SquashMergeArguments(account + "\\*.*", tempmod + "vue.z")));

  for (const std::string& name : FileNamesIn(installRoot + config::kSourceInstallPart)) {
    longest.Path(installRoot + config::kSourceInstallPart + "\\" + name);
  }
  std::vector<std::string> delivered = {"lume", "as", "vue", "addinst"};
  const std::string programIni = installRoot + kProgramIniPart;
  for (const char* list : {kMainModules32, kAvailable32, kMultimedia32}) {
    for (const std::string& key : ReadAllKeys(programIni, list))
      delivered.push_back(ReadValue(programIni, list, key.c_str()));
  }
  for (const std::string& stem : delivered) AddModuleFiles(installRoot, stem, longest);
}

void AddBuildPaths(const std::string& installRoot, const std::string& choicesFile, const std::string& outputPath,
                   const std::vector<std::string>& stems, LongestPath& longest) {
  using namespace config;
  const char* section = PlatformSection(choicesFile);
  const std::string kitcomp = installRoot + kKitcompPart;
  const std::string modules = installRoot + config::kSourceModulesPart + "\\";
  for (const std::string& stem : stems) AddModuleFiles(installRoot, stem, longest);

  for (int slot = 0; slot < 2; ++slot) {
    const AdditionalInstallKeys& keys = kAdditionalInstall[slot];
    if (!IsExactly(ReadValue(choicesFile, section, keys.include), kYes)) continue;
    const std::string filename = ReadValue(choicesFile, section, keys.filename);
    const std::string copy = installRoot + AdditionalInstallCopyPart(slot + 1) + "\\" + filename + ".exe";
    longest.Path(copy);
    AddModuleFiles(installRoot, filename, longest);
    longest.CommandLine(ToolCommandLine(kitcomp, kSquashTool, SquashFileArguments(copy, modules + filename + ".z")));
  }
  for (const char* key : {kCustomSmallAnimationPath, kCustomLargeAnimationPath}) {
    const std::string animation = ReadValue(choicesFile, section, key);
    if (!animation.empty()) longest.Path(installRoot + kAnimationFolderPart + "\\" + FileNamePart(animation));
  }
  const std::string accountSetup = ReadValue(choicesFile, section, kCustomAccountSetupPath);
  if (!accountSetup.empty() && !DirectoryPart(accountSetup).empty()) {
    for (const std::string& name : FileNamesIn(DirectoryPart(accountSetup))) {
      longest.Path(installRoot + kAccountPackagePart + "\\" + name);
    }
  }

  // Every file an image holds: the installer's own, those of fixed names and
  // the module files, in the image directory or the network image's temp\.
  std::vector<std::string> names = FileNamesIn(installRoot + config::kSourceInstallPart);
  names.insert(names.end(), std::begin(kFixedImageNames), std::end(kFixedImageNames));
  for (const std::string& stem : stems) {
    for (const char* extension : kModuleExtensions) names.push_back(stem + extension);
  }
  for (const PlannedImage& image : PlanImages(choicesFile, outputPath)) {
    const std::string directory = image.outputDirectory + "\\" + image.kind + "\\";
    const std::string fileList = directory + kFileListName;
    if (image.kind == std::string(kKindCd)) {
      longest.Path(fileList);
      for (const std::string& name : names) longest.Path(directory + name);
      longest.CommandLine(ToolCommandLine(kitcomp, kPkgIndexTool, Quoted(fileList), ToolName::kFullPath));
    } else if (image.kind == std::string(kKindNetwork)) {
      longest.Path(fileList);
      for (const std::string& name : names) longest.Path(directory + kGatheringFolder + name);
      longest.Path(directory + kSelfExtractingName);
      longest.CommandLine(ToolCommandLine(kitcomp, kPkgIndexTool, Quoted(fileList)));
    } else if (image.kind == std::string(kKindDisk)) {
      // Gathered in the work area, written into one file of the image directory.
      const std::string diskList = installRoot + kDiskFileListPart;
      longest.Path(diskList);
      for (const std::string& name : names) longest.Path(installRoot + kDiskGatheringPart + "\\" + name);
      longest.CommandLine(ToolCommandLine(kitcomp, kPkgIndexTool, Quoted(diskList)));
      longest.Path(directory + kDiskImageName);
    }
  }
}

std::string InstallRootLengthProblem(const std::string& installRoot) {
  LongestPath longest;
  AddInstallRootPaths(installRoot, longest);
  if (longest.fits()) return "";
  return "The install root " + installRoot + " is too long: a build would need " + longest.Describe() +
         ". Please move the kit to a folder with a shorter path.";
}

std::string BuildLengthProblem(const std::string& installRoot, const std::string& choicesFile,
                               const std::string& outputPath, const std::vector<std::string>& stems) {
  LongestPath longest;
  AddInstallRootPaths(installRoot, longest);
  AddBuildPaths(installRoot, choicesFile, outputPath, stems, longest);
  if (longest.fits()) return "";
  // Every path below the output path, and the package-list command lines,
  // hold it whole.
  if (!outputPath.empty() && longest.text().find(outputPath) != std::string::npos) {
    return "The output path " + outputPath + " is too long for this build: it would need " + longest.Describe() +
           ". Please choose a shorter output path.";
  }
  return "This build would need " + longest.Describe() +
         ", which is too long. Please choose shorter file names in the configuration, or move the kit to a folder "
         "with a shorter path.";
}

}  // namespace kc::engine
