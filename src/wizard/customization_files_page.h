// The customization files page: the client's configuration file (and whether
// it may replace the user's own), bookmarks, address book and sample inbox.
// A view onto five keys of the platform section; it checks nothing.
#pragma once

#include <string>

#include "config/run_paths.h"
#include "framework/property_page.h"
#include "ui_dlg139_customfiles.h"

namespace kc::wizard {

class CPage4 : public fw::CPropertyPage {
  Q_OBJECT

 public:
  explicit CPage4(const config::RunPaths& paths);

  bool OnSetActive() override;
  bool OnKillActive() override;

 protected:
  void DoDataExchange(fw::CDataExchange* pDX) override;

 private:
  std::string m_choicesFile;
  std::string m_addressBookPath;  // IDC_ADDRESS_BOOK_PATH
  std::string m_bookmarksPath;    // IDC_BOOKMARKS_PATH
  std::string m_configPath;       // IDC_CONFIG_PATH
  std::string m_inboxPath;        // IDC_INBOX_PATH
  int m_overwriteConfig = 0;      // IDC_OVERWRITE_CONFIG
  Ui::dlg139_customfiles ui;
};

}  // namespace kc::wizard
