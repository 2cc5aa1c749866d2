// "Adding Customizations": additional installers become modules of their own;
// the customization files are gathered in custom\temptree and merged, with the
// account setup package, into private copies of the lume, as and vue archives.
#include "config/keys.h"
#include "config/profile_access.h"
#include "config/run_paths.h"
#include "engine/additional_install_names.h"
#include "engine/directory_utils.h"
#include "engine/file_name_rule.h"
#include "engine/file_steps.h"
#include "engine/image_builder.h"
#include "engine/tool_arguments.h"
#include "engine/tool_launcher.h"
#include "engine/work_area.h"
#include "platform/files.h"
#include "platform/names.h"
#include "string_table.h"

namespace kc::engine {

namespace {

constexpr const char* kStagingStep = "Adding Customizations";

std::string Phrase(int first, const std::string& description) {
  return std::string(LoadString(first)) + " " + description + " " + LoadString(IDS_FILES);
}

}  // namespace

bool CImageBuilder::AdditionalInstallCollides(const std::string& installRoot, int slot, const std::string& choicesFile,
                                              const char* section, const std::string& filename) {
  using namespace config;
  const std::string step = "Adding additional install " + std::to_string(slot + 1);
  auto refuse = [&](const std::string& why) {
    report_.AddFailure(step, filename, why + " The installer was not added.");
    return true;
  };
  // The name becomes <filename>.z and .ini in source\modules: "..\..\x" would
  // write elsewhere. The page's rule, on the names the choices file holds.
  const AdditionalInstallKeys& other = kAdditionalInstall[1 - slot];
  const bool otherIncluded = IsExactly(ReadValue(choicesFile, section, other.include), kYes);
  const std::string otherName = otherIncluded ? ReadValue(choicesFile, section, other.filename) : "";
  const ModuleNameClash clash =
      ModuleFileNameClash(filename, otherIncluded ? &otherName : nullptr, LoadReservedModuleNames(installRoot));
  using Kind = ModuleNameClash::Kind;
  switch (clash.kind) {
    case Kind::kNone:
      return false;
    case Kind::kEmpty:
      return refuse("The additional install has no file name.");
    case Kind::kNotPlainFileName:
      return refuse("Its module file name \"" + filename + "\" is not a plain file name: " + clash.taker + ".");
    case Kind::kOtherSlot:
      return refuse("Both additional installs are called \"" + filename +
                    "\"; their module files would replace each other. Rename one of the installers.");
    case Kind::kInstallerFile:
      return refuse("The name \"" + filename + "\" is that of the installer's own " + clash.taker +
                    "; its module files would land over the installer's files.");
    case Kind::kDeliveredModule:
      return refuse("The name \"" + filename + "\" is that of a module the kit delivers; its files would be replaced.");
  }
  return false;
}

void CImageBuilder::StageAdditionalInstall(const std::string& installRoot, int slot, const std::string& choicesFile,
                                           const char* section) {
  using namespace config;
  const AdditionalInstallKeys& keys = kAdditionalInstall[slot];
  const std::string step = "Adding additional install " + std::to_string(slot + 1);
  const std::string path = ReadValue(choicesFile, section, keys.path);
  const std::string filename = ReadValue(choicesFile, section, keys.filename);
  const std::string description = ReadValue(choicesFile, section, keys.description);
  const std::string size = ReadValue(choicesFile, section, keys.size);
  if (AdditionalInstallCollides(installRoot, slot, choicesFile, section, filename)) {
    // Keeps the progress in step with a staged installer.
    Repaint();
    StepProgress();
    return;
  }

  const std::string modules = installRoot + config::kSourceModulesPart + "\\";
  const std::string archive = modules + filename + ".z";
  const std::string exe = filename + ".exe";
  // Mended: squash stores a single file under its own name, and the settings
  // file tells the installer to run "<filename>.exe"; "tool.beta.exe" was
  // packed as itself. The archive is made from a copy under the right name, and
  // an archive of an earlier build is never left standing in for this one.
  const std::string copyFolder = installRoot + AdditionalInstallCopyPart(slot + 1);
  const std::string copy = copyFolder + "\\" + exe;
  DeleteRecorded(archive, step, report_);
  MakeDirectoryRecorded(copyFolder, step, report_);
  if (CopyRecorded(path, copy, step, report_)) {
    RunTool(installRoot + kKitcompPart, kSquashTool, SquashFileArguments(copy, archive), {archive}, step, report_);
  }
  Repaint();
  StepProgress();

  const std::string settings = modules + filename + ".ini";
  if (!CopyRecorded(modules + "addinst.ini", settings, step, report_)) return;
  WriteRecorded(settings, kCompressGetCG0, kTargetFiles, exe, step, report_);
  WriteRecorded(settings, kDeleteFilesFile0, kFilename, exe, step, report_);
  WriteRecorded(settings, kAdditionalConfigurationAC0, kFilename, exe, step, report_);
  WriteRecorded(settings, kDefaults, kSize, size, step, report_);
  WriteRecorded(settings, kDefaults, kInstallationString, Phrase(IDS_INSTALLING, description), step, report_);
  WriteRecorded(settings, kDefaults, kConfigurationString, Phrase(IDS_CONFIGURING, description), step, report_);
  WriteRecorded(settings, kDefaults, kFileCopyString, Phrase(IDS_COPYING, description), step, report_);
  CarryWriteTime(modules + "addinst.ini", settings);
}

void CImageBuilder::ResetWorkArea(const std::string& installRoot) {
  // Mended: files staged by an earlier build (a cleared inbox, an animation
  // since replaced by one of another name) stayed in the staging tree and were
  // shipped by every later image. Each build stages into empty work areas.
  for (const char* part : kWorkAreaParts) {
    if (!RemoveTree(installRoot + part)) {
      report_.AddFailure(kStagingStep, installRoot + part,
                         "Files of an earlier build could not be removed from this work folder, so the images may "
                         "hold them: " +
                             win::LastErrorText());
    }
  }
}

std::string CImageBuilder::StageAccountPackage(const std::string& installRoot, const std::string& package,
                                               const std::string& step) {
  // Mended: squash's merge takes a folder's subfolders too, and a package at
  // D:\main.htm shipped the whole drive. Only the package folder's own files are
  // copied here and merged from here.
  const std::string folder = installRoot + kAccountPackagePart;
  MakeDirectoryRecorded(folder, step, report_);
  if (!CopyDirectoryFiles(package, folder, {}, [&](const std::string& file, const std::string& reason) {
        report_.AddFailure(step, file, reason);
      })) {
    report_.AddFailure(step, package, "Could not read the account setup package folder: " + win::LastErrorText());
  }
  return folder;
}

std::string CImageBuilder::StageLumeFiles(const std::string& installRoot, const std::string& choicesFile,
                                          const char* section, const std::string& step) {
  using namespace config;
  const std::string tempmod = installRoot + kTempmodPart + "\\";
  const std::string temptree = installRoot + kTemptreePart;
  const std::string inbox = ReadValue(choicesFile, section, kCustomInboxPath);
  if (!inbox.empty()) CopyRecorded(inbox, installRoot + kInboxTargetPart, step, report_);
  if (CopyRecorded(installRoot + config::kSourceModulesPart + "\\lume.ini", tempmod + "lume.ini", step, report_)) {
    const bool overwrite = IsExactly(ReadValue(choicesFile, section, kOverwriteCfg), kYes);
    WriteRecorded(tempmod + "lume.ini", kCompressGetCG5, kOptions, overwrite ? kLumeOptionsOverwrite : kLumeOptionsKeep,
                  step, report_);
    CarryWriteTime(installRoot + config::kSourceModulesPart + "\\lume.ini", tempmod + "lume.ini");
  }
  for (const PlacedFile& placed : kReplacedFiles) {
    const std::string source = ReadValue(choicesFile, section, placed.key);
    const std::string target = installRoot + placed.target;
    if (!source.empty()) {
      CopyRecorded(source, target, step, report_);
    } else {
      DeleteRecorded(target, step, report_);
    }
    if (placed.key == kCustomAddressbookPath || placed.key == kCustomSecurityFilesPath) Repaint();
  }
  const std::string small = ReadValue(choicesFile, section, kCustomSmallAnimationPath);
  const std::string large = ReadValue(choicesFile, section, kCustomLargeAnimationPath);
  if (!small.empty() && !large.empty() && platform::EqualNoCase(FileNamePart(small), FileNamePart(large))) {
    report_.AddFailure(step, large,
                       "Both animations are called \"" + FileNamePart(large) +
                           "\": the large animation replaces the small one in the installed client.");
  }
  for (const std::string& animation : {small, large}) {
    if (animation.empty()) continue;
    const std::string name = FileNamePart(animation);
    const std::string problem = FileNameProblem(name);
    if (problem.empty()) {
      CopyRecorded(animation, installRoot + kAnimationFolderPart + "\\" + name, step, report_);
    } else {
      report_.AddFailure(
          step, animation,
          "The animation's file name \"" + name + "\" is not a plain file name: " + problem + ". It was not added.");
    }
    Repaint();
  }
  return temptree;
}

void CImageBuilder::StageCustomizations(const std::string& installRoot, const std::string& sourceRoot) {
  using namespace config;
  const std::string choicesFile = installRoot + kChoicesFilePart;
  // The section Finish took the answers from, so that the staged files are the
  // ones whose modules Finish listed.
  const char* section = PlatformSection(choicesFile);
  const std::string kitcomp = installRoot + kKitcompPart;

  BeginStage(kStagingStep, 2 * count());

  if (!installRoot.empty()) MakeDirectoryRecorded(installRoot, kStagingStep, report_);
  ResetWorkArea(installRoot);
  for (const std::string& directory : kStagingDirectories) {
    MakeDirectoryRecorded(installRoot + directory, kStagingStep, report_);
  }

  for (int slot = 0; slot < 2; ++slot) {
    if (IsExactly(ReadValue(choicesFile, section, kAdditionalInstall[slot].include), kYes)) {
      StageAdditionalInstall(installRoot, slot, choicesFile, section);
    }
  }

  const std::string tempmod = installRoot + kTempmodPart + "\\";
  std::string stagingFolder;
  for (const std::string& stem : entries_) {
    if (!IsStagedStem(stem)) continue;
    const std::string step = "Staging the " + stem + " module";

    if (stem == "lume") {
      stagingFolder = StageLumeFiles(installRoot, choicesFile, section, step);
    } else if (stem == "as") {
      const std::string accountSetup = ReadValue(choicesFile, section, kCustomAccountSetupPath);
      if (!accountSetup.empty()) {
        const std::string package = DirectoryPart(accountSetup);
        if (package.empty()) {
          report_.AddFailure(step, accountSetup, "The account setup path names no folder; nothing was merged.");
        } else {
          stagingFolder = StageAccountPackage(installRoot, package, step);
        }
      }
    }

    const std::string archive = tempmod + stem + ".z";
    CopyRecorded(sourceRoot + config::kSourceModulesPart + "\\" + stem + ".z", archive, step, report_);
    Repaint();
    StepProgress();
    // With no folder chosen yet (an "as" or "vue" before any "lume", no account
    // setup package) there is nothing to merge: never the root of a drive.
    if (!stagingFolder.empty()) {
      RunTool(kitcomp, kSquashTool,
              SquashMergeArguments(stagingFolder + "\\*.*", archive, stem == "as" ? kAccountSetupLabel : nullptr),
              {archive}, step, report_);
      if (stem == "lume") {
        const std::string cfg = stagingFolder + kStagedCfgPart;
        // Only a configuration file that was staged can be marked.
        if (IsFile(cfg)) {
          RunTool(kitcomp, kSquashTool, SquashMergeArguments(cfg, archive, kConfigLabel), {archive}, step, report_);
        }
      }
    }
    Repaint();
    StepProgress();
  }
}

}  // namespace kc::engine
