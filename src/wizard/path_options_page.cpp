#include "wizard/path_options_page.h"

#include "config/profile_access.h"
#include "framework/data_exchange.h"
#include "framework/resources.h"
#include "string_table.h"

namespace kc::wizard {
namespace {

// Controls of template 151.
constexpr int IDC_BASE_PATH = 1014;
constexpr int IDC_PROFILE_PATH = 1015;
constexpr int IDC_LOCK_BASE_PATH = 1048;
constexpr int IDC_LOCK_PROFILE_PATH = 1050;

// This page always works in "Choices-32", whatever [Global] "Platform" says.
constexpr const char* kSection = config::kChoices32;
constexpr const char* kMessageCaption = "Kit Composer";
// The one value that stands for every user's own folder; it counts only as
// the whole text and only in lower case.
constexpr const char* kUserNameVariable = "%username%";

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool IsPathCharacter(char c) {
  return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '\\' || c == ':' || c == ' ' || c == '.';
}

}  // namespace

CPathOptions::CPathOptions(const std::string& choicesFile) : CPropertyPage(IDD), m_choicesFile(choicesFile) {
  ui.setupUi(this);
  fw::ShowSidePicture(this);
  SetTextFile(m_choicesFile);
}

std::string CPathOptions::MessageCaption() const { return kMessageCaption; }

bool CPathOptions::IsValidInstallPath(const std::string& path) {
  if (path == kUserNameVariable) return true;
  if (path.size() < 3) return false;
  for (char c : path) {
    if (!IsPathCharacter(c)) return false;  // bytes of non-ASCII characters fail here too
  }
  if (IsAsciiLetter(path[0])) {
    // A drive path (C:\Apps) needs the backslash; anything else starting with
    // a letter is a relative path (Programs\Apps).
    return path[1] != ':' || path[2] == '\\';
  }
  if (path[0] == '\\' && path[1] == '\\') {
    // \\server\share: the server name starts with a letter and a share follows.
    return IsAsciiLetter(path[2]) && path.find('\\', 3) != std::string::npos;
  }
  return false;
}

void CPathOptions::DoDataExchange(fw::CDataExchange* pDX) {
  fw::DDX_Text(pDX, IDC_BASE_PATH, m_basePath);
  fw::DDX_Text(pDX, IDC_PROFILE_PATH, m_profilePath);
  fw::DDX_Check(pDX, IDC_LOCK_BASE_PATH, m_lockBasePath);
  fw::DDX_Check(pDX, IDC_LOCK_PROFILE_PATH, m_lockProfilePath);
}

bool CPathOptions::OnSetActive() {
  SetDlgItemText(IDC_BASE_PATH, config::ReadValue(m_choicesFile, kSection, config::kProductPath));
  SetDlgItemText(IDC_PROFILE_PATH, config::ReadValue(m_choicesFile, kSection, config::kProfilePath));
  const bool lockBase =
      config::IsExactly(config::ReadValue(m_choicesFile, kSection, config::kNetworkPathEditBox), config::kDisabled);
  CheckDlgButton(IDC_LOCK_BASE_PATH, lockBase ? fw::BST_CHECKED : fw::BST_UNCHECKED);
  const bool lockProfile =
      config::IsExactly(config::ReadValue(m_choicesFile, kSection, config::kProfilePathEditBox), config::kDisabled);
  CheckDlgButton(IDC_LOCK_PROFILE_PATH, lockProfile ? fw::BST_CHECKED : fw::BST_UNCHECKED);
  return CPropertyPage::OnSetActive();
}

fw::LRESULT CPathOptions::OnWizardNext() {
  if (!UpdateData(true)) return -1;  // the refusal has been shown
  if (!IsValidInstallPath(m_basePath)) {
    MessageBox(LoadString(IDS_INVALID_BASE_PATH), kMessageCaption, fw::MB_OK | fw::MB_ICONEXCLAMATION);
    return -1;
  }
  if (!IsValidInstallPath(m_profilePath)) {
    MessageBox(LoadString(IDS_INVALID_PROFILE_PATH), kMessageCaption, fw::MB_OK | fw::MB_ICONEXCLAMATION);
    return -1;
  }
  return CPropertyPage::OnWizardNext();
}

bool CPathOptions::OnKillActive() {
  // A text the choices file cannot hold keeps the page, on Back too.
  if (!UpdateData(true)) return false;
  config::WriteValue(m_choicesFile, kSection, config::kProductPath, m_basePath);
  config::WriteValue(m_choicesFile, kSection, config::kProfilePath, m_profilePath);
  config::WriteValue(m_choicesFile, kSection, config::kNetworkPathEditBox,
                     config::EnabledDisabled(m_lockBasePath == fw::BST_CHECKED));
  config::WriteValue(m_choicesFile, kSection, config::kProfilePathEditBox,
                     config::EnabledDisabled(m_lockProfilePath == fw::BST_CHECKED));
  return CPropertyPage::OnKillActive();
}

}  // namespace kc::wizard
