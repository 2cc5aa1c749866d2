#include "wizard/customization_more_page.h"

#include "engine/page_entries.h"
#include "config/profile_access.h"
#include "engine/directory_utils.h"
#include "framework/app.h"
#include "framework/data_exchange.h"
#include "framework/resources.h"
#include "string_table.h"
#include "wizard/page_file_browse.h"

namespace kc::wizard {

using namespace kc::config;

namespace {
constexpr const char* kDialupMainFile = "main.htm";
}  // namespace

CCustomDlg2::CCustomDlg2(const RunPaths& paths) : CPropertyPage(kTemplateId), m_choicesFile(paths.choicesFile) {
  ui.setupUi(this);
  fw::ShowSidePicture(this);

  OnCommand(1023, [this] { BrowseIntoEdit(*this, 1035, {"Animation file (*.bmp)|*.bmp||", "*.bmp", ""}); });
  OnCommand(1024, [this] { BrowseIntoEdit(*this, 1036, {"Animation file (*.bmp)|*.bmp||", "*.bmp", ""}); });
  OnCommand(1025, [this] { BrowseIntoEdit(*this, 1037, {"Readme file (*.txt)|*.txt||", "*.txt", "txt"}); });
  OnCommand(1026, [this] { BrowseIntoEdit(*this, 1038, {"License file (*.txt)|*.txt||", "*.txt", "txt"}); });
  OnCommand(1022, [this] {
    BrowseIntoEdit(*this, 1034, {"Security database file (*.db)|*.db||", "*.db", "db"});
  });
  OnCommand(1029, [this] {
    // The package is picked by its main page; only an existing file will do.
    const std::string filter = std::string(kc::LoadString(IDS_DIALUP_FILTER)) + "|*.htm||";
    BrowseIntoEdit(*this, 1039, {filter.c_str(), kDialupMainFile, "htm", kPageBrowseFlags | fw::OFN_FILEMUSTEXIST});
  });

  OnCommand(1019, [this] { SetDlgItemText(1035, ""); });
  OnCommand(1020, [this] { SetDlgItemText(1036, ""); });
  OnCommand(1021, [this] { SetDlgItemText(1037, ""); });
  OnCommand(1027, [this] { SetDlgItemText(1038, ""); });
  OnCommand(1028, [this] { SetDlgItemText(1034, ""); });
  OnCommand(1030, [this] { SetDlgItemText(1039, ""); });
  SetTextFile(m_choicesFile);
}

void CCustomDlg2::DoDataExchange(fw::CDataExchange* pDX) {
  fw::DDX_Path(pDX, 1035, m_smallAnimationPath);
  fw::DDX_Path(pDX, 1038, m_licensePath);
  fw::DDX_Path(pDX, 1037, m_readmePath);
  fw::DDX_Path(pDX, 1034, m_securityFilesPath);
  fw::DDX_Path(pDX, 1036, m_largeAnimationPath);
  fw::DDX_Path(pDX, 1039, m_dialupPath);
}

bool CCustomDlg2::OnSetActive() {
  const char* section = PlatformSection(m_choicesFile);
  SetDlgItemText(1035, ReadValue(m_choicesFile, section, kCustomSmallAnimationPath));
  SetDlgItemText(1036, ReadValue(m_choicesFile, section, kCustomLargeAnimationPath));
  SetDlgItemText(1037, ReadValue(m_choicesFile, section, kCustomReadmePath));
  SetDlgItemText(1038, ReadValue(m_choicesFile, section, kCustomLicensePath));
  SetDlgItemText(1034, ReadValue(m_choicesFile, section, kCustomSecurityFilesPath));
  SetDlgItemText(1039, ReadValue(m_choicesFile, section, kCustomAccountSetupPath));
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
