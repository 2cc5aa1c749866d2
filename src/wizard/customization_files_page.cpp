#include "wizard/customization_files_page.h"

#include "config/profile_access.h"
#include "dialogs/dlg139_customfiles_ids.h"
#include "framework/data_exchange.h"
#include "framework/resources.h"
#include "wizard/page_file_browse.h"

namespace kc::wizard {

using namespace dlg139_customfiles;

using namespace kc::config;

CPage4::CPage4(const RunPaths& paths) : CPropertyPage(IDD), m_choicesFile(paths.choicesFile) {
  ui.setupUi(this);
  fw::ShowSidePicture(this);

  OnCommand(IDC_BROWSE_CONFIG, [this] {
    BrowseIntoEdit(*this, IDC_CONFIG_PATH, {"Configuration file (*.cfg)|*.cfg||", "velomark.cfg", "cfg"});
  });
  OnCommand(IDC_BROWSE_BOOKMARKS, [this] {
    BrowseIntoEdit(*this, IDC_BOOKMARKS_PATH, {"Bookmark file (*.htm)|*.htm||", "bookmark.htm", "htm"});
  });
  OnCommand(IDC_BROWSE_ADDRESS_BOOK, [this] {
    BrowseIntoEdit(*this, IDC_ADDRESS_BOOK_PATH, {"Addressbook file (*.ab2)|*.ab2||", "pab.ab2", "ab2"});
  });
  OnCommand(IDC_BROWSE_INBOX, [this] {
    BrowseIntoEdit(*this, IDC_INBOX_PATH, {"Sample Inbox file (*.*)|*.*||", "*.*", ""});
  });

  // Clear empties only its edit; the overwrite box keeps its state.
  OnCommand(IDC_CLEAR_CONFIG, [this] { SetDlgItemText(IDC_CONFIG_PATH, ""); });
  OnCommand(IDC_CLEAR_BOOKMARKS, [this] { SetDlgItemText(IDC_BOOKMARKS_PATH, ""); });
  OnCommand(IDC_CLEAR_ADDRESS_BOOK, [this] { SetDlgItemText(IDC_ADDRESS_BOOK_PATH, ""); });
  OnCommand(IDC_CLEAR_INBOX, [this] { SetDlgItemText(IDC_INBOX_PATH, ""); });
  SetTextFile(m_choicesFile);
}

void CPage4::DoDataExchange(fw::CDataExchange* pDX) {
  fw::DDX_Path(pDX, IDC_ADDRESS_BOOK_PATH, m_addressBookPath);
  fw::DDX_Path(pDX, IDC_BOOKMARKS_PATH, m_bookmarksPath);
  fw::DDX_Path(pDX, IDC_CONFIG_PATH, m_configPath);
  fw::DDX_Path(pDX, IDC_INBOX_PATH, m_inboxPath);
  fw::DDX_Check(pDX, IDC_OVERWRITE_CONFIG, m_overwriteConfig);
}

bool CPage4::OnSetActive() {
  const char* section = PlatformSection(m_choicesFile);
  SetDlgItemText(IDC_CONFIG_PATH, ReadValue(m_choicesFile, section, kCustomCfgPath));
  CheckDlgButton(IDC_OVERWRITE_CONFIG, IsExactly(ReadValue(m_choicesFile, section, kOverwriteCfg), kYes)
                                           ? fw::BST_CHECKED
                                           : fw::BST_UNCHECKED);
  SetDlgItemText(IDC_BOOKMARKS_PATH, ReadValue(m_choicesFile, section, kCustomBookmarkPath));
  SetDlgItemText(IDC_ADDRESS_BOOK_PATH, ReadValue(m_choicesFile, section, kCustomAddressbookPath));
  SetDlgItemText(IDC_INBOX_PATH, ReadValue(m_choicesFile, section, kCustomInboxPath));
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
