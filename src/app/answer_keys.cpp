#include "app/answer_keys.h"

#include <algorithm>
#include <cctype>

#include "config/keys.h"
#include "engine/install_path_rule.h"
#include "platform/names.h"
#include "string_table.h"

namespace kc::app {
namespace {

using platform::EqualNoCase;

using namespace config;
using K = AnswerKind;

constexpr AnswerKey kPlatformKeys[] = {
    {kNetOrLocal, kInstallerTypePage, K::kNetOrLocal},
    {kEndUserPathDialogOptionState, kInstallerTypePage, K::kNetworkOrLocal},
    {kEndUserPathDialogOption, kInstallerTypePage, K::kEnabledDisabled},
    {kProductPath, kPathOptionsPage, K::kBasePath},
    {kProfilePath, kPathOptionsPage, K::kProfilePath},
    {kNetworkPathEditBox, kPathOptionsPage, K::kEnabledDisabled},
    {kProfilePathEditBox, kPathOptionsPage, K::kEnabledDisabled},
    {kInstallSplashPath, kInstallerSettingsPage, K::kFile},
    {kProductSetupTitle, kInstallerSettingsPage, K::kText},
    {kProductSetupTitle1, kInstallerSettingsPage, K::kText},
    {kProductSetupTitle2, kInstallerSettingsPage, K::kText},
    {kProgramFolder, kInstallerSettingsPage, K::kText},
    {kCreateReadmeIcon, kInstallerSettingsPage, K::kYesNo},
    {kCreateLicenseIcon, kInstallerSettingsPage, K::kYesNo},
    {kShowDialogs, kDialogControlPage, K::kYesNo},
    {kShowLicenseDialog, kDialogControlPage, K::kYesNo},
    {kShowWelcomeDialog, kDialogControlPage, K::kYesNo},
    {kShowSetupTypeDialog, kDialogControlPage, K::kYesNo},
    {kShowPathDialog, kDialogControlPage, K::kYesNo},
    {kShowOptionsDialog, kDialogControlPage, K::kYesNo},
    {kShowAssociationsDialog, kDialogControlPage, K::kYesNo},
    {kShowSelectFolderDialog, kDialogControlPage, K::kYesNo},
    {kShowStartCopyDialog, kDialogControlPage, K::kYesNo},
    {kShowReadmeDialog, kDialogControlPage, K::kYesNo},
    {kShowFinishDialog, kDialogControlPage, K::kYesNo},
    {kShowRebootDialog, kDialogControlPage, K::kReboot},
    {kShowCustomDialog, nullptr, K::kYesNo},
    {kCustomCfgPath, kCustomizationFilesPage, K::kFile},
    {kOverwriteCfg, kCustomizationFilesPage, K::kYesNo},
    {kCustomBookmarkPath, kCustomizationFilesPage, K::kFile},
    {kCustomAddressbookPath, kCustomizationFilesPage, K::kFile},
    {kCustomInboxPath, kCustomizationFilesPage, K::kFile},
    {kCustomSmallAnimationPath, kCustomizationMorePage, K::kFile},
    {kCustomLargeAnimationPath, kCustomizationMorePage, K::kFile},
    {kCustomReadmePath, kCustomizationMorePage, K::kFile},
    {kCustomLicensePath, kCustomizationMorePage, K::kFile},
    {kCustomSecurityFilesPath, kCustomizationMorePage, K::kFile},
    {kCustomAccountSetupPath, kCustomizationMorePage, K::kDialupPackage},
    {kAdditionalInstall[0].include, kAdditionalInstallsPage, K::kYesNo},
    {kAdditionalInstall[0].path, kAdditionalInstallsPage, K::kText},
    {kAdditionalInstall[0].description, kAdditionalInstallsPage, K::kText},
    {kAdditionalInstall[0].size, kAdditionalInstallsPage, K::kText},
    {kAdditionalInstall[0].filename, kAdditionalInstallsPage, K::kDerived},
    {kAdditionalInstall[1].include, kAdditionalInstallsPage, K::kYesNo},
    {kAdditionalInstall[1].path, kAdditionalInstallsPage, K::kText},
    {kAdditionalInstall[1].description, kAdditionalInstallsPage, K::kText},
    {kAdditionalInstall[1].size, kAdditionalInstallsPage, K::kText},
    {kAdditionalInstall[1].filename, kAdditionalInstallsPage, K::kDerived},
    {kCreateCd, kOutputPage, K::kYesNo},
    {kCreateDownload, kOutputPage, K::kYesNo},
    {kCreateDisks, nullptr, K::kYesNo},
    {kOutputPath, kOutputPage, K::kText},
};

std::string OneOf(const std::string& value, std::initializer_list<const char*> words) {
  std::string list;
  std::size_t index = 0;
  for (const char* word : words) {
    if (value == word) return "";
    list += std::string(index == 0 ? "" : index + 1 == words.size() ? " or " : ", ") + "\"" + word + "\"";
    ++index;
  }
  return "the page stores " + list + " (in this letter case), not \"" + value + "\"";
}

}  // namespace

const AnswerKey* FindPlatformKey(const std::string& key) {
  for (const AnswerKey& known : kPlatformKeys) {
    if (EqualNoCase(key, known.key)) return &known;
  }
  return nullptr;
}

std::string AnswerValueProblem(const AnswerKey& key, const std::string& value) {
  switch (key.kind) {
    case K::kYesNo:
      return OneOf(value, {kYes, kNo});
    case K::kEnabledDisabled:
      return OneOf(value, {kEnabled, kDisabled});
    case K::kNetOrLocal:
      return OneOf(value, {kNet, kLocal});
    case K::kNetworkOrLocal:
      return OneOf(value, {kNetwork, kLocal});
    case K::kReboot:
      return OneOf(value, {kAlways, kNever, kAuto});
    case K::kBasePath:
      return engine::IsValidInstallPath(value) ? "" : LoadString(IDS_INVALID_BASE_PATH);
    case K::kProfilePath:
      return engine::IsValidInstallPath(value) ? "" : LoadString(IDS_INVALID_PROFILE_PATH);
    case K::kDerived:
      return "the page derives it from the executable's path; set that path instead";
    case K::kText:
    case K::kFile:
    case K::kDialupPackage:
      return "";
  }
  return "";
}

}  // namespace kc::app
