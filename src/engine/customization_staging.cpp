// "Adding Customizations": additional installers become modules of their own;
// the customization files are gathered in custom\temptree and merged, with the
// account setup package, into private copies of the lume, as and vue archives.
#include <set>

#include "engine/directory_utils.h"
#include "engine/file_steps.h"
#include "engine/image_builder.h"
#include "engine/tool_launcher.h"
#include "config/keys.h"
#include "config/profile_access.h"
#include "config/run_paths.h"
#include "platform/files.h"
#include "string_table.h"

namespace kc::engine {

namespace {

constexpr const char* kStagingStep = "Adding Customizations";

// Staging directories below the install root, parents first.
constexpr const char* kStagingDirectories[] = {
    "\\custom\\tempmod",
    "\\custom\\temptree",
    "\\custom\\temptree\\program",
    "\\custom\\temptree\\program\\defaults",
    "\\custom\\temptree\\program\\defaults\\mail",
    "\\custom\\temptree\\config",
};

struct PlacedFile {
  const char* key;
  const char* target;  // below the install root
};

// Copied when the key names a file, else the target is deleted so that a file
// staged by an earlier build is not carried into this one.
constexpr PlacedFile kReplacedFiles[] = {
    {config::kCustomReadmePath, "\\custom\\engine\\readme.txt"},
    {config::kCustomLicensePath, "\\custom\\engine\\license.txt"},
    {config::kCustomCfgPath, "\\custom\\temptree\\config\\velomark.cfg"},
    {config::kCustomBookmarkPath, "\\custom\\temptree\\program\\defaults\\bookmark.htm"},
    {config::kCustomAddressbookPath, "\\custom\\temptree\\program\\defaults\\pab.ab2"},
    {config::kCustomSecurityFilesPath, "\\custom\\temptree\\program\\defaults\\signed0.db"},
};

std::string Stem(const std::string& fileName) { return fileName.substr(0, fileName.find('.')); }

std::string Phrase(int first, const std::string& description) {
  return std::string(LoadString(first)) + " " + description + " " + LoadString(IDS_FILES);
}

}  // namespace

bool CImageBuilder::AdditionalInstallCollides(const std::string& installRoot, int slot,
                                              const std::string& choicesFile, const std::string& filename) {
  using namespace config;
  const std::string step = "Adding additional install " + std::to_string(slot + 1);
  auto refuse = [&](const std::string& why) {
    report_.AddFailure(step, filename, why + " The installer was not added.");
    return true;
  };
  if (filename.empty()) return refuse("The additional install has no file name.");

  const AdditionalInstallKeys& other = kAdditionalInstall[1 - slot];
  if (IsExactly(ReadValue(choicesFile, kChoices32, other.include), kYes) &&
      SameFileName(ReadValue(choicesFile, kChoices32, other.filename), filename)) {
    return refuse("Both additional installs are called \"" + filename +
                  "\"; their module files would replace each other. Rename one of the installers.");
  }

  std::set<std::string> reserved = {"lume", "as", "vue", "addinst"};
  const std::string programIni = installRoot + kProgramIniPart;
  for (const char* section : {kMainModules32, kAvailable32, kMultimedia32}) {
    for (const std::string& key : ReadAllKeys(programIni, section)) {
      reserved.insert(ReadValue(programIni, section, key.c_str()));
    }
  }
  for (const std::string& name : reserved) {
    if (SameFileName(name, filename)) {
      return refuse("The name \"" + filename + "\" is that of a module the kit delivers; its files would be replaced.");
    }
  }

  bool collides = false;
  std::string clash;
  win::WIN32_FIND_DATAA data;
  const std::string pattern = installRoot + "\\source\\install\\*.*";
  win::HANDLE find = win::FindFirstFileA(pattern.c_str(), &data);
  if (find != win::INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name != "." && name != ".." && !collides && SameFileName(Stem(name), filename)) {
        collides = true;
        clash = name;
      }
    } while (win::FindNextFileA(find, &data) == win::TRUE);
    win::FindClose(find);
  }
  if (collides) {
    return refuse("The name \"" + filename + "\" is that of the installer's own " + clash +
                  "; its module files would land over the installer's files.");
  }
  return false;
}

void CImageBuilder::StageAdditionalInstall(const std::string& installRoot, int slot, const std::string& choicesFile) {
  using namespace config;
  const AdditionalInstallKeys& keys = kAdditionalInstall[slot];
  const std::string step = "Adding additional install " + std::to_string(slot + 1);
  const std::string path = ReadValue(choicesFile, kChoices32, keys.path);
  const std::string filename = ReadValue(choicesFile, kChoices32, keys.filename);
  const std::string description = ReadValue(choicesFile, kChoices32, keys.description);
  const std::string size = ReadValue(choicesFile, kChoices32, keys.size);
  if (AdditionalInstallCollides(installRoot, slot, choicesFile, filename)) {
    // Keeps the progress in step with a staged installer.
    Repaint();
    StepProgress();
    return;
  }

  const std::string modules = installRoot + "\\source\\modules\\";
  RunTool(installRoot + kKitcompPart, kSquashTool, "\"" + path + "\" \"" + modules + filename + ".z\"",
          {modules + filename + ".z"}, step, report_);
  Repaint();
  StepProgress();

  const std::string settings = modules + filename + ".ini";
  if (!CopyRecorded(modules + "addinst.ini", settings, step, report_)) return;
  const std::string exe = filename + ".exe";
  WriteRecorded(settings, kCompressGetCG0, kTargetFiles, exe, step, report_);
  WriteRecorded(settings, kDeleteFilesFile0, kFilename, exe, step, report_);
  WriteRecorded(settings, kAdditionalConfigurationAC0, kFilename, exe, step, report_);
  WriteRecorded(settings, kDefaults, kSize, size, step, report_);
  WriteRecorded(settings, kDefaults, kInstallationString, Phrase(IDS_INSTALLING, description), step, report_);
  WriteRecorded(settings, kDefaults, kConfigurationString, Phrase(IDS_CONFIGURING, description), step, report_);
  WriteRecorded(settings, kDefaults, kFileCopyString, Phrase(IDS_COPYING, description), step, report_);
  CarryWriteTime(modules + "addinst.ini", settings);
}

void CImageBuilder::StageCustomizations(const std::string& installRoot, const std::string& sourceRoot) {
  using namespace config;
  const std::string choicesFile = installRoot + kChoicesFilePart;
  const std::string kitcomp = installRoot + kKitcompPart;

  BeginStage(kStagingStep, 2 * count());

  if (!installRoot.empty()) MakeDirectoryRecorded(installRoot, kStagingStep, report_);
  for (const char* directory : kStagingDirectories) {
    MakeDirectoryRecorded(installRoot + directory, kStagingStep, report_);
  }

  for (int slot = 0; slot < 2; ++slot) {
    if (IsExactly(ReadValue(choicesFile, kChoices32, kAdditionalInstall[slot].include), kYes)) {
      StageAdditionalInstall(installRoot, slot, choicesFile);
    }
  }

  const std::string tempmod = installRoot + "\\custom\\tempmod\\";
  const std::string temptree = installRoot + "\\custom\\temptree";
  std::string stagingFolder;
  for (const std::string& stem : entries_) {
    if (!IsStagedStem(stem)) continue;
    const std::string step = "Staging the " + stem + " module";

    if (stem == "lume") {
      const std::string inbox = ReadValue(choicesFile, kChoices32, kCustomInboxPath);
      if (!inbox.empty()) {
        CopyRecorded(inbox, temptree + "\\program\\defaults\\mail\\inbox", step, report_);
      }
      if (CopyRecorded(installRoot + "\\source\\modules\\lume.ini", tempmod + "lume.ini", step, report_)) {
        const bool overwrite = IsExactly(ReadValue(choicesFile, kChoices32, kOverwriteCfg), kYes);
        WriteRecorded(tempmod + "lume.ini", kCompressGetCG5, kOptions,
                      overwrite ? kLumeOptionsOverwrite : kLumeOptionsKeep, step, report_);
        CarryWriteTime(installRoot + "\\source\\modules\\lume.ini", tempmod + "lume.ini");
      }
      for (const PlacedFile& placed : kReplacedFiles) {
        const std::string source = ReadValue(choicesFile, kChoices32, placed.key);
        const std::string target = installRoot + placed.target;
        if (!source.empty()) {
          CopyRecorded(source, target, step, report_);
        } else {
          DeleteRecorded(target, step, report_);
        }
        if (placed.key == kCustomAddressbookPath || placed.key == kCustomSecurityFilesPath) Repaint();
      }
      const std::string small = ReadValue(choicesFile, kChoices32, kCustomSmallAnimationPath);
      const std::string large = ReadValue(choicesFile, kChoices32, kCustomLargeAnimationPath);
      if (!small.empty() && !large.empty() && SameFileName(FileNamePart(small), FileNamePart(large))) {
        report_.AddFailure(step, large,
                           "Both animations are called \"" + FileNamePart(large) +
                               "\": the large animation replaces the small one in the installed client.");
      }
      for (const std::string& animation : {small, large}) {
        if (animation.empty()) continue;
        CopyRecorded(animation, temptree + "\\program\\" + FileNamePart(animation), step, report_);
        Repaint();
      }
      stagingFolder = temptree;
    } else if (stem == "as") {
      const std::string accountSetup = ReadValue(choicesFile, kChoices32, kCustomAccountSetupPath);
      if (!accountSetup.empty()) {
        stagingFolder = DirectoryPart(accountSetup);
        if (stagingFolder.empty()) {
          report_.AddFailure(step, accountSetup, "The account setup path names no folder; nothing was merged.");
        }
      }
    }

    const std::string archive = tempmod + stem + ".z";
    CopyRecorded(sourceRoot + "\\source\\modules\\" + stem + ".z", archive, step, report_);
    Repaint();
    StepProgress();
    // With no folder chosen yet (an "as" or "vue" before any "lume", no account
    // setup package) there is nothing to merge: never the root of a drive.
    if (!stagingFolder.empty()) {
      std::string arguments = "-i -o -sh \"" + stagingFolder + "\\*.*\" \"" + archive + "\"";
      if (stem == "as") arguments += " asw";
      RunTool(kitcomp, kSquashTool, arguments, {archive}, step, report_);
      if (stem == "lume") {
        const std::string cfg = stagingFolder + "\\config\\velomark.cfg";
        // Only a configuration file that was staged can be marked.
        if (IsFile(cfg)) {
          RunTool(kitcomp, kSquashTool, "-i -o -sh \"" + cfg + "\" \"" + archive + "\" CONFIG", {archive}, step,
                  report_);
        }
      }
    }
    Repaint();
    StepProgress();
  }
}

}  // namespace kc::engine
