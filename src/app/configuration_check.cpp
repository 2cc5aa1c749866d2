#include "app/configuration_check.h"

#include <algorithm>

#include "app/answer_keys.h"
#include "config/profile_access.h"
#include "engine/additional_install_names.h"
#include "engine/build_paths.h"
#include "engine/component_catalogue.h"
#include "engine/file_name_rule.h"
#include "engine/install_path_rule.h"
#include "engine/page_entries.h"
#include "string_table.h"

namespace kc::app {
namespace {

using namespace config;

// " ("key" is "value")", or " ("key" is "value": detail)".
std::string Entry(const char* key, const std::string& value, const std::string& detail = "") {
  return " (\"" + std::string(key) + "\" is \"" + value + "\"" + (detail.empty() ? "" : ": " + detail) + ")";
}

class Findings {
 public:
  Findings(const RunPaths& kit, const std::string& choices) : kit_(kit), choices_(choices) {}

  void Add(const char* page, const std::string& message) { problems.push_back({page, message}); }

  // A file the page stores unchecked and the build copies: it must be there.
  void File(const char* page, const char* key) {
    const std::string path = ReadValue(choices_, PlatformSection(choices_), key);
    if (path.empty()) return;
    if (const std::string problem = engine::UnreadableFileProblem(path); !problem.empty()) {
      Add(page, "\"" + std::string(key) + "\": " + problem + ".");
    }
  }

  void PathOptions() {
    // The page works in "Choices-32"; a 16-bit build takes the paths from
    // "Choices-16".
    std::vector<const char*> sections{kChoices32};
    if (IsPlatform16(choices_)) sections.push_back(kChoices16);
    for (const char* section : sections) {
      const std::string where = sections.size() > 1 ? std::string(" in [") + section + "]" : "";
      for (auto [key, message] :
           {std::pair{kProductPath, IDS_INVALID_BASE_PATH}, std::pair{kProfilePath, IDS_INVALID_PROFILE_PATH}}) {
        const std::string value = ReadValue(choices_, section, key);
        if (!engine::IsValidInstallPath(value)) Add(kPathOptionsPage, LoadString(message) + Entry(key, value) + where);
      }
    }
  }

  // The modules the settings Finish wrote name, against the kit's
  // source\modules.
  void Modules() {
    if (!settingsWritten_) return;
    const engine::Catalogue& catalogue = catalogue_;
    if (!catalogue.emptyReason.empty()) {
      Add(kComponentsPage, catalogue.emptyReason + " A build would have no module to place.");
      return;
    }
    const char* section = PlatformSection(choices_);
    std::vector<std::string> staged;  // made by the build from the additional installers
    for (const AdditionalInstallKeys& keys : kAdditionalInstall) {
      if (IsExactly(ReadValue(choices_, section, keys.include), kYes)) {
        staged.push_back(ReadValue(choices_, section, keys.filename));
      }
    }
    for (const engine::CatalogueEntry& entry : catalogue.entries) {
      // Names that are no file names are Finish's refusal, below.
      if (!engine::FileNameProblem(entry.stem).empty()) continue;
      if (std::find(staged.begin(), staged.end(), entry.stem) != staged.end()) continue;
      std::string missing;
      for (const char* extension : {".z", ".ini"}) {
        const std::string file = kit_.installRoot + config::kSourceModulesPart + "\\" + entry.stem + extension;
        if (const std::string problem = engine::UnreadableFileProblem(file); !problem.empty()) {
          missing += (missing.empty() ? "" : "; ") + problem;
        }
      }
      if (!missing.empty()) {
        Add(kComponentsPage, "The module \"" + entry.stem + "\" of \"" + entry.key + "\" (in [" + entry.section +
                                 "]) is not in the kit: " + missing + ".");
      }
    }
  }

  void DialupPackage() {
    const std::string entry = ReadValue(choices_, PlatformSection(choices_), kCustomAccountSetupPath);
    if (entry.empty()) return;
    const std::string completed = engine::CompleteDialupEntry(entry);
    if (!engine::OpensForReading(completed)) {
      Add(kCustomizationMorePage, LoadString(IDS_INVALID_DIALUP) +
                                      Entry(kCustomAccountSetupPath, entry, engine::UnreadableFileProblem(completed)));
    }
  }

  void AdditionalInstalls() {
    engine::AdditionalInstallEntry entries[2];
    engine::ReadAdditionalInstallEntries(choices_, entries);
    if (!entries[0].include && !entries[1].include) return;
    const engine::ReservedModuleNames reserved = engine::LoadReservedModuleNames(kit_.installRoot);
    // Unlike the page, which stops at slot 1, both slots are told.
    for (int i = 0; i < 2; ++i) {
      if (!entries[i].include) continue;
      const engine::AdditionalInstallVerdict verdict = engine::CheckAdditionalInstall(entries, i, reserved);
      if (!verdict.problem.empty()) {
        std::string detail;
        if (verdict.passed == engine::AdditionalInstallVerdict::Passed::kNothing && !verdict.path.empty()) {
          detail = " (" + engine::UnreadableFileProblem(verdict.path) + ")";
        }
        Add(kAdditionalInstallsPage, "Additional install " + std::to_string(i + 1) + ": " + verdict.problem + detail);
      }
    }
    const std::string settings = kit_.installRoot + config::kSourceModulesPart + "\\addinst.ini";
    if (const std::string problem = engine::UnreadableFileProblem(settings); !problem.empty()) {
      Add(kAdditionalInstallsPage, "The kit has no settings template for additional installs: " + problem + ".");
    }
  }

  // Finish's checks, all of them rather than the first.
  void Finish(const std::string& settingsDraft, const engine::FinishRequest& request) {
    const engine::OutputPathCheck output =
        engine::CheckOutputPath(kit_.installRoot, request, engine::DriveProbe::kPermissionsOnly);
    // The drive messages do not name the path; the others do.
    if (!output.problem.empty()) {
      const bool named = output.problem.find(output.stored) != std::string::npos;
      Add(kOutputPage, output.problem + (named ? "" : Entry(kOutputPath, output.stored)));
    }
    if (const std::string problem = engine::WriteInstallerSettings(choices_, settingsDraft, kit_.engineSetupIni);
        !problem.empty()) {
      Add(kOutputPage, problem);
      return;
    }
    settingsWritten_ = true;
    catalogue_ = engine::ReadCatalogue(settingsDraft);
    for (const std::string& problem : engine::ModuleNameProblems(choices_, catalogue_)) Add(kOutputPage, problem);
    if (!output.problem.empty()) return;  // the paths below it are not known
    std::vector<std::string> stems;
    for (const engine::CatalogueEntry& entry : catalogue_.entries) stems.push_back(entry.stem);
    if (const std::string problem = engine::BuildLengthProblem(kit_.installRoot, choices_, output.fullPath, stems);
        !problem.empty()) {
      Add(kOutputPage, problem);
    }
  }

  std::vector<ConfigurationProblem> problems;

 private:
  const RunPaths& kit_;
  std::string choices_;
  bool settingsWritten_ = false;
  engine::Catalogue catalogue_;
};

}  // namespace

std::vector<ConfigurationProblem> CheckConfiguration(const RunPaths& kit, const std::string& choicesFile,
                                                     const std::string& settingsDraft,
                                                     const engine::FinishRequest& request) {
  const char* section = PlatformSection(choicesFile);
  WriteValue(choicesFile, section, kCreateCd, YesNo(request.createCd));
  WriteValue(choicesFile, section, kCreateDownload, YesNo(request.createDownload));

  // Finish first: the settings it writes say which modules the images hold.
  // The problems are told by page.
  Findings findings(kit, choicesFile);
  findings.Finish(settingsDraft, request);
  findings.PathOptions();
  findings.Modules();
  findings.File(kInstallerSettingsPage, kInstallSplashPath);
  for (const char* key : {kCustomCfgPath, kCustomBookmarkPath, kCustomAddressbookPath, kCustomInboxPath}) {
    findings.File(kCustomizationFilesPage, key);
  }
  for (const char* key : {kCustomSmallAnimationPath, kCustomLargeAnimationPath, kCustomReadmePath, kCustomLicensePath,
                          kCustomSecurityFilesPath}) {
    findings.File(kCustomizationMorePage, key);
  }
  findings.DialupPackage();
  findings.AdditionalInstalls();
  return findings.problems;
}

}  // namespace kc::app
