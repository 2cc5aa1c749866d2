// The output page, the last of the wizard: which images to build (CD image,
// downloadable network file) and under which output path, saving the whole
// configuration as a *.kcm file, and Finish, which hands the answers over to
// the installer script generation.
#pragma once

#include <string>

#include "config/run_paths.h"
#include "framework/property_page.h"
#include "ui_dlg140_output.h"

namespace kc::wizard {

class CPage5 : public fw::CPropertyPage {
  Q_OBJECT

 public:
  explicit CPage5(const config::RunPaths& paths);

  bool OnSetActive() override;
  bool OnKillActive() override;
  bool OnWizardFinish() override;

 protected:
  void DoDataExchange(fw::CDataExchange* pDX) override;
  std::string MessageCaption() const override;

 private:
  void OnImageBox(int clickedBox, int otherBox);
  void OnBrowse();
  void OnSave();
  void EnableOutputPath(bool enable);

  config::RunPaths m_paths;
  std::string m_outputPath;  // IDC_OUTPUT_PATH
  int m_createCd = 1;        // IDC_CREATE_CD
  int m_createDownload = 1;  // IDC_CREATE_DOWNLOAD
  Ui::dlg140_output ui;
};

}  // namespace kc::wizard
