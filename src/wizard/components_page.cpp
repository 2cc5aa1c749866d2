#include "wizard/components_page.h"

#include "config/profile_access.h"
#include "dialogs/dlg129_components_ids.h"
#include "framework/resources.h"

namespace kc::wizard {

using namespace dlg129_components;

namespace {}  // namespace

CPage1::CPage1(const std::string& choicesFile, const std::string& programIni)
    : CPropertyPage(IDD), m_choicesFile(choicesFile), m_programIni(programIni) {
  ui.setupUi(this);
  fw::ShowSidePicture(this);
  OnCommand(IDC_ADD, [this] { OnAdd(); });
  OnCommand(IDC_REMOVE, [this] { OnRemove(); });
}

bool CPage1::OnInitDialog() {
  return CDialog::OnInitDialog();
}

bool CPage1::OnSetActive() {
  fw::CListBox available = ListBox(IDC_AVAILABLE);
  fw::CListBox included = ListBox(IDC_INCLUDED);
  available.ResetContent();
  included.ResetContent();
  AddSectionKeys(available, m_programIni, config::kAvailable32);
  AddSectionKeys(available, m_programIni, config::kMultimedia32);
  AddSectionKeys(included, m_choicesFile, config::kMods32);
  AddSectionKeys(included, m_choicesFile, config::kMMMods32);
  return true;
}

// Mended: the lists are read whole. Read into a 200-character buffer, a long
// catalogue lost its last components and showed a cut name as a component of
// its own, which an add then wrote to the choices file.
void CPage1::AddSectionKeys(fw::CListBox list, const std::string& file, const char* section) {
  for (const std::string& name : config::ReadAllKeys(file, section)) {
    if (list.FindStringExact(-1, name) == fw::LB_ERR) list.AddString(name);
  }
}

void CPage1::OnAdd() {
  fw::CListBox available = ListBox(IDC_AVAILABLE);
  fw::CListBox included = ListBox(IDC_INCLUDED);
  for (int index : available.GetSelItems(kMaxAddPerPress)) {
    const std::string name = available.GetText(index);
    if (included.FindStringExact(-1, name) == fw::LB_ERR) {
      included.AddString(name);
      const std::string module =
          config::ReadValue(m_programIni, config::kAvailable32, name.c_str(), config::kCapacityComponentsPage);
      if (!module.empty()) {
        config::WriteValue(m_choicesFile, config::kMods32, name.c_str(), module);
      } else {
        // Not an ordinary module: recorded as multimedia, even with no entry.
        const std::string multimedia =
            config::ReadValue(m_programIni, config::kMultimedia32, name.c_str(), config::kCapacityComponentsPage);
        config::WriteValue(m_choicesFile, config::kMMMods32, name.c_str(), multimedia);
      }
    }
    available.SetSel(index, false);
  }
}

void CPage1::OnRemove() {
  fw::CListBox included = ListBox(IDC_INCLUDED);
  const std::vector<int> selected = included.GetSelItems(kMaxRemovePerPress);
  for (std::size_t i = 0; i < selected.size(); ++i) {
    // Every earlier removal moved this item up by one.
    const int index = selected[i] - static_cast<int>(i);
    const std::string name = included.GetText(index);
    included.DeleteString(index);
    config::WriteValue(m_choicesFile, config::kMods32, name.c_str(), nullptr);
    config::WriteValue(m_choicesFile, config::kMMMods32, name.c_str(), nullptr);
  }
}

bool CPage1::OnKillActive() {
  const std::string mainModule =
      config::ReadValue(m_programIni, config::kKitComposer, config::kVersionName32, config::kCapacityComponentsPage);
  // Without a version name there is no main module to record; a key with an
  // empty name would only put a bogus line into the choices file.
  if (mainModule.empty()) return true;
  const std::string entry =
      config::ReadValue(m_programIni, config::kMainModules32, mainModule.c_str(), config::kCapacityComponentsPage);
  config::WriteValue(m_choicesFile, config::kMainModules32, mainModule.c_str(), entry);
  return true;
}

}  // namespace kc::wizard
