// The welcome dialog: the program's main window for the whole run. Its Next
// button is the run driver: it prepares the working files, runs the wizard and,
// when the wizard ends with Finish, the build.
#pragma once

#include <QIcon>
#include <functional>
#include <memory>
#include <string>

#include "config/run_paths.h"
#include "engine/progress.h"
#include "framework/dialog.h"
#include "ui_dlg102_welcome.h"
#include "wizard/page_list.h"

namespace kc::wizard {
class CPropSheet;
}

namespace kc::platform {
class FileLock;
}

namespace kc::app {

class CCompleteDlg;

class CWelcomeDlg : public fw::CDialog, public engine::Window {
  Q_OBJECT

 public:
  // Makes the wizard's pages for one run; the run driver's default is the
  // wizard's own list.
  using PageFactory = std::function<wizard::PageList(const config::RunPaths&)>;

  // startupIni: the start-up INI file read in OnInitDialog.
  explicit CWelcomeDlg(QWidget* parent = nullptr, std::string startupIni = ".\\kitcomp.ini");
  ~CWelcomeDlg() override;

  bool OnInitDialog() override;
  void OnOK() override;  // the run driver
  void DoDataExchange(fw::CDataExchange* pDX) override;
  std::string MessageCaption() const override;
  void UpdateWindow() override;

  void SetPageFactory(PageFactory factory) { m_makePages = std::move(factory); }
  // Ends the dialog as soon as it has been shown once (start-up measurement).
  void SetExitAfterShow(bool exit) { m_exitAfterShow = exit; }

  // True when start-up refused the install root (the dialog then ends at once).
  bool StartUpRefused() const { return m_startUpRefused; }
  const config::RunPaths& Paths() const { return m_paths; }
  const std::string& ConfigurationPath() const { return m_configurationPath; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OnBrowse();
  // The file a run starts from: the default configuration when the path is
  // exactly string 1, else the file the path names.
  std::string StartingConfiguration() const;
  // The build plan with the progress dialog, ending with `complete`; the kit
  // is released once the last image is made.
  void RunBuild(CCompleteDlg& complete, platform::FileLock& kitLock);

  Ui::dlg102_welcome ui;
  QIcon m_icon;
  std::string m_startupIni;
  config::RunPaths m_paths;
  std::string m_configurationPath;  // bound to IDC_CONFIGURATION_PATH
  PageFactory m_makePages;
  std::unique_ptr<wizard::CPropSheet> m_sheet;  // only while the wizard runs
  bool m_exitAfterShow = false;
  bool m_startUpRefused = false;
};

}  // namespace kc::app
