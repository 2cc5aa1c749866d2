#include "app/answer_settings.h"

#include <algorithm>
#include <cctype>

#include "app/answer_keys.h"
#include "config/profile_access.h"
#include "engine/additional_install_names.h"
#include "engine/page_entries.h"
#include "platform/files.h"
#include "platform/names.h"
#include "platform/profile.h"
#include "string_table.h"

namespace kc::app {
namespace {

using platform::EqualNoCase;

using namespace config;

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Quoted(const AnswerSetting& setting) {
  return "--set \"" + setting.given + "\": ";
}

// A key of a component section as the components page records it.
struct ComponentVerdict {
  bool known = true;    // the kit offers such a component
  std::string problem;  // the page would not record it so
};

ComponentVerdict CheckComponentSetting(const RunPaths& kit, const std::string& section, const AnswerSetting& setting) {
  ComponentVerdict verdict;
  const char* name = setting.key.c_str();
  if (EqualNoCase(section, kMainModules32)) {
    const std::string main = ReadValue(kit.programIni, kKitComposer, kVersionName32);
    if (!EqualNoCase(setting.key, main)) {
      verdict.known = false;
      verdict.problem =
          "the kit's main module is \"" + main + "\" (" + kit.programIni + "), not \"" + setting.key + "\"";
      return verdict;
    }
    const std::string stem = ReadValue(kit.programIni, kMainModules32, main.c_str());
    if (setting.value != stem) {
      verdict.problem =
          "the components page records the main module as \"" + stem + "\", not \"" + setting.value + "\"";
    }
    return verdict;
  }
  // The page offers the names of both lists; an ordinary module (a value in
  // "Available 32") goes to "Mods-32", any other to "MMMods-32".
  const std::string ordinary = ReadValue(kit.programIni, kAvailable32, name);
  bool offered = false;
  for (const char* list : {kAvailable32, kMultimedia32}) {
    for (const std::string& component : ReadAllKeys(kit.programIni, list))
      offered |= EqualNoCase(component, setting.key);
  }
  if (!offered) {
    verdict.known = false;
    verdict.problem = "the kit offers no component \"" + setting.key + "\" (" + kit.programIni + " lists none in [" +
                      kAvailable32 + "] or [" + kMultimedia32 + "])";
    return verdict;
  }
  if (setting.value.empty()) return verdict;  // removes it, as "<<" does
  const char* recordedIn = ordinary.empty() ? kMMMods32 : kMods32;
  const std::string recordedValue = ordinary.empty() ? ReadValue(kit.programIni, kMultimedia32, name) : ordinary;
  if (!EqualNoCase(section, recordedIn)) {
    verdict.problem = std::string("the components page records \"") + setting.key + "\" in [" + recordedIn + "]";
  } else if (setting.value != recordedValue) {
    verdict.problem = "the components page records \"" + setting.key + "\" as \"" + recordedValue + "\", not \"" +
                      setting.value + "\"";
  }
  return verdict;
}

bool IsComponentSection(const std::string& section) {
  for (const char* known : {kMods32, kMMMods32, kMainModules32}) {
    if (EqualNoCase(section, known)) return true;
  }
  return false;
}

// Sections a build reads that no page writes.
bool IsDescribedSection(const std::string& section) {
  return EqualNoCase(section, kMods16) || EqualNoCase(section, kMainModules16);
}

class SettingsWriter {
 public:
  SettingsWriter(const RunPaths& kit, const std::string& choices, bool force, SettingChecks checks)
      : kit_(kit), choices_(choices), force_(force), checks_(checks) {}

  void Apply(const AnswerSetting& setting) {
    std::string section = setting.section.empty() ? PlatformSection(choices_) : setting.section;
    const bool platform = EqualNoCase(section, kChoices32) || EqualNoCase(section, kChoices16);
    std::string key = setting.key;
    const char* page = nullptr;
    if (platform) {
      const AnswerKey* known = FindPlatformKey(setting.key);
      if (known == nullptr) {
        if (!Unknown(setting, "no page of the wizard and no step of a build uses the key \"" + setting.key + "\" in [" +
                                  section + "]")) {
          return;
        }
      } else {
        key = known->key;
        page = known->page;
        if (const std::string problem = AnswerValueProblem(*known, setting.value); !problem.empty()) {
          return Refuse(page, setting, problem);
        }
        if (page != nullptr) touched_.push_back(page);
      }
    } else if (EqualNoCase(section, kGlobal)) {
      if (!EqualNoCase(setting.key, kPlatform) &&
          !Unknown(setting, "[Global] holds only \"Platform\" (\"16\" for a 16-bit installer)")) {
        return;
      }
      if (EqualNoCase(setting.key, kPlatform)) key = kPlatform;
    } else if (IsComponentSection(section)) {
      page = kComponentsPage;
      const ComponentVerdict verdict = CheckComponentSetting(kit_, section, setting);
      if (!verdict.known) {
        if (!Unknown(setting, verdict.problem)) return;
      } else if (!verdict.problem.empty()) {
        return Refuse(page, setting, verdict.problem);
      } else if (setting.value.empty() && !EqualNoCase(section, kMainModules32)) {
        // "<<" deletes the component from both sections.
        WriteValue(choices_, kMods32, setting.key.c_str(), nullptr);
        WriteValue(choices_, kMMMods32, setting.key.c_str(), nullptr);
        return;
      }
    } else if (!IsDescribedSection(section) &&
               !Unknown(setting, "no page of the wizard and no step of a build reads the section [" + section + "]")) {
      return;
    }
    if (!WriteValue(choices_, section.c_str(), key.c_str(), setting.value)) {
      const std::string textProblem = win::ProfileTextProblem(section.c_str(), key.c_str(), setting.value.c_str());
      Refuse(
          page, setting,
          textProblem.empty() ? "it could not be written to " + choices_ + ": " + win::LastErrorText() : textProblem);
    }
  }

  // The leave checks of the pages whose keys were set, with what they store.
  void CheckPages() {
    if (checks_ != SettingChecks::kPages) return;
    if (Touched(kCustomizationMorePage)) StoreDialupPackage();
    if (Touched(kAdditionalInstallsPage)) StoreAdditionalInstalls();
  }

  SettingsOutcome outcome;

 private:
  // False when the setting is refused for its unknown key.
  bool Unknown(const AnswerSetting& setting, const std::string& why) {
    if (force_) return true;
    outcome.unknown.push_back({"", Quoted(setting) + why + "; --force-set writes it all the same."});
    return false;
  }
  void Refuse(const char* page, const AnswerSetting& setting, const std::string& why) {
    outcome.refused.push_back({page == nullptr ? "" : page, Quoted(setting) + why + (why.back() == '.' ? "" : ".")});
  }
  void RefusePage(const char* page, const std::string& message) { outcome.refused.push_back({page, message}); }
  bool Touched(const char* page) const { return std::find(touched_.begin(), touched_.end(), page) != touched_.end(); }

  void StoreDialupPackage() {
    const char* section = PlatformSection(choices_);
    const std::string entry = ReadValue(choices_, section, kCustomAccountSetupPath);
    if (entry.empty()) return;
    const std::string completed = engine::CompleteDialupEntry(entry);
    if (!engine::OpensForReading(completed)) {
      return RefusePage(kCustomizationMorePage, std::string(LoadString(IDS_INVALID_DIALUP)) + " (\"" +
                                                    kCustomAccountSetupPath + "\" is \"" + entry + "\": " + completed +
                                                    " does not open.)");
    }
    WriteValue(choices_, section, kCustomAccountSetupPath, completed);
  }

  void StoreAdditionalInstalls() {
    const char* section = PlatformSection(choices_);
    engine::AdditionalInstallEntry entries[2];
    engine::ReadAdditionalInstallEntries(choices_, entries);
    const engine::ReservedModuleNames reserved = engine::LoadReservedModuleNames(kit_.installRoot);
    for (int i = 0; i < 2; ++i) {
      if (!entries[i].include) continue;
      const AdditionalInstallKeys& keys = kAdditionalInstall[i];
      const engine::AdditionalInstallVerdict verdict = engine::CheckAdditionalInstall(entries, i, reserved);
      using Passed = engine::AdditionalInstallVerdict::Passed;
      if (verdict.passed >= Passed::kPath) WriteValue(choices_, section, keys.path, verdict.path);
      if (verdict.passed >= Passed::kDescription) WriteValue(choices_, section, keys.description, verdict.description);
      if (verdict.passed >= Passed::kSize) WriteValue(choices_, section, keys.size, verdict.size);
      // As on the page, slot 2 is not looked at while slot 1 is refused.
      if (verdict.passed != Passed::kAll) {
        return RefusePage(kAdditionalInstallsPage,
                          "Additional install " + std::to_string(i + 1) + ": " + verdict.problem);
      }
      WriteValue(choices_, section, keys.filename, verdict.fileName);
    }
  }

  const RunPaths& kit_;
  std::string choices_;
  bool force_;
  SettingChecks checks_;
  std::vector<const char*> touched_;
};

}  // namespace

std::optional<AnswerSetting> ParseAnswerSetting(const std::string& text, std::string& problem) {
  AnswerSetting setting;
  setting.given = text;
  std::string rest = text;
  if (!rest.empty() && rest.front() == '[') {
    const std::size_t close = rest.find(']');
    if (close == std::string::npos) {
      problem = "--set \"" + text + "\": the section has no closing \"]\" (write \"[SECTION]KEY=VALUE\").";
      return std::nullopt;
    }
    setting.section = Trimmed(rest.substr(1, close - 1));
    rest = rest.substr(close + 1);
    if (setting.section.empty()) {
      problem = "--set \"" + text + "\": the section name is empty.";
      return std::nullopt;
    }
  }
  const std::size_t equals = rest.find('=');
  if (equals == std::string::npos) {
    problem = "--set \"" + text + "\": no \"=\" (write \"KEY=VALUE\" or \"[SECTION]KEY=VALUE\").";
    return std::nullopt;
  }
  setting.key = Trimmed(rest.substr(0, equals));
  setting.value = Trimmed(rest.substr(equals + 1));
  if (setting.key.empty()) {
    problem = "--set \"" + text + "\": the key is empty.";
    return std::nullopt;
  }
  return setting;
}

SettingsOutcome ApplyAnswerSettings(const RunPaths& kit, const std::string& choicesFile,
                                    const std::vector<AnswerSetting>& settings, bool force, SettingChecks checks) {
  SettingsWriter writer(kit, choicesFile, force, checks);
  for (const AnswerSetting& setting : settings) writer.Apply(setting);
  writer.CheckPages();
  return writer.outcome;
}

}  // namespace kc::app
