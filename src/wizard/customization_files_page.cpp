#include "wizard/customization_files_page.h"

#include "config/profile_access.h"
#include "framework/data_exchange.h"
#include "framework/resources.h"
#include "wizard/page_file_browse.h"

namespace kc::wizard {

using namespace kc::config;

CPage4::CPage4(const RunPaths& paths) : CPropertyPage(kTemplateId), m_choicesFile(paths.choicesFile) {
  ui.setupUi(this);
  fw::ShowSidePicture(this);

  OnCommand(1019, [this] {
    BrowseIntoEdit(*this, 1031, {"Configuration file (*.cfg)|*.cfg||", "velomark.cfg", "cfg"});
  });
  OnCommand(1020, [this] {
    BrowseIntoEdit(*this, 1032, {"Bookmark file (*.htm)|*.htm||", "bookmark.htm", "htm"});
  });
  OnCommand(1021, [this] {
    BrowseIntoEdit(*this, 1033, {"Addressbook file (*.ab2)|*.ab2||", "pab.ab2", "ab2"});
  });
  OnCommand(1023, [this] { BrowseIntoEdit(*this, 1035, {"Sample Inbox file (*.*)|*.*||", "*.*", ""}); });

  // Clear empties only its edit; the overwrite box keeps its state.
  OnCommand(1055, [this] { SetDlgItemText(1031, ""); });
  OnCommand(1056, [this] { SetDlgItemText(1032, ""); });
  OnCommand(1057, [this] { SetDlgItemText(1033, ""); });
  OnCommand(1058, [this] { SetDlgItemText(1035, ""); });
  SetTextFile(m_choicesFile);
}

void CPage4::DoDataExchange(fw::CDataExchange* pDX) {
  fw::DDX_Path(pDX, 1033, m_addressBookPath);
  fw::DDX_Path(pDX, 1032, m_bookmarksPath);
  fw::DDX_Path(pDX, 1031, m_configPath);
  fw::DDX_Path(pDX, 1035, m_inboxPath);
  fw::DDX_Check(pDX, 1038, m_overwriteConfig);
}

bool CPage4::OnSetActive() {
  const char* section = PlatformSection(m_choicesFile);
  SetDlgItemText(1031, ReadValue(m_choicesFile, section, kCustomCfgPath));
  CheckDlgButton(1038, IsExactly(ReadValue(m_choicesFile, section, kOverwriteCfg), kYes) ? fw::BST_CHECKED
                                                                                           : fw::BST_UNCHECKED);
  SetDlgItemText(1032, ReadValue(m_choicesFile, section, kCustomBookmarkPath));
  SetDlgItemText(1033, ReadValue(m_choicesFile, section, kCustomAddressbookPath));
  SetDlgItemText(1035, ReadValue(m_choicesFile, section, kCustomInboxPath));
  CPropertyPage::OnSetActive();
  return true;
}

bool CPage4::OnKillActive() {
  const char* section = PlatformSection(m_choicesFile);
  // A refused path or text keeps the page, and nothing is written.
  if (!UpdateData(true)) return false;
  WriteValue(m_choicesFile, section, kOverwriteCfg, YesNo(m_overwriteConfig == fw::BST_CHECKED));
  WriteValue(m_choicesFile, section, kCustomCfgPath, m_configPath);
  WriteValue(m_choicesFile, section, kCustomBookmarkPath, m_bookmarksPath);
  WriteValue(m_choicesFile, section, kCustomAddressbookPath, m_addressBookPath);
  WriteValue(m_choicesFile, section, kCustomInboxPath, m_inboxPath);
  return CPropertyPage::OnKillActive();
}

}  // namespace kc::wizard
