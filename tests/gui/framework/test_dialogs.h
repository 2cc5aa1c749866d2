// Small dialogs and pages on the test templates, recording what the framework
// calls on them.
#pragma once

#include <string>
#include <vector>

#include "framework/data_exchange.h"
#include "framework/dialog.h"
#include "framework/property_page.h"
#include "framework/property_sheet.h"
#include "framework/resources.h"
#include "ui_dlg9001_test_page.h"
#include "ui_dlg9010_test_controls.h"

namespace kc::test {

using namespace kc::fw;

class RecordingPage : public CPropertyPage {
 public:
  RecordingPage(const std::string& name, std::vector<std::string>& log)
      : CPropertyPage(9001), m_name(name), m_log(log) {
    ui.setupUi(this);
    setWindowTitle(QString::fromStdString(name));
    ShowSidePicture(this);
  }

  bool OnInitDialog() override {
    m_log.push_back(m_name + ":init");
    return CPropertyPage::OnInitDialog();
  }
  bool OnSetActive() override {
    m_log.push_back(m_name + ":set");
    if (setFlags) SetWizardButtons(setFlags);
    return CPropertyPage::OnSetActive();
  }
  bool OnKillActive() override {
    m_log.push_back(m_name + ":kill");
    if (refuseKill) return false;
    if (killFlags) SetWizardButtons(killFlags);
    return CPropertyPage::OnKillActive();
  }
  LRESULT OnWizardNext() override {
    m_log.push_back(m_name + ":next");
    return refuseNext ? -1 : 0;
  }
  LRESULT OnWizardBack() override {
    m_log.push_back(m_name + ":back");
    return 0;
  }
  bool OnWizardFinish() override {
    m_log.push_back(m_name + ":finish");
    return !refuseFinish;
  }
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, 1101, text);
    DDX_Check(pDX, 1102, check);
  }

  unsigned setFlags = 0;
  unsigned killFlags = 0;
  bool refuseNext = false;
  bool refuseKill = false;
  bool refuseFinish = false;
  std::string text;
  int check = 0;

 private:
  std::string m_name;
  std::vector<std::string>& m_log;
  Ui::dlg9001_test_page ui;
};

class ControlsDialog : public CDialog {
 public:
  ControlsDialog() : CDialog(9010) { ui.setupUi(this); }
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, 2002, text);
    DDX_Check(pDX, 2008, check);
    if (exchangeNumber) DDX_Text(pDX, 2002, number);
  }
  bool OnInitDialog() override {
    ++initCount;
    return CDialog::OnInitDialog();
  }

  std::string text;
  int check = 0;
  int number = 0;
  bool exchangeNumber = false;
  int initCount = 0;

 private:
  Ui::dlg9010_test_controls ui;
};

}  // namespace kc::test
