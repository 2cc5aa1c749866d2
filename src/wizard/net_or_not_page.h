// The installer type page: a local or a network installer, and for a network
// installer what the end user's installer offers by default and whether that
// choice is locked.
#pragma once

#include <string>

#include "framework/property_page.h"
#include "ui_dlg150_netornot.h"

namespace kc::wizard {

class CNetOrNot : public fw::CPropertyPage {
  Q_OBJECT

 public:
  explicit CNetOrNot(const std::string& choicesFile);

  bool OnSetActive() override;
  bool OnKillActive() override;

 private:
  void OnLocalType();
  void OnNetworkType();
  void EnableEndUserControls(bool enable);
  void ShowStoredEndUserChoice();

  Ui::dlg150_netornot ui;
  std::string m_choicesFile;
};

}  // namespace kc::wizard
