#include "engine/additional_install_names.h"

#include <algorithm>
#include <cctype>

#include "config/profile_access.h"
#include "engine/directory_utils.h"
#include "engine/file_name_rule.h"
#include "engine/page_entries.h"
#include "platform/files.h"
#include "platform/names.h"
#include "platform/profile.h"
#include "string_table.h"

namespace kc::engine {
namespace {

// INI key names: blanks around them do not count, nor does letter case.
bool SameKeyName(const std::string& a, const std::string& b) {
  auto trimmed = [](const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : TrimTrailingWhiteSpace(text.substr(first));
  };
  return platform::EqualNoCase(trimmed(a), trimmed(b));
}

// Modules every kit delivers, whatever its program INI file lists: the main
// client, the account setup and the page viewer, and the template that every
// additional installer's settings file is made from.
constexpr const char* kAlwaysDeliveredModules[] = {"lume", "as", "vue", "addinst"};

}  // namespace

std::string TrimTrailingWhiteSpace(const std::string& text) {
  std::size_t end = text.size();
  while (end > 0 && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(0, end);
}

std::string DeriveModuleFileName(const std::string& path, int slot) {
  const std::string name = FileNamePart(path);
  // Slot 2 takes its first character unseen, so a leading dot stays in its name.
  const std::size_t scanFrom = (slot == 2 && !name.empty()) ? 1 : 0;
  return name.substr(0, name.find('.', scanFrom));
}

ReservedModuleNames LoadReservedModuleNames(const std::string& installRoot) {
  ReservedModuleNames reserved;
  const std::string programIni = installRoot + config::kProgramIniPart;
  const std::string pattern = installRoot + config::kSourceInstallPart + "\\*.*";
  win::WIN32_FIND_DATAA found;
  win::HANDLE search = win::FindFirstFileA(pattern.c_str(), &found);
  if (search != win::INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name != "." && name != ".." && !(found.dwFileAttributes & win::FILE_ATTRIBUTE_DIRECTORY)) {
        reserved.installerFiles.push_back(name);
      }
    } while (win::FindNextFileA(search, &found));
    win::FindClose(search);
  }
  for (const char* list : {config::kMainModules32, config::kAvailable32, config::kMultimedia32}) {
    for (const std::string& key : config::ReadAllKeys(programIni, list)) {
      const std::string stem = config::ReadValue(programIni, list, key.c_str());
      if (!stem.empty()) reserved.deliveredModules.push_back(stem);
    }
  }
  for (const char* stem : kAlwaysDeliveredModules) reserved.deliveredModules.push_back(stem);
  reserved.componentNames = config::ReadAllKeys(installRoot + config::kSourceSetupIniPart, config::kComponents);
  for (const char* list : {config::kMainModules32, config::kAvailable32}) {
    for (const std::string& key : config::ReadAllKeys(programIni, list)) reserved.componentNames.push_back(key);
  }
  return reserved;
}

std::string AdditionalInstallNameProblem(const AdditionalInstallNames& slot,
                                         const AdditionalInstallNames* otherIncludedSlot,
                                         const ReservedModuleNames& reserved) {
  // The description becomes a key of [Components] in the installer's setup.ini.
  const std::string textProblem =
      win::ProfileTextProblem(config::kComponents, slot.description.c_str(), slot.fileName.c_str());
  if (!textProblem.empty()) {
    return "The descriptive module name \"" + slot.description +
           "\" cannot be used as a component name of the installer. " + textProblem;
  }
  // Two keys of the same name in [Components] are one: the later write would
  // silently drop the earlier installer or component.
  if (otherIncludedSlot != nullptr && SameKeyName(slot.description, otherIncludedSlot->description)) {
    return "Both additional installers have the descriptive module name \"" + slot.description +
           "\". Please give each its own name.";
  }
  for (const std::string& component : reserved.componentNames) {
    if (SameKeyName(slot.description, component)) {
      return "The descriptive module name \"" + slot.description +
             "\" is already the name of a component of the "
             "installer (\"" +
             component + "\"). Please choose another name.";
    }
  }
  const std::string& name = slot.fileName;
  const ModuleNameClash clash =
      ModuleFileNameClash(name, otherIncludedSlot ? &otherIncludedSlot->fileName : nullptr, reserved);
  using Kind = ModuleNameClash::Kind;
  switch (clash.kind) {
    case Kind::kNone:
      return "";
    case Kind::kEmpty:
      return "The executable's name begins with \".\", so it gives no installer module name. Please rename the "
             "executable.";
    case Kind::kNotPlainFileName:
      return "The executable would become the installer module \"" + name +
             "\", which is not a plain file name: " + clash.taker + ". Please rename the executable.";
    case Kind::kOtherSlot:
      return "Both additional installers would become the installer module \"" + name +
             "\". Please rename one of the executables.";
    case Kind::kInstallerFile:
      return "The executable's name \"" + name + "\" is taken by the installer's own file \"" + clash.taker +
             "\". Please rename the executable.";
    case Kind::kDeliveredModule:
      return "The executable's name \"" + name + "\" is taken by a module that the installer delivers (\"" +
             clash.taker + "\"). Please rename the executable.";
  }
  return "";
}

ModuleNameClash ModuleFileNameClash(const std::string& name, const std::string* otherIncludedName,
                                    const ReservedModuleNames& reserved) {
  using Kind = ModuleNameClash::Kind;
  // The name becomes the module's files beside the installer's: it must be a
  // plain file name, by the rule Finish and the build apply too.
  if (name.empty()) return {Kind::kEmpty, ""};
  if (std::string problem = FileNameProblem(name); !problem.empty()) return {Kind::kNotPlainFileName, problem};
  if (otherIncludedName != nullptr && platform::EqualNoCase(name, *otherIncludedName)) return {Kind::kOtherSlot, ""};
  for (const std::string& file : reserved.installerFiles) {
    if (platform::EqualNoCase(name, platform::Stem(file))) return {Kind::kInstallerFile, file};
  }
  for (const std::string& module : reserved.deliveredModules) {
    if (platform::EqualNoCase(name, module)) return {Kind::kDeliveredModule, module};
  }
  return {};
}

AdditionalInstallVerdict CheckAdditionalInstall(const AdditionalInstallEntry (&slots)[2], int index,
                                                const ReservedModuleNames& reserved) {
  using Passed = AdditionalInstallVerdict::Passed;
  const AdditionalInstallEntry& slot = slots[index];
  AdditionalInstallVerdict verdict;
  verdict.path = TrimTrailingWhiteSpace(slot.path);
  verdict.description = TrimTrailingWhiteSpace(slot.description);
  verdict.size = TrimTrailingWhiteSpace(slot.size);
  auto stop = [&](Passed passed, std::string problem) {
    verdict.passed = passed;
    verdict.problem = std::move(problem);
    return verdict;
  };
  if (verdict.path.empty()) return stop(Passed::kNothing, LoadString(IDS_NEED_EXECUTABLE));
  if (!OpensForReading(verdict.path)) return stop(Passed::kNothing, LoadString(IDS_INVALID_INSTALLER_PATH));
  if (verdict.description.empty()) return stop(Passed::kPath, LoadString(IDS_NEED_DESCRIPTION));
  if (verdict.size.empty()) return stop(Passed::kDescription, LoadString(IDS_NEED_SIZE));

  const int slotNumber = index + 1;
  verdict.fileName = DeriveModuleFileName(verdict.path, slotNumber);
  const AdditionalInstallEntry& other = slots[1 - index];
  AdditionalInstallNames otherNames;
  if (other.include) {
    otherNames = {TrimTrailingWhiteSpace(other.description),
                  DeriveModuleFileName(TrimTrailingWhiteSpace(other.path), 2 - index)};
  }
  const std::string problem = AdditionalInstallNameProblem({verdict.description, verdict.fileName},
                                                           other.include ? &otherNames : nullptr, reserved);
  if (!problem.empty()) return stop(Passed::kSize, problem);
  verdict.passed = Passed::kAll;
  return verdict;
}

void ReadAdditionalInstallEntries(const std::string& choicesFile, AdditionalInstallEntry (&slots)[2]) {
  using namespace config;
  const char* section = PlatformSection(choicesFile);
  for (int i = 0; i < 2; ++i) {
    const AdditionalInstallKeys& keys = kAdditionalInstall[i];
    slots[i] = {IsExactly(ReadValue(choicesFile, section, keys.include), kYes),
                ReadValue(choicesFile, section, keys.path), ReadValue(choicesFile, section, keys.description),
                ReadValue(choicesFile, section, keys.size)};
  }
}

}  // namespace kc::engine
