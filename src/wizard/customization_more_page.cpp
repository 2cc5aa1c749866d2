#include "wizard/customization_more_page.h"

#include "config/profile_access.h"
#include "dialogs/dlg152_custommore_ids.h"
#include "engine/directory_utils.h"
#include "engine/page_entries.h"
#include "framework/app.h"
#include "framework/data_exchange.h"
#include "framework/resources.h"
#include "string_table.h"
#include "wizard/page_file_browse.h"

namespace kc::wizard {

using namespace dlg152_custommore;

using namespace kc::config;

namespace {
constexpr const char* kDialupMainFile = "main.htm";
}  // namespace

CCustomDlg2::CCustomDlg2(const RunPaths& paths) : CPropertyPage(IDD), m_choicesFile(paths.choicesFile) {
  ui.setupUi(this);
  fw::ShowSidePicture(this);

  OnCommand(IDC_BROWSE_SMALL_ANIMATION, [this] {
    BrowseIntoEdit(*this, IDC_SMALL_ANIMATION_PATH, {"Animation file (*.bmp)|*.bmp||", "*.bmp", ""});
  });
  OnCommand(IDC_BROWSE_LARGE_ANIMATION, [this] {
    BrowseIntoEdit(*this, IDC_LARGE_ANIMATION_PATH, {"Animation file (*.bmp)|*.bmp||", "*.bmp", ""});
  });
  OnCommand(IDC_BROWSE_README, [this] {
    BrowseIntoEdit(*this, IDC_README_PATH, {"Readme file (*.txt)|*.txt||", "*.txt", "txt"});
  });
  OnCommand(IDC_BROWSE_LICENSE, [this] {
    BrowseIntoEdit(*this, IDC_LICENSE_PATH, {"License file (*.txt)|*.txt||", "*.txt", "txt"});
  });
  OnCommand(IDC_BROWSE_SECURITY_FILES, [this] {
    BrowseIntoEdit(*this, IDC_SECURITY_FILES_PATH, {"Security database file (*.db)|*.db||", "*.db", "db"});
  });
  OnCommand(IDC_BROWSE_DIALUP, [this] {
    // The package is picked by its main page; only an existing file will do.
    const std::string filter = std::string(kc::LoadString(IDS_DIALUP_FILTER)) + "|*.htm||";
    BrowseIntoEdit(*this, IDC_DIALUP_PATH,
                   {filter.c_str(), kDialupMainFile, "htm", kPageBrowseFlags | fw::OFN_FILEMUSTEXIST});
  });

  OnCommand(IDC_CLEAR_SMALL_ANIMATION, [this] { SetDlgItemText(IDC_SMALL_ANIMATION_PATH, ""); });
  OnCommand(IDC_CLEAR_LARGE_ANIMATION, [this] { SetDlgItemText(IDC_LARGE_ANIMATION_PATH, ""); });
  OnCommand(IDC_CLEAR_README, [this] { SetDlgItemText(IDC_README_PATH, ""); });
  OnCommand(IDC_CLEAR_LICENSE, [this] { SetDlgItemText(IDC_LICENSE_PATH, ""); });
  OnCommand(IDC_CLEAR_SECURITY_FILES, [this] { SetDlgItemText(IDC_SECURITY_FILES_PATH, ""); });
  OnCommand(IDC_CLEAR_DIALUP, [this] { SetDlgItemText(IDC_DIALUP_PATH, ""); });
  SetTextFile(m_choicesFile);
}

void CCustomDlg2::DoDataExchange(fw::CDataExchange* pDX) {
  fw::DDX_Path(pDX, IDC_SMALL_ANIMATION_PATH, m_smallAnimationPath);
  fw::DDX_Path(pDX, IDC_LICENSE_PATH, m_licensePath);
  fw::DDX_Path(pDX, IDC_README_PATH, m_readmePath);
  fw::DDX_Path(pDX, IDC_SECURITY_FILES_PATH, m_securityFilesPath);
  fw::DDX_Path(pDX, IDC_LARGE_ANIMATION_PATH, m_largeAnimationPath);
  fw::DDX_Path(pDX, IDC_DIALUP_PATH, m_dialupPath);
}

bool CCustomDlg2::OnSetActive() {
  const char* section = PlatformSection(m_choicesFile);
  SetDlgItemText(IDC_SMALL_ANIMATION_PATH, ReadValue(m_choicesFile, section, kCustomSmallAnimationPath));
  SetDlgItemText(IDC_LARGE_ANIMATION_PATH, ReadValue(m_choicesFile, section, kCustomLargeAnimationPath));
  SetDlgItemText(IDC_README_PATH, ReadValue(m_choicesFile, section, kCustomReadmePath));
  SetDlgItemText(IDC_LICENSE_PATH, ReadValue(m_choicesFile, section, kCustomLicensePath));
  SetDlgItemText(IDC_SECURITY_FILES_PATH, ReadValue(m_choicesFile, section, kCustomSecurityFilesPath));
  SetDlgItemText(IDC_DIALUP_PATH, ReadValue(m_choicesFile, section, kCustomAccountSetupPath));
  CPropertyPage::OnSetActive();
  return true;
}

bool CCustomDlg2::OnKillActive() {
  const char* section = PlatformSection(m_choicesFile);
  if (!UpdateData(true)) return false;

  std::string dialup;
  if (!m_dialupPath.empty()) {
    dialup = engine::CompleteDialupEntry(m_dialupPath);
    if (!engine::OpensForReading(dialup)) {
      // Nothing is written and the edit keeps the text as typed.
      MessageBox(kc::LoadString(IDS_INVALID_DIALUP), fw::AfxGetAppName(), fw::MB_ICONEXCLAMATION | fw::MB_OK);
      return false;
    }
  }

  WriteValue(m_choicesFile, section, kCustomSmallAnimationPath, m_smallAnimationPath);
  WriteValue(m_choicesFile, section, kCustomLargeAnimationPath, m_largeAnimationPath);
  WriteValue(m_choicesFile, section, kCustomReadmePath, m_readmePath);
  WriteValue(m_choicesFile, section, kCustomLicensePath, m_licensePath);
  WriteValue(m_choicesFile, section, kCustomSecurityFilesPath, m_securityFilesPath);
  WriteValue(m_choicesFile, section, kCustomAccountSetupPath, dialup);
  return CPropertyPage::OnKillActive();
}

}  // namespace kc::wizard
