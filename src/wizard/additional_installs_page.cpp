#include "wizard/additional_installs_page.h"

#include "config/profile_access.h"
#include "dialogs/dlg147_addinstalls_ids.h"
#include "engine/additional_install_names.h"
#include "framework/app.h"
#include "framework/data_exchange.h"
#include "framework/resources.h"
#include "wizard/page_file_browse.h"

namespace kc::wizard {

using namespace dlg147_addinstalls;

using namespace kc::config;

namespace {
const FileBrowse kExecutableBrowse{"Self-extracting executable (*.exe)|*.exe||", "", "exe"};
}

CAdditionalInstalls::CAdditionalInstalls(const RunPaths& paths) : CPropertyPage(IDD), m_paths(paths) {
  ui.setupUi(this);
  fw::ShowSidePicture(this);
  for (const SlotControls& slot : kSlots) {
    OnCommand(slot.includeBox, [this, &slot] { OnToggleInclude(slot); });
    OnCommand(slot.browseButton, [this, &slot] { BrowseIntoEdit(*this, slot.pathEdit, kExecutableBrowse); });
    // Clear empties the path only; description and size stay.
    OnCommand(slot.clearButton, [this, &slot] { SetDlgItemText(slot.pathEdit, ""); });
  }
  SetTextFile(m_paths.choicesFile);
}

void CAdditionalInstalls::DoDataExchange(fw::CDataExchange* pDX) {
  for (int i = 0; i < 2; ++i) {
    fw::DDX_Path(pDX, kSlots[i].pathEdit, m_values[i].path);
    fw::DDX_Text(pDX, kSlots[i].descriptionEdit, m_values[i].description);
    fw::DDX_Text(pDX, kSlots[i].sizeEdit, m_values[i].size);
    fw::DDX_Check(pDX, kSlots[i].includeBox, m_values[i].include);
  }
}

void CAdditionalInstalls::EnableSlot(const SlotControls& slot, bool enable) {
  for (int id : {slot.pathEdit, slot.browseButton, slot.clearButton, slot.descriptionEdit, slot.sizeEdit}) {
    EnableWindow(id, enable);
  }
}

void CAdditionalInstalls::OnToggleInclude(const SlotControls& slot) {
  // Disabling keeps the fields' texts: clearing the box only leaves them out.
  EnableSlot(slot, IsDlgButtonChecked(slot.includeBox) == fw::BST_CHECKED);
  UpdateData(true);
}

bool CAdditionalInstalls::OnSetActive() {
  const std::string& choices = m_paths.choicesFile;
  const char* section = PlatformSection(choices);
  for (int i = 0; i < 2; ++i) {
    const AdditionalInstallKeys& keys = kAdditionalInstall[i];
    SetDlgItemText(kSlots[i].pathEdit, ReadValue(choices, section, keys.path));
    SetDlgItemText(kSlots[i].descriptionEdit, ReadValue(choices, section, keys.description));
    SetDlgItemText(kSlots[i].sizeEdit, ReadValue(choices, section, keys.size));
  }
  for (int i = 0; i < 2; ++i) {
    const bool include = IsExactly(ReadValue(choices, section, kAdditionalInstall[i].include), kYes);
    CheckDlgButton(kSlots[i].includeBox, include ? fw::BST_CHECKED : fw::BST_UNCHECKED);
    EnableSlot(kSlots[i], include);
  }
  CPropertyPage::OnSetActive();
  return true;
}

bool CAdditionalInstalls::Refuse(const std::string& message) {
  MessageBox(message, fw::AfxGetAppName(), fw::MB_ICONEXCLAMATION | fw::MB_OK);
  return false;
}

bool CAdditionalInstalls::StoreSlot(int index, const char* section) {
  const std::string& choices = m_paths.choicesFile;
  const AdditionalInstallKeys& keys = kAdditionalInstall[index];
  const SlotValues& slot = m_values[index];
  if (slot.include != fw::BST_CHECKED) {
    WriteValue(choices, section, keys.include, kNo);
    return true;
  }
  WriteValue(choices, section, keys.include, kYes);

  engine::AdditionalInstallEntry entries[2];
  for (int i = 0; i < 2; ++i) {
    entries[i] = {m_values[i].include == fw::BST_CHECKED, m_values[i].path, m_values[i].description, m_values[i].size};
  }
  using Passed = engine::AdditionalInstallVerdict::Passed;
  const engine::AdditionalInstallVerdict verdict =
      engine::CheckAdditionalInstall(entries, index, engine::LoadReservedModuleNames(m_paths.installRoot));
  // Each check writes the entry it has passed; a refusal leaves those writes.
  if (verdict.passed >= Passed::kPath) WriteValue(choices, section, keys.path, verdict.path);
  if (verdict.passed >= Passed::kDescription) WriteValue(choices, section, keys.description, verdict.description);
  if (verdict.passed >= Passed::kSize) WriteValue(choices, section, keys.size, verdict.size);
  if (verdict.passed != Passed::kAll) return Refuse(verdict.problem);
  WriteValue(choices, section, keys.filename, verdict.fileName);
  return true;
}

bool CAdditionalInstalls::OnKillActive() {
  const char* section = PlatformSection(m_paths.choicesFile);
  if (!UpdateData(true)) return false;  // a refused path or text: nothing written
  // Slot 2 is not looked at while slot 1 is refused.
  if (!StoreSlot(0, section) || !StoreSlot(1, section)) return false;
  return CPropertyPage::OnKillActive();
}

}  // namespace kc::wizard
