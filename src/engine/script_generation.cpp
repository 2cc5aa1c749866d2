// Finish: the output drive checks and the copy of the answers into the
// generated installer's settings (the engine setup.ini).
#include "engine/script_generation.h"

#include <atomic>
#include <chrono>
#include <random>

#include "config/keys.h"
#include "config/profile_access.h"
#include "engine/build_paths.h"
#include "engine/build_plan.h"
#include "engine/component_catalogue.h"
#include "engine/directory_utils.h"
#include "engine/file_name_rule.h"
#include "engine/file_steps.h"
#include "engine/output_location.h"
#include "engine/work_area.h"
#include "platform/files.h"
#include "platform/folder_access.h"
#include "platform/ini_text.h"
#include "string_table.h"

namespace kc::engine {

namespace {

constexpr std::uint64_t kCdImageBytes = 18'000'000;
constexpr std::uint64_t kNetworkImageBytes = 25'000'000;

struct SettingRow {
  const char* section;  // in setup.ini
  const char* key;      // in setup.ini and in the choices file
};

// Copied key for key, in this order, an absent answer written as empty.
constexpr SettingRow kProductDefaults[] = {
    {config::kProductDefaults, config::kShowDialogs},
    {config::kProductDefaults, config::kShowWelcomeDialog},
    {config::kProductDefaults, config::kShowPathDialog},
    {config::kProductDefaults, config::kShowCustomDialog},
    {config::kProductDefaults, config::kShowAssociationsDialog},
    {config::kProductDefaults, config::kShowFinishDialog},
    {config::kProductDefaults, config::kShowRebootDialog},
    {config::kProductDefaults, config::kShowLicenseDialog},
    {config::kProductDefaults, config::kShowSetupTypeDialog},
    {config::kProductDefaults, config::kShowOptionsDialog},
    {config::kProductDefaults, config::kShowSelectFolderDialog},
    {config::kProductDefaults, config::kShowStartCopyDialog},
    {config::kProductDefaults, config::kShowReadmeDialog},
    {config::kProductDefaults, config::kProgramFolder},
    {config::kProductDefaults, config::kProductSetupTitle},
    {config::kProductDefaults, config::kProductSetupTitle1},
    {config::kProductDefaults, config::kProductSetupTitle2},
    {config::kProductDefaults, config::kProductPath},
    {config::kProductDefaults, config::kCreateLicenseIcon},
    {config::kProductDefaults, config::kCreateReadmeIcon},
};

// Rows after "Mode".
constexpr SettingRow kNetworkInstallRows[] = {
    {config::kNetworkInstall, config::kNetworkPathEditBox},
    {config::kNetworkInstall, config::kProfilePath},
    {config::kNetworkInstall, config::kProfilePathEditBox},
    {config::kNetworkInstall, config::kEndUserPathDialogOptionState},
    {config::kNetworkInstall, config::kEndUserPathDialogOption},
};

std::atomic<unsigned> g_probeCounter{0};

// A name no user file is likely to have, and never the same twice in a run.
std::string ProbeName() {
  static const unsigned long long seed = std::random_device{}();
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  return "kitcomp-probe-" + std::to_string(seed) + "-" + std::to_string(static_cast<unsigned long long>(ticks)) + "-" +
         std::to_string(g_probeCounter++) + ".tmp";
}

// Writes the settings rows; the first failure is kept, naming the file the
// settings are for.
class SettingsWriter {
 public:
  SettingsWriter(std::string file, std::string shownAs) : file_(std::move(file)), shownAs_(std::move(shownAs)) {}
  void Write(const char* section, const char* key, const std::string& value) {
    if (!config::WriteValue(file_, section, key, value) && problem_.empty()) {
      problem_ = std::string("The installer settings could not be written to ") + shownAs_ + " (\"" + key + "\" in [" +
                 section + "]): " + win::LastErrorText();
    }
  }
  void RemoveSection(const char* section) {
    if (!config::WriteValue(file_, section, nullptr, nullptr) && problem_.empty()) {
      problem_ = std::string("The section [") + section + "] could not be removed from " + shownAs_ + ": " +
                 win::LastErrorText();
    }
  }
  const std::string& problem() const { return problem_; }

 private:
  std::string file_;
  std::string shownAs_;
  std::string problem_;
};

// Removes Finish's drafts however Finish ends.
class Drafts {
 public:
  explicit Drafts(std::vector<std::string> files) : files_(std::move(files)) {
    for (const std::string& file : files_) win::DeleteFileA(file.c_str());
  }
  ~Drafts() {
    for (const std::string& file : files_) win::DeleteFileA(file.c_str());
  }
  Drafts(const Drafts&) = delete;
  Drafts& operator=(const Drafts&) = delete;

 private:
  std::vector<std::string> files_;
};

// The text as the choices file gives it back once stored: the INI layer trims
// the blanks around a value and drops one pair of quotes.
std::string AsStored(const std::string& text) {
  return std::string(win::ini::ReadableValue(text));
}

}  // namespace

int CheckFreeSpace(const std::string& outputPath, bool createCd, bool createDownload) {
  std::uint64_t needed = 0;
  if (createCd) needed += kCdImageBytes;
  if (createDownload) needed += kNetworkImageBytes;
  if (outputPath.size() < 3) return needed == 0 ? 1 : 0;
  const std::string root = outputPath.substr(0, 3);
  win::DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  win::GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters);
  const std::uint64_t free = static_cast<std::uint64_t>(freeClusters) * bytesPerSector * sectorsPerCluster;
  return needed <= free ? 1 : 0;
}

int CheckWritable(const std::string& outputPath) {
  // No drive root to probe in fewer than three characters.
  if (outputPath.size() < 3) return 0;
  // A new file of a unique name, created exclusively and removed again: a
  // user's own file at the drive root is never opened, let alone emptied.
  const std::string probe = outputPath.substr(0, 3) + ProbeName();
  std::FILE* file = win::fopen(probe.c_str(), "wx");
  if (file == nullptr) return 0;
  std::fclose(file);
  win::DeleteFileA(probe.c_str());
  return 1;
}

int CheckWritableWithoutWriting(const std::string& outputPath) {
  if (outputPath.size() < 3) return 0;
  return win::CanCreateFilesIn(outputPath.substr(0, 3).c_str()) == win::TRUE ? 1 : 0;
}

OutputPathCheck CheckOutputPath(const std::string& installRoot, const FinishRequest& request, DriveProbe probe) {
  OutputPathCheck check;
  // Mended: "  Q:\out" passed the checks as a relative path on the current
  // drive and was stored trimmed, so the build went to Q:. The checks look at
  // the path as the build will read it back.
  check.stored = AsStored(request.outputPath);
  if (check.stored.size() > config::kMaxPathLength) {
    check.problem = config::CheckPathLength(check.stored, "The output path").error();
    return check;
  }
  // The drive a relative path lies on is that of the directory it is taken
  // against, as the build plan takes it. Fewer than three characters name no
  // drive root at all and are refused as they stand.
  check.fullPath = check.stored.size() < 3 ? check.stored : FullOutputPath(check.stored);
  const bool writable = probe == DriveProbe::kCreateFile ? CheckWritable(check.fullPath) != 0
                                                         : CheckWritableWithoutWriting(check.fullPath) != 0;
  // A drive failure replaces a space failure.
  if (!writable) {
    check.problem = LoadString(IDS_INVALID_OUTPUT_DRIVE);
  } else if (CheckFreeSpace(check.fullPath, request.createCd, request.createDownload) == 0) {
    check.problem = LoadString(IDS_NO_SPACE);
  } else {
    check.problem = OutputLocationProblem(installRoot, check.fullPath);
  }
  return check;
}

std::string WriteInstallerSettings(const std::string& choices, const std::string& settingsFile,
                                   const std::string& shownAs) {
  using namespace config;
  const bool platform16 = IsPlatform16(choices);
  const char* section = platform16 ? kChoices16 : kChoices32;
  const char* modules = platform16 ? kMods16 : kMods32;
  const char* mainModules = platform16 ? kMainModules16 : kMainModules32;
  SettingsWriter setup(settingsFile, shownAs);
  auto answer = [&](const char* key) { return ReadValue(choices, section, key); };
  for (const SettingRow& row : kProductDefaults) setup.Write(row.section, row.key, answer(row.key));
  setup.Write(kNetworkInstall, kMode, IsNetworkInstaller(choices) ? kEndUser : kAdmin);
  for (const SettingRow& row : kNetworkInstallRows) setup.Write(row.section, row.key, answer(row.key));
  for (const AdditionalInstallKeys& slot : kAdditionalInstall) {
    if (IsExactly(answer(slot.include), kYes)) {
      setup.Write(kComponents, answer(slot.description).c_str(), answer(slot.filename));
    }
  }
  // Whole key lists: a name cut by a fixed buffer would become a bogus one.
  const std::vector<std::string> mainKeys = ReadAllKeys(choices, mainModules);
  if (!mainKeys.empty()) {
    setup.Write(kComponents, mainKeys.front().c_str(), ReadValue(choices, mainModules, mainKeys.front().c_str()));
  }
  for (const std::string& key : ReadAllKeys(choices, modules)) {
    setup.Write(kComponents, key.c_str(), ReadValue(choices, modules, key.c_str()));
  }
  const std::vector<std::string> multimedia = ReadAllKeys(choices, kMMMods32);
  for (const std::string& key : multimedia) {
    setup.Write(kMultimediaSupport, key.c_str(), ReadValue(choices, kMMMods32, key.c_str()));
  }
  if (multimedia.empty()) setup.RemoveSection(kSubComponents);
  return setup.problem();
}

std::vector<std::string> ModuleNameProblems(const std::string& choices, const Catalogue& catalogue) {
  using namespace config;
  const char* section = PlatformSection(choices);
  std::vector<std::string> problems;
  for (int slot = 0; slot < 2; ++slot) {
    const AdditionalInstallKeys& keys = kAdditionalInstall[slot];
    if (!IsExactly(ReadValue(choices, section, keys.include), kYes)) continue;
    const std::string filename = ReadValue(choices, section, keys.filename);
    const std::string problem = FileNameProblem(filename);
    if (!problem.empty()) {
      problems.push_back("Additional install " + std::to_string(slot + 1) + " would become the installer module \"" +
                         filename + "\", which is not a plain file name: " + problem +
                         ". Please choose its executable again on the Additional Installs page.");
    }
  }
  for (const CatalogueEntry& entry : catalogue.entries) {
    const std::string problem = CatalogueNameProblem(entry);
    if (!problem.empty()) problems.push_back(problem + " Please correct the configuration's component lists.");
  }
  return problems;
}

FinishOutcome FinishInstallerScript(const config::RunPaths& paths, const FinishRequest& request) {
  using namespace config;
  const std::string& choices = paths.choicesFile;
  const char* section = PlatformSection(choices);

  WriteValue(choices, section, kCreateCd, YesNo(request.createCd));
  WriteValue(choices, section, kCreateDownload, YesNo(request.createDownload));

  const OutputPathCheck output = CheckOutputPath(paths.installRoot, request, DriveProbe::kCreateFile);
  if (!output.problem.empty()) return {false, output.problem};
  const std::string& outputText = output.stored;
  const std::string& outputPath = output.fullPath;

  // Mended: a refusal after the drive checks (a failed write, a refused name)
  // left "Output Path" and part of the settings written. The settings go into a
  // draft, are checked there, and replace the engine setup.ini only when all
  // is well; the choices file gets "Output Path" only then.
  const std::string draft = paths.installRoot + kFinishDraftPart;
  const std::string choicesBefore = paths.installRoot + kFinishChoicesPart;
  const Drafts drafts({draft, choicesBefore});
  if (IsFile(paths.engineSetupIni) &&
      win::CopyFileA(paths.engineSetupIni.c_str(), draft.c_str(), win::FALSE) == win::FALSE) {
    return {false, "The installer settings " + paths.engineSetupIni + " could not be prepared in " + draft + ": " +
                       win::LastErrorText()};
  }
  if (std::string problem = WriteInstallerSettings(choices, draft, paths.engineSetupIni); !problem.empty()) {
    return {false, problem};
  }

  // Names that the build joins into paths must be file names, and no path the
  // build forms may outgrow its buffer.
  const Catalogue catalogue = ReadCatalogue(draft);
  if (const std::vector<std::string> problems = ModuleNameProblems(choices, catalogue); !problems.empty()) {
    return {false, problems.front()};
  }
  std::vector<std::string> stems;
  for (const CatalogueEntry& entry : catalogue.entries) stems.push_back(entry.stem);
  if (std::string problem = BuildLengthProblem(paths.installRoot, choices, outputPath, stems); !problem.empty()) {
    return {false, problem};
  }

  // Everything passed: "Output Path" first (its write leaves the file as it
  // was when it fails), then the settings, undoing "Output Path" when they
  // cannot replace the engine setup.ini.
  const bool hadChoices = IsFile(choices);
  if (hadChoices && win::CopyFileA(choices.c_str(), choicesBefore.c_str(), win::FALSE) == win::FALSE) {
    return {false,
            "The choices file " + choices + " could not be kept in " + choicesBefore + ": " + win::LastErrorText()};
  }
  if (!WriteValue(choices, section, kOutputPath, outputText)) {
    return {false, "The output path could not be stored in " + choices + ": " + win::LastErrorText()};
  }
  if (win::CopyFileA(draft.c_str(), paths.engineSetupIni.c_str(), win::FALSE) == win::FALSE) {
    const std::string reason = win::LastErrorText();
    if (hadChoices) {
      win::CopyFileA(choicesBefore.c_str(), choices.c_str(), win::FALSE);
    } else {
      win::DeleteFileA(choices.c_str());
    }
    return {false, "The installer settings could not be written to " + paths.engineSetupIni + ": " + reason};
  }
  CarryWriteTime(paths.sourceSetupIni, paths.engineSetupIni);
  return {true, {}};
}

}  // namespace kc::engine
