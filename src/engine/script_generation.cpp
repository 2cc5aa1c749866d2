// Finish: the output drive checks and the copy of the answers into the
// generated installer's settings (the engine setup.ini).
#include "engine/script_generation.h"


#include <atomic>
#include <chrono>
#include <random>

#include "engine/directory_utils.h"
#include "engine/file_steps.h"
#include "config/keys.h"
#include "config/profile_access.h"
#include "platform/files.h"
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
  return "kitcomp-probe-" + std::to_string(seed) + "-" + std::to_string(static_cast<unsigned long long>(ticks)) +
         "-" + std::to_string(g_probeCounter++) + ".tmp";
}

class SettingsWriter {
 public:
  explicit SettingsWriter(std::string file) : file_(std::move(file)) {}
  void Write(const char* section, const char* key, const std::string& value) {
    if (!config::WriteValue(file_, section, key, value) && problem_.empty()) {
      problem_ = std::string("The installer settings could not be written to ") + file_ + " (\"" + key + "\" in [" +
                 section + "]): " + win::LastErrorText();
    }
  }
  void RemoveSection(const char* section) {
    if (!config::WriteValue(file_, section, nullptr, nullptr) && problem_.empty()) {
      problem_ = std::string("The section [") + section + "] could not be removed from " + file_ + ": " +
                 win::LastErrorText();
    }
  }
  const std::string& problem() const { return problem_; }

 private:
  std::string file_;
  std::string problem_;
};

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

FinishOutcome FinishInstallerScript(const config::RunPaths& paths, const FinishRequest& request) {
  using namespace config;
  const std::string& choices = paths.choicesFile;
  const bool platform16 = IsPlatform16(choices);
  const char* section = platform16 ? kChoices16 : kChoices32;
  const char* modules = platform16 ? kMods16 : kMods32;
  const char* mainModules = platform16 ? kMainModules16 : kMainModules32;

  WriteValue(choices, section, kCreateCd, YesNo(request.createCd));
  WriteValue(choices, section, kCreateDownload, YesNo(request.createDownload));

  if (request.outputPath.size() > kMaxPathLength) {
    return {false, CheckPathLength(request.outputPath, "The output path").error()};
  }
  // The drive a relative path lies on is that of the directory it is taken
  // against, as the build plan takes it. Fewer than three characters name no
  // drive root at all and are refused as they stand.
  const std::string checkedPath =
      request.outputPath.size() < 3 ? request.outputPath : FullOutputPath(request.outputPath);
  enum class Failure { kNone, kSpace, kDrive } failure = Failure::kNone;
  if (CheckFreeSpace(checkedPath, request.createCd, request.createDownload) == 0) failure = Failure::kSpace;
  if (CheckWritable(checkedPath) == 0) failure = Failure::kDrive;
  if (failure == Failure::kSpace) return {false, LoadString(IDS_NO_SPACE)};
  if (failure == Failure::kDrive) return {false, LoadString(IDS_INVALID_OUTPUT_DRIVE)};

  if (!WriteValue(choices, section, kOutputPath, request.outputPath)) {
    return {false, "The output path could not be stored in " + choices + ": " + win::LastErrorText()};
  }

  SettingsWriter setup(paths.engineSetupIni);
  auto answer = [&](const char* key) { return ReadValue(choices, section, key); };
  for (const SettingRow& row : kProductDefaults) setup.Write(row.section, row.key, answer(row.key));
  setup.Write(kNetworkInstall, kMode, IsExactly(answer(kNetOrLocal), kNet) ? kEndUser : kAdmin);
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
  CarryWriteTime(paths.sourceSetupIni, paths.engineSetupIni);

  if (!setup.problem().empty()) return {false, setup.problem()};
  return {true, {}};
}

}  // namespace kc::engine
