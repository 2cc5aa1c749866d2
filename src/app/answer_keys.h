// The answers of a configuration by the wizard page that owns them: which page
// writes each key of the platform section, and which values it can store. The
// command line's --set and `kitcomp check` name pages and refuse values by it.
#pragma once

#include <string>

namespace kc::app {

// The pages by their captions, in the wizard's order.
inline constexpr const char* kInstallerTypePage = "Type of Installer";
inline constexpr const char* kPathOptionsPage = "Path Options";
inline constexpr const char* kComponentsPage = "Installable modules";
inline constexpr const char* kInstallerSettingsPage = "Installer Settings";
inline constexpr const char* kDialogControlPage = "Dialog control";
inline constexpr const char* kCustomizationFilesPage = "Customization files";
inline constexpr const char* kCustomizationMorePage = "Customization Files, continued...";
inline constexpr const char* kAdditionalInstallsPage = "Additional Installs";
inline constexpr const char* kOutputPage = "Kit Composer Output";
inline constexpr const char* kPages[] = {kInstallerTypePage,     kPathOptionsPage,        kComponentsPage,
                                         kInstallerSettingsPage, kDialogControlPage,      kCustomizationFilesPage,
                                         kCustomizationMorePage, kAdditionalInstallsPage, kOutputPage};

// What a page can store under a key.
enum class AnswerKind {
  kText,             // any text the INI file can hold
  kFile,             // a file's path, or empty for none
  kYesNo,            // a check box: "YES" or "NO"
  kEnabledDisabled,  // a lock box: "ENABLED" or "DISABLED"
  kNetOrLocal,       // "Net" or "Local"
  kNetworkOrLocal,   // "Network" or "Local"
  kReboot,           // "ALWAYS", "NEVER" or "AUTO"
  kBasePath,         // the install path rule, refused with "The base path is invalid."
  kProfilePath,      // the install path rule, refused with "The profile path is invalid."
  kDialupPackage,    // the dial-up package's folder or main file, completed and opened on leaving
  kDerived,          // written by its page from another entry, never typed
};

struct AnswerKey {
  const char* key;
  const char* page;  // nullptr: no page writes it, only a configuration file sets it
  AnswerKind kind;
};

// The key of the platform section ("Choices-32" or "Choices-16") named `key`
// (exactly as the configuration spells it, letter case ignored as INI names
// are), or nullptr when no page and no part of a build reads it.
const AnswerKey* FindPlatformKey(const std::string& key);

// Why `value` is not one the key's page can store ("" when it is): the value
// words of a check box or choice, the install path rule. Text, files and the
// entries a page checks as a whole (the dial-up package, the additional
// installs) pass here; their pages' checks come after.
std::string AnswerValueProblem(const AnswerKey& key, const std::string& value);

}  // namespace kc::app
