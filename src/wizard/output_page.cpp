#include "wizard/output_page.h"

#include "browse/browse_path_dlg.h"
#include "config/profile_access.h"
#include "dialogs/dlg140_output_ids.h"
#include "engine/script_generation.h"
#include "framework/data_exchange.h"
#include "framework/file_dialog.h"
#include "framework/resources.h"
#include "platform/files.h"

namespace kc::wizard {

using namespace dlg140_output;

using namespace kc::config;

namespace {
constexpr const char* kFinishCaption = "Kit Composer";
}

CPage5::CPage5(const RunPaths& paths) : CPropertyPage(IDD), m_paths(paths) {
  ui.setupUi(this);
  fw::ShowSidePicture(this);
  OnCommand(IDC_CREATE_CD, [this] { OnImageBox(IDC_CREATE_CD, IDC_CREATE_DOWNLOAD); });
  OnCommand(IDC_CREATE_DOWNLOAD, [this] { OnImageBox(IDC_CREATE_DOWNLOAD, IDC_CREATE_CD); });
  OnCommand(IDC_BROWSE_OUTPUT, [this] { OnBrowse(); });
  OnCommand(IDC_SAVE_CONFIGURATION, [this] { OnSave(); });
  SetTextFile(m_paths.choicesFile);
}

std::string CPage5::MessageCaption() const {
  return kFinishCaption;
}

void CPage5::DoDataExchange(fw::CDataExchange* pDX) {
  fw::DDX_Path(pDX, IDC_OUTPUT_PATH, m_outputPath);
  fw::DDX_Check(pDX, IDC_CREATE_CD, m_createCd);
  fw::DDX_Check(pDX, IDC_CREATE_DOWNLOAD, m_createDownload);
}

void CPage5::EnableOutputPath(bool enable) {
  EnableWindow(IDC_OUTPUT_PATH, enable);
  EnableWindow(IDC_BROWSE_OUTPUT, enable);
}

bool CPage5::OnSetActive() {
  const std::string& choices = m_paths.choicesFile;
  const char* section = PlatformSection(choices);
  SetWizardButtons(fw::PSWIZB_BACK | fw::PSWIZB_FINISH);
  CheckDlgButton(IDC_CREATE_CD,
                 IsExactly(ReadValue(choices, section, kCreateCd), kYes) ? fw::BST_CHECKED : fw::BST_UNCHECKED);
  CheckDlgButton(IDC_CREATE_DOWNLOAD,
                 IsExactly(ReadValue(choices, section, kCreateDownload), kYes) ? fw::BST_CHECKED : fw::BST_UNCHECKED);
  EnableOutputPath(IsDlgButtonChecked(IDC_CREATE_CD) == fw::BST_CHECKED ||
                   IsDlgButtonChecked(IDC_CREATE_DOWNLOAD) == fw::BST_CHECKED);
  // Loaded at every activation, image boxes checked or not: a disabled edit
  // left with the text of an earlier visit would be written back by Back over
  // the stored output path.
  SetDlgItemText(IDC_OUTPUT_PATH, ReadValue(choices, section, kOutputPath));
  UpdateData(true);
  return true;
}

void CPage5::OnImageBox(int clickedBox, int otherBox) {
  if (IsDlgButtonChecked(clickedBox) == fw::BST_CHECKED) {
    EnableOutputPath(true);
  } else if (IsDlgButtonChecked(otherBox) != fw::BST_CHECKED) {
    EnableOutputPath(false);
  }
  UpdateData(true);
}

void CPage5::OnBrowse() {
  if (!UpdateData(true)) return;  // the refusal has been shown
  browse::CBrowsePathDlg browser;
  browser.m_path = m_outputPath;
  if (browser.DoModal() == fw::IDOK) SetDlgItemText(IDC_OUTPUT_PATH, browser.m_path);
  UpdateData(true);
}

void CPage5::OnSave() {
  // The copy holds the choices file as it is now: this page's own keys reach
  // it only when the page is left or finished.
  fw::CFileDialog dialog(false, "kcm", "*.kcm", fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT | fw::OFN_NOCHANGEDIR,
                         "KitComposer makefile (*.kcm)|*.kcm||");
  if (dialog.DoModal() != fw::IDOK) return;
  win::CopyFileA(m_paths.choicesFile.c_str(), dialog.GetPathName().c_str(), win::FALSE);
}

bool CPage5::OnKillActive() {
  // Checked first: a refused output path keeps the page with its buttons.
  if (!UpdateData(true)) return false;
  SetWizardButtons(fw::PSWIZB_BACK | fw::PSWIZB_NEXT);
  const std::string& choices = m_paths.choicesFile;
  const char* section = PlatformSection(choices);
  WriteValue(choices, section, kCreateCd, YesNo(m_createCd == fw::BST_CHECKED));
  WriteValue(choices, section, kCreateDownload, YesNo(m_createDownload == fw::BST_CHECKED));
  WriteValue(choices, section, kOutputPath, m_outputPath);
  return true;
}

bool CPage5::OnWizardFinish() {
  if (!UpdateData(true)) return false;
  const engine::FinishOutcome outcome = engine::FinishInstallerScript(
      m_paths, {m_outputPath, m_createCd == fw::BST_CHECKED, m_createDownload == fw::BST_CHECKED});
  if (!outcome.accepted) {
    MessageBox(outcome.message, kFinishCaption, fw::MB_ICONEXCLAMATION | fw::MB_OK);
    return false;
  }
  return CPropertyPage::OnWizardFinish();
}

}  // namespace kc::wizard
