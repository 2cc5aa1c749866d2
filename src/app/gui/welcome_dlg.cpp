#include "app/gui/welcome_dlg.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include "app/gui/complete_dlg.h"
#include "app/gui/progress_dlg.h"
#include "app/startup.h"
#include "config/profile_access.h"
#include "dialogs/dlg102_welcome_ids.h"
#include "engine/build_plan.h"
#include "engine/kit_lock.h"
#include "framework/data_exchange.h"
#include "framework/file_dialog.h"
#include "framework/resources.h"
#include "framework/window_ops.h"
#include "platform/interruption.h"
#include "string_table.h"
#include "wizard/prop_sheet.h"

namespace kc::app {

using namespace dlg102_welcome;

namespace {

constexpr const char* kMessageCaption = "Kit Composer";

}  // namespace

CWelcomeDlg::CWelcomeDlg(QWidget* parent, std::string startupIni)
    : CDialog(IDD, parent),
      m_icon(fw::LoadIcon(fw::IDI_PROGRAM)),
      m_startupIni(std::move(startupIni)),
      m_makePages(&wizard::MakeWizardPages) {
  ui.setupUi(this);
  // A main window: shown in the task bar, with minimise and maximise boxes.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint);
  fw::ShowSidePicture(this);
  OnCommand(IDC_BROWSE, [this] { OnBrowse(); });
}

CWelcomeDlg::~CWelcomeDlg() = default;

std::string CWelcomeDlg::MessageCaption() const {
  return kMessageCaption;
}

void CWelcomeDlg::DoDataExchange(fw::CDataExchange* pDX) {
  fw::DDX_Path(pDX, IDC_CONFIGURATION_PATH, m_configurationPath);
}

bool CWelcomeDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  setWindowIcon(m_icon);
  Result<config::RunPaths> paths = StartUp(m_startupIni);
  if (!paths) {
    // An install root too long for the system's paths: nothing can work.
    MessageBox(paths.error(), kMessageCaption, fw::MB_OK | fw::MB_ICONEXCLAMATION);
    m_startUpRefused = true;
    EndDialog(fw::IDCANCEL);
    return false;
  }
  m_paths = std::move(paths).value();
  m_configurationPath = LoadString(IDS_NEW_CONFIGURATION);
  UpdateData(false);
  return true;
}

void CWelcomeDlg::OnBrowse() {
  fw::CFileDialog dialog(true, "kcm", "*.kcm", fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT | fw::OFN_NOCHANGEDIR,
                         "Kit Composer Makefile (*.kcm)|*.kcm||");
  dialog.SetInitialFolder(fw::InitialFolderOf(GetDlgItemText(IDC_CONFIGURATION_PATH)));
  if (dialog.DoModal() == fw::IDOK) SetDlgItemText(IDC_CONFIGURATION_PATH, dialog.GetPathName());
  // Confirmed or not, the field is what the run starts from.
  UpdateData(true);
}

std::string CWelcomeDlg::StartingConfiguration() const {
  if (config::IsExactly(m_configurationPath, LoadString(IDS_NEW_CONFIGURATION))) return m_paths.defaultConfig;
  return m_configurationPath;
}

void CWelcomeDlg::OnOK() {
  // Mended: text typed into the field counts, not only what Browse put there.
  if (!UpdateData(true)) return;  // a host path on no drive: the refusal has been shown
  // Closing the program (SIGTERM, SIGHUP) ends the packaging tool that is running too.
  platform::EndChildrenWhenInterrupted("kitcomp");
  // One run per kit, from the refresh of the working files to the last image:
  // another window or `kitcomp build` on the kit is refused meanwhile, and a
  // run refused here changes nothing.
  Result<platform::FileLock> kit = engine::ReserveKit(m_paths, "the Kit Composer window");
  if (!kit) {
    MessageBox(kit.error(), kMessageCaption, fw::MB_OK | fw::MB_ICONEXCLAMATION);
    return;
  }
  platform::FileLock kitLock = std::move(kit).value();

  CCompleteDlg complete(this);
  m_sheet = std::make_unique<wizard::CPropSheet>(nullptr, 0);
  wizard::PageList pages = m_makePages(m_paths);
  setWindowIcon(m_icon);

  // Failures are not reported: the wizard then shows what the choices file holds.
  RefreshWorkingFiles(m_paths, StartingConfiguration());

  for (const auto& page : pages) m_sheet->AddPage(page.get());
  m_sheet->SetWizardMode();
  const int result = m_sheet->DoModal();
  m_sheet.reset();

  if (result == fw::ID_WIZFINISH) RunBuild(complete, kitLock);
  // The pages go with this scope; the welcome dialog stays open for the next run.
}

void CWelcomeDlg::RunBuild(CCompleteDlg& complete, platform::FileLock& kitLock) {
  // The hourglass is shown before anything else and ends only after the
  // progress dialog has gone (declared first, destroyed last).
  fw::CWaitCursor wait;
  fw::UpdateWindow(this);
  CProgressDlg progress(this);
  progress.Create(this);
  engine::RunBuildPlan(m_paths, progress, *this, [&](const engine::BuildReport& report) {
    // The last image is made: while the user reads, another run may start.
    kitLock.Release();
    complete.ShowReport(report);
    // The completion dialog waits for the user: over it the pointer is the
    // ordinary one, as over any dialog's own window; the hourglass returns
    // while the progress dialog is taken down.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    complete.DoModal();
    QApplication::restoreOverrideCursor();
  });
}

void CWelcomeDlg::UpdateWindow() {
  fw::UpdateWindow(this);
}

void CWelcomeDlg::showEvent(QShowEvent* event) {
  CDialog::showEvent(event);
  if (m_exitAfterShow) {
    QTimer::singleShot(0, this, [this] {
      fw::UpdateWindow(this);
      EndDialog(fw::IDCANCEL);
    });
  }
}

}  // namespace kc::app
