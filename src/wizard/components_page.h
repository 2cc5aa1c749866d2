// The components page: which optional and multimedia components go into the
// installer. The offer comes from the program INI file; the choices are
// written to the choices file at each add or remove, and the main module's
// entry each time the page is left.
#pragma once

#include <string>

#include "framework/property_page.h"
#include "ui_dlg129_components.h"

namespace kc::wizard {

class CPage1 : public fw::CPropertyPage {
  Q_OBJECT

 public:
  CPage1(const std::string& choicesFile, const std::string& programIni);

  // Most items one press of ">>" adds, and of "<<" removes.
  static constexpr int kMaxAddPerPress = 20;
  static constexpr int kMaxRemovePerPress = 15;

  bool OnInitDialog() override;
  bool OnSetActive() override;
  bool OnKillActive() override;

 private:
  void OnAdd();
  void OnRemove();
  // Adds each key name of `section` of `file` that `list` does not hold yet.
  void AddSectionKeys(fw::CListBox list, const std::string& file, const char* section);

  Ui::dlg129_components ui;
  std::string m_choicesFile;
  std::string m_programIni;
};

}  // namespace kc::wizard
