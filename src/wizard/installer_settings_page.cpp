#include "wizard/installer_settings_page.h"

#include "config/profile_access.h"
#include "dialogs/dlg134_settings_ids.h"
#include "framework/data_exchange.h"
#include "framework/resources.h"
#include "wizard/page_file_browse.h"

namespace kc::wizard {

using namespace dlg134_settings;

namespace {

struct TextKey {
  const char* key;
  int control;
};
constexpr TextKey kTitleAndFolderKeys[] = {
    {config::kProductSetupTitle, IDC_SETUP_TITLE},
    {config::kProductSetupTitle1, IDC_SETUP_TITLE1},
    {config::kProductSetupTitle2, IDC_SETUP_TITLE2},
    {config::kProgramFolder, IDC_PROGRAM_FOLDER},
};

}  // namespace

CPage3::CPage3(const std::string& choicesFile) : CPropertyPage(IDD), m_choicesFile(choicesFile) {
  ui.setupUi(this);
  fw::ShowSidePicture(this);
  OnCommand(IDC_BROWSE_SPLASH, [this] { OnBrowseSplash(); });
  OnCommand(IDC_CLEAR_SPLASH, [this] { OnClearSplash(); });
  SetTextFile(m_choicesFile);
}

void CPage3::DoDataExchange(fw::CDataExchange* pDX) {
  fw::DDX_Path(pDX, IDC_SPLASH_PATH, m_splashPath);
  fw::DDX_Text(pDX, IDC_PROGRAM_FOLDER, m_programFolder);
  fw::DDX_Text(pDX, IDC_SETUP_TITLE, m_setupTitle);
  fw::DDX_Text(pDX, IDC_SETUP_TITLE1, m_setupTitle1);
  fw::DDX_Text(pDX, IDC_SETUP_TITLE2, m_setupTitle2);
}

// The controls show exactly what was loaded: no default activation after it.
bool CPage3::OnSetActive() {
  const char* section = config::PlatformSection(m_choicesFile);
  SetDlgItemText(IDC_SPLASH_PATH, config::ReadValue(m_choicesFile, section, config::kInstallSplashPath));
  for (const TextKey& k : kTitleAndFolderKeys) {
    SetDlgItemText(k.control, config::ReadValue(m_choicesFile, section, k.key));
  }
  for (auto [key, control] : {std::pair{config::kCreateReadmeIcon, IDC_README_ICON},
                              std::pair{config::kCreateLicenseIcon, IDC_LICENSE_ICON}}) {
    const bool yes = config::IsExactly(config::ReadValue(m_choicesFile, section, key), config::kYes);
    CheckDlgButton(control, yes ? fw::BST_CHECKED : fw::BST_UNCHECKED);
  }
  return true;
}

// Stores the page itself. Mended: it is left unless a text is refused (a host
// path on no drive, a character the choices file cannot hold), which would
// otherwise be stored altered.
bool CPage3::OnKillActive() {
  const char* section = config::PlatformSection(m_choicesFile);
  if (!UpdateData(true)) return false;
  config::WriteValue(m_choicesFile, section, config::kInstallSplashPath, m_splashPath);
  config::WriteValue(m_choicesFile, section, config::kProductSetupTitle, m_setupTitle);
  config::WriteValue(m_choicesFile, section, config::kProductSetupTitle1, m_setupTitle1);
  config::WriteValue(m_choicesFile, section, config::kProductSetupTitle2, m_setupTitle2);
  config::WriteValue(m_choicesFile, section, config::kProgramFolder, m_programFolder);
  config::WriteValue(m_choicesFile, section, config::kCreateReadmeIcon,
                     config::YesNo(IsDlgButtonChecked(IDC_README_ICON) == fw::BST_CHECKED));
  config::WriteValue(m_choicesFile, section, config::kCreateLicenseIcon,
                     config::YesNo(IsDlgButtonChecked(IDC_LICENSE_ICON) == fw::BST_CHECKED));
  return true;
}

bool CPage3::OnWizardFinish() {
  return CPropertyPage::OnWizardFinish();
}

// Cancelled: the previous path stays.
void CPage3::OnBrowseSplash() {
  BrowseIntoEdit(*this, IDC_SPLASH_PATH, {"Bitmap files (*.bmp)|*.bmp||", "setup.bmp", "bmp"});
}

void CPage3::OnClearSplash() {
  SetDlgItemText(IDC_SPLASH_PATH, std::string());
}

}  // namespace kc::wizard
